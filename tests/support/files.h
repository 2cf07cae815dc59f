#pragma once
#include <filesystem>
#include <string>

namespace test_support {

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

// Replaces the file's contents with `bytes`; throws when it cannot.
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace test_support
