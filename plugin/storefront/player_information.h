// Player facts and the two diagnostic text files. While the storefront is not running the facts
// answer 0 and the country file is not touched.
#pragma once

#include <cstdint>

namespace kelvo::storefront {

std::uint32_t AccountNumber();
std::uint32_t SecondsSinceAppActive();
std::uint32_t AppId();

// The diagnostic files at their places; false: nothing written.
bool WriteCountryFile();
bool WriteGreetingFile();

// Natively, where there is no drive C:, the files' folder lies in the current folder.
#ifdef _WIN32
constexpr const char* kCountryFilePath = "c:\\1_temp\\pais.txt";
constexpr const char* kGreetingFilePath = "c:\\1_temp\\alog.txt";
#else
constexpr const char* kCountryFilePath = "1_temp/pais.txt";
constexpr const char* kGreetingFilePath = "1_temp/alog.txt";
#endif

// Replaces the file with three lines: the country of the player's network address, the
// storefront's installation folder and the player's name, each as the storefront gives it.
// False, and the file left as it was, when the storefront is not running or the file cannot be
// written whole.
bool WriteCountryFile(const char* path);
// Replaces the file with "HELLO"; false, and the file left as it was, when it cannot be written whole.
bool WriteGreetingFile(const char* path);

}  // namespace kelvo::storefront
