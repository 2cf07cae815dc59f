#include "kit_files.h"

#include <cstdlib>

namespace test_support {

namespace {

std::filesystem::path InKitFolder(const char* variable, const std::filesystem::path& builtPath) {
#ifdef _WIN32
  // Wide, since the kit may lie in a folder whose name the ANSI code page cannot spell.
  const std::wstring name(variable, variable + std::char_traits<char>::length(variable));
  const wchar_t* folder = _wgetenv(name.c_str());
#else
  const char* folder = std::getenv(variable);
#endif
  if (!folder || !*folder) return builtPath;
  return std::filesystem::path(folder) / builtPath.filename();
}

}  // namespace

std::filesystem::path BuiltFile(const std::filesystem::path& builtPath) { return InKitFolder("TEST_KIT_FILES", builtPath); }

std::filesystem::path WorkFolder(const std::filesystem::path& builtPath) { return InKitFolder("TEST_KIT_WORK", builtPath); }

}  // namespace test_support
