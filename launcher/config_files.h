#pragma once
#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "launch_options.h"

namespace launcher {

constexpr const char* kLoadFileName = "xconfig.dat";
constexpr const char* kSaveFileName = "xconfig2.dat";

// The load trace when "xconfig.dat" cannot be used.
constexpr std::string_view kFailureTrace = "No FILE!xconfig.dat";

// Load Config: reads "xconfig.dat" in `folder` (empty: the current folder) byte by byte, applies
// values 1 to 5, 9 and 10 to the options and writes the load trace.
void LoadConfig(LaunchOptions& options, const std::string& folder = {});

// The same over an open file; false when the file cannot be read, value 10 is not an index, a
// control cannot be set, or there is no memory for the trace or no room to show it.
// Earlier values stay applied on failure; the trace is set only on success.
bool LoadConfigFrom(std::FILE* file, LaunchOptions& options);

// Save Config: writes the five toggles Check2 to Check6 to "xconfig2.dat" in `folder`, replacing
// the file whole or not at all. Silent on failure.
void SaveConfig(const LaunchOptions& options, const std::string& folder = {});

// The bytes Save Config writes: for each of the five toggles its digit and a quoted blank, each
// item on a line of its own. Built in place, without asking for memory.
constexpr std::size_t kSavedItemsSize = 5 * 8;
using SavedItems = std::array<char, kSavedItemsSize>;
// Nothing when a toggle cannot be read.
std::optional<SavedItems> SaveConfigText(const LaunchOptions& options);

// Numeric value of a text: the decimal number it begins with, 0 when it begins with none.
// Nothing when there is no memory for a number too long to read in place.
std::optional<double> NumericValue(std::string_view text);

// Number text of an integer: a blank before a value of 0 or more, "-" before a negative one.
std::string NumberText(long long value);

// Rounds to the nearest integer, halves to even; nothing when outside the signed 16-bit range.
std::optional<int16_t> RoundToInt16(double value);

}  // namespace launcher
