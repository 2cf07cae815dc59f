// What the launcher's window test programs share: game folders named after the running test, and
// what the launcher must start with. The build defines STARTER_EXE and
// VORLAN_EXE, the built launcher and stand-in game; the Windows test kit has them elsewhere
// (support/kit_files.h).
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "expected_form1.h"
#include "starter_remote.h"
#include "support/kit_files.h"

namespace starter_tests {

inline std::string BuiltFile(const char* path) {
  return starter_remote::WindowsPath(test_support::BuiltFile(path).string());
}

// A fresh game folder under `root` (a folder of the build's, or of the kit's run), named after
// the running test, holding Starter.exe and, when `withGame`, the stand-in game.
inline std::string GameFolder(const char* root, bool withGame) {
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = std::string(test->test_suite_name()) + "_" + test->name();
  for (char& c : name)
    if (c == '/') c = '_';
  return starter_remote::MakeGameFolder(starter_remote::WindowsPath(test_support::WorkFolder(root).string()), name,
                                        BuiltFile(STARTER_EXE),
                                        withGame ? BuiltFile(VORLAN_EXE) : std::string());
}

// The states the window creates Check1 .. Check6 with, before anything is loaded.
inline starter_remote::CheckStates InitialChecks() {
  starter_remote::CheckStates states{};
  for (std::size_t i = 0; i < states.size(); ++i)
    states[i] = launcher_expected::CheckState(*launcher_expected::FindControl(starter_remote::kCheckIds[i]));
  return states;
}

}  // namespace starter_tests
