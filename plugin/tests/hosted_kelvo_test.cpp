// The stand-in host binds the built kelvo.dll and runs game script against it, in a game folder of
// its own with the offline storefront, as the game's folder holds them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "support/diagnostic_folder.h"
#include "support/files.h"
#include "support/game_folder.h"
#include "support/kit_files.h"

namespace {

namespace fs = std::filesystem;
using test_support::BuiltFile;
using testing::Contains;
using testing::ElementsAre;
using testing::StartsWith;

// The line printed after the echo of a script line: the call's answer.
std::string AfterEcho(const std::vector<std::string>& lines, const std::string& echo) {
  const auto found = std::find(lines.begin(), lines.end(), echo);
  return found != lines.end() && found + 1 != lines.end() ? *(found + 1) : "(no line after \"" + echo + "\")";
}

class HostedKelvo : public testing::Test {
 protected:
  // say_hello writes into c:\1_temp: the test has one of its own, and the player's is put back.
  HostedKelvo() { fs::create_directory(test_support::kDiagnosticFolder); }

  // The host's line for the binding: the plug-in's answer and how many names it asked for.
  static std::string BindingLine() {
    std::istringstream names(test_support::ReadFileBytes(BuiltFile(EXPECTED_ENGINE_FUNCTION_NAMES)));
    int lookups = 0;
    for (std::string name; std::getline(names, name);) lookups += !name.empty();
    return "A6_DLLAPI -> raw 630, var 0.615234375, " + std::to_string(lookups) +
           " function lookups (vorlan_lookups.txt)";
  }

  const test_support::DiagnosticFolderHeld held_;
  const test_support::DiagnosticFolderSetAside playersFolder_{"hosted-kelvo"};
  const test_support::GameFolder game_{{{BuiltFile(VORLAN_EXE), "vorlan.exe"}, {BuiltFile(KELVO_DLL), "kelvo.dll"},
                                        {BuiltFile(STEAM_API_DLL), "steam_api.dll"}}};
};

TEST_F(HostedKelvo, BindsAndRunsGameScriptThroughTheRealExports) {
  test_support::WriteFileBytes(game_ / "script.txt",
                               "# auflip and the value conventions, through the real exports\n"
                               "auflip obj\n"
                               "auflip null\n"
                               "steam_record_abre_level var 2.9\n"
                               "steam_store_stat \"NumGames\" int 5120   # a plain int, passed unscaled\n"
                               "steam_get_ach null\n"
                               "steam_reset nochars\n"
                               "steam_get_stat \"FeetTraveled\"\n"
                               "say_hello\n"
                               "steam_country\n"
                               "steam_callback\n"
                               "steam_stop\n"
                               "steam_user\n");
  ASSERT_EQ(game_.Play({"-nc", "-script", "script.txt"}, "console.txt", "stderr.txt"), 0u)
      << game_.Read("console.txt") << game_.Read("stderr.txt");

  // The engine saw every request in order, and the binding answered 630.
  EXPECT_EQ(game_.Read("vorlan_lookups.txt"),
            test_support::ReadFileBytes(BuiltFile(EXPECTED_ENGINE_FUNCTION_NAMES)));
  const std::vector<std::string> transcript = game_.Lines("vorlan_output.txt");
  EXPECT_THAT(transcript, Contains(BindingLine()));

  // auflip answers its own argument and leaves 180 in the var field; null stays null.
  EXPECT_TRUE(std::regex_match(AfterEcho(transcript, "2: auflip obj"),
                               std::regex(R"(  -> raw -?[0-9]+, var \S+ \(argument 1 itself\))")))
      << AfterEcho(transcript, "2: auflip obj");
  EXPECT_THAT(transcript, Contains("  obj 1: var field raw 184320, var 180"));
  EXPECT_EQ(AfterEcho(transcript, "3: auflip null"), "  -> raw 0, var 0");
  // Raw 1 versus var 1.
  EXPECT_EQ(AfterEcho(transcript, "9: say_hello"), "  -> raw 1, var 0.0009765625");
  EXPECT_EQ(AfterEcho(transcript, "11: steam_callback"), "  -> raw 1024, var 1");
  EXPECT_EQ(AfterEcho(transcript, "12: steam_stop"), "  -> raw 1024, var 1");
  // A missing name is answered, not read through.
  EXPECT_EQ(AfterEcho(transcript, "6: steam_get_ach null"), "  -> raw 0, var 0");
  EXPECT_EQ(AfterEcho(transcript, "7: steam_reset nochars"), "  -> raw 0, var 0");
  // Every call got its answer line, and standard output saw the same transcript as the file.
  EXPECT_THAT(transcript, Contains(StartsWith("  -> raw")).Times(12));
  EXPECT_EQ(game_.Read("console.txt"), game_.Read("vorlan_output.txt"));
  EXPECT_THAT(game_.Lines("vorlan_started.txt"), Contains("show window=-1"));
}

TEST_F(HostedKelvo, StartsWithoutTerminalOrScriptAndWithTheDefaultScriptBesideIt) {
  // As the launcher starts it: no terminal, no script. It binds, records and ends; its
  // transcript is in the file.
  ASSERT_EQ(game_.Play({"-nc", "-d", "v1"}), 0u) << game_.Read("vorlan_output.txt");
  EXPECT_THAT(game_.Lines("vorlan_output.txt"), ElementsAre(BindingLine()));

  // A default script beside the game runs when no -script is given; each start is recorded.
  test_support::WriteFileBytes(game_ / "vorlan_script.txt", "steam_callback\r\n");
  ASSERT_EQ(game_.Play({}), 0u) << game_.Read("vorlan_output.txt");
  EXPECT_THAT(game_.Lines("vorlan_output.txt"), Contains("1: steam_callback"));
  EXPECT_THAT(game_.Lines("vorlan_started.txt"), Contains(StartsWith("command line=")).Times(2));
}

TEST_F(HostedKelvo, BadScriptEndsWithOneAndItsReasonAfterTheLinesBeforeIt) {
  test_support::WriteFileBytes(game_ / "bad.txt", "say_hello\nsteam_no_such_export\nsay_hello\n");
  EXPECT_EQ(game_.Play({"-script", "bad.txt"}), 1u);
  EXPECT_THAT(game_.Lines("vorlan_output.txt"),
              Contains("error: kelvo.dll has no export \"steam_no_such_export\""));
  // The line before it ran, the line after it did not.
  EXPECT_THAT(game_.Lines("vorlan_output.txt"), Contains(StartsWith("  -> raw")).Times(1));

  test_support::WriteFileBytes(game_ / "bad.txt", "steam_store_stat \"x\" int 99999999999\n");
  EXPECT_EQ(game_.Play({"-script", "bad.txt"}), 1u);
  EXPECT_THAT(game_.Lines("vorlan_output.txt"), Contains("error: bad.txt line 1: int 99999999999 does not fit 32 bits"));

  EXPECT_EQ(game_.Play({"-script", "missing.txt"}), 1u);
  EXPECT_THAT(game_.Lines("vorlan_output.txt"), Contains("error: cannot read the script \"missing.txt\""));

  EXPECT_EQ(game_.Play({"-script"}), 1u);
  EXPECT_THAT(game_.Lines("vorlan_output.txt"), Contains("error: -script names no file"));
}

}  // namespace
