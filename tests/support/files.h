#pragma once
#include <filesystem>
#include <string>
#include <vector>

namespace test_support {

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// Replaces the file's contents with `bytes`; throws when it cannot.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// The names of what `folder` holds, as UTF-8, sorted; so a test sees what a run left there.
std::vector<std::string> EntryNames(const std::filesystem::path& folder);

}  // namespace test_support
