// What a plug-in prints lands in the host's transcript between the call's echo and its answer,
// both on standard output and in vorlan_output.txt, also when there is no terminal.
#include <gtest/gtest.h>

#include "support/files.h"
#include "support/game_folder.h"
#include "support/kit_files.h"

namespace {

using test_support::BuiltFile;

constexpr char kTranscript[] =
    "A6_DLLAPI -> raw 630, var 0.615234375, 0 function lookups (vorlan_lookups.txt)\n"
    "1: say_hello\n"
    "plug-in: hello\n"
    "plug-in: second line\n"
    "  -> raw 1, var 0.0009765625\n"
    "2: say_hello\n"
    "plug-in: hello\n"
    "plug-in: second line\n"
    "  -> raw 1, var 0.0009765625\n";

class PluginOutput : public testing::Test {
 protected:
  PluginOutput() { test_support::WriteFileBytes(game_ / "script.txt", "say_hello\nsay_hello\n"); }

  const test_support::GameFolder game_{
      {{BuiltFile(VORLAN_EXE), "vorlan.exe"}, {BuiltFile(PRINTING_PLUGIN_DLL), "kelvo.dll"}}};
};

TEST_F(PluginOutput, InOrderOnStandardOutputAndInTheTranscript) {
  ASSERT_EQ(game_.Play({"-script", "script.txt"}, "console.txt"), 0u);
  EXPECT_EQ(game_.Read("console.txt"), kTranscript);
  EXPECT_EQ(game_.Read("vorlan_output.txt"), kTranscript);
}

TEST_F(PluginOutput, InOrderInTheTranscriptWithoutATerminal) {
  ASSERT_EQ(game_.Play({"-script", "script.txt"}), 0u);
  EXPECT_EQ(game_.Read("vorlan_output.txt"), kTranscript);
}

}  // namespace
