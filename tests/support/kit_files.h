#pragma once
#include <filesystem>

namespace test_support {

// Where a test program finds what the build names by its path there. In the Windows test kit
// (run-tests.exe sets TEST_KIT_FILES and TEST_KIT_WORK) a file the build made lies in the kit's
// folder of files under its own name, and a folder a test works in lies in the run's own folder
// under its own name; elsewhere both are where the build says.
std::filesystem::path BuiltFile(const std::filesystem::path& builtPath);
std::filesystem::path WorkFolder(const std::filesystem::path& builtPath);

}  // namespace test_support
