// Text and paths between UTF-8 and the UTF-16 of Windows' wide functions.
#pragma once
#include <filesystem>
#include <string>

namespace test_support {

std::wstring Wide(const std::string& utf8);
std::string Utf8(const std::wstring& wide);
std::filesystem::path PathFromUtf8(const std::string& utf8);
std::string Utf8Path(const std::filesystem::path& path);

}  // namespace test_support
