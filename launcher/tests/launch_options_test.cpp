#include "launch_options.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "expected_launch_options.h"
#include "fake_options.h"

namespace launcher {
namespace {

struct CommandLineCase {
  LaunchChoice choice;
  const char* expected;
};

TEST(CommandLine, JoinsThePiecesInOrder) {
  const CommandLineCase cases[] = {
        // Start-up without a configuration file: two blanks after "v1".
      CommandLineCase{{1, {0, 1, 0, 1, 1, 1}, 1}, "vorlan.exe -nc -d v1  -d noshadow -d saveme"},
      CommandLineCase{{10, {1, 0, 0, 0, 0, 0}, 1},
                      "vorlan.exe -nc -d v10  -d winmode -d noshaders -d noshadow -d nosprite -d nocloud"
                      " -d noglow -d saveme"},
      CommandLineCase{{0, {1, 1, 1, 1, 1, 1}, 1}, "vorlan.exe -nc -d v0  -d winmode -d saveme"},
        // No entry selected: no resolution piece and no doubled blank.
      CommandLineCase{{-1, {0, 1, 0, 1, 1, 1}, 1}, "vorlan.exe -nc -d noshadow -d saveme"},
        // A resolution piece as the last piece leaves a trailing blank.
      CommandLineCase{{3, {0, 1, 1, 1, 1, 1}, 0}, "vorlan.exe -nc -d v3 "},
      CommandLineCase{{11, {0, 1, 1, 1, 1, 1}, 0}, "vorlan.exe -nc -d v11 "},
      CommandLineCase{{9, {0, 1, 1, 1, 1, 0}, 0}, "vorlan.exe -nc -d v9  -d noglow"},
      CommandLineCase{{-1, {0, 1, 1, 1, 1, 1}, 0}, "vorlan.exe -nc"},
        // Each condition is an equality: Check2 adds its piece only for 0, Check1 only for 1.
      CommandLineCase{{-1, {0, 1, 1, 0, 1, 1}, 0}, "vorlan.exe -nc -d nosprite"},
      CommandLineCase{{-1, {0, 1, 1, 1, 0, 1}, 1}, "vorlan.exe -nc -d nocloud -d saveme"}};
  for (const CommandLineCase& c : cases) EXPECT_EQ(BuildCommandLine(c.choice), c.expected);
}

// Each list entry's text and the piece it adds, with every toggle silent and the flag at 0.
TEST(ResolutionList, HasTheTwelveTextsInOrderEachWithItsPiece) {
  ASSERT_EQ(std::size(launcher_expected::kResolutions), static_cast<std::size_t>(kResolutionCount));
  for (int16_t index = 0; index < kResolutionCount; ++index) {
    const launcher_expected::Resolution& listed = launcher_expected::kResolutions[index];
    EXPECT_STREQ(kResolutionTexts[index], listed.text) << "entry " << index;
    EXPECT_EQ(BuildCommandLine({index, {0, 1, 1, 1, 1, 1}, 0}), std::string("vorlan.exe -nc") + listed.piece)
        << "entry " << index << " \"" << listed.text << "\"";
  }
}

// Each toggle alone: its piece in the state that adds it, nothing in the other state.
TEST(Toggles, EachAddsItsPieceInItsOwnState) {
  ASSERT_EQ(std::size(launcher_expected::kToggles), static_cast<std::size_t>(kToggleCount));
  for (int toggle = 0; toggle < kToggleCount; ++toggle) {
    const launcher_expected::Toggle& listed = launcher_expected::kToggles[toggle];
    LaunchChoice choice{kNoResolution, {}, 0};
    for (int other = 0; other < kToggleCount; ++other)
      choice.toggles[other] = 1 - launcher_expected::kToggles[other].addedWhen;
    choice.toggles[toggle] = listed.addedWhen;
    EXPECT_EQ(BuildCommandLine(choice), std::string("vorlan.exe -nc") + listed.piece) << listed.name;
    choice.toggles[toggle] = 1 - listed.addedWhen;
    EXPECT_EQ(BuildCommandLine(choice), "vorlan.exe -nc") << listed.name << " in its silent state";
  }
}

TEST(ChangeNotifications, EachSetsTheFlagAndNothingResetsIt) {
  for (void (*click)() : {Check1_Click, Check2_Click, Check3_Click, Check4_Click, Check5_Click, Check6_Click,
                          Combo1_Click}) {
    FakeOptions options;
    ASSERT_EQ(Module1::g_settingsChanged, 0);
    click();
    EXPECT_EQ(Module1::g_settingsChanged, 1);
  }
  FakeOptions options;
  options.SetToggleState(Toggle::Check3, 1);
  options.SetToggleState(Toggle::Check3, 0);
  EXPECT_EQ(Module1::g_settingsChanged, 1);
}

struct RecordingStarter : ProcessStarter {
  std::optional<std::string> Start(const std::string& line, int mode) override {
    ++starts;
    commandLine = line;
    showMode = mode;
    if (fail) return "cannot start";
    return std::nullopt;
  }
  int starts = 0;
  std::string commandLine;
  int showMode = -1;
  bool fail = false;
};

TEST(Play, StartsOneProgramMinimizedWithTheOptionsReadNow) {
  FakeOptions options;
  options.SetResolutionIndex(1);
  RecordingStarter starter;
  EXPECT_EQ(Play(*ReadChoice(options), starter), std::nullopt);
  EXPECT_EQ(starter.starts, 1);
  EXPECT_EQ(starter.commandLine, "vorlan.exe -nc -d v1  -d noshadow -d saveme");
  EXPECT_EQ(starter.showMode, 2);

  options.SetToggleState(Toggle::Check1, 1);
  Play(*ReadChoice(options), starter);
  EXPECT_EQ(starter.commandLine, "vorlan.exe -nc -d v1  -d winmode -d noshadow -d saveme");
}

TEST(Play, AnswersTheMessageOfAFailedStart) {
  FakeOptions options;
  RecordingStarter starter;
  starter.fail = true;
  EXPECT_EQ(Play(*ReadChoice(options), starter), "cannot start");
  EXPECT_EQ(starter.starts, 1);
}

// A control that cannot be read leaves nothing to start the game with: no command line is made
// from a guess.
TEST(Play, NoChoiceWhereAControlCannotBeRead) {
  FakeOptions options;
  options.unreachable = Toggle::Check6;
  EXPECT_EQ(ReadChoice(options), std::nullopt);
  options.unreachable.reset();
  options.listUnreachable = true;
  EXPECT_EQ(ReadChoice(options), std::nullopt);
}

}  // namespace
}  // namespace launcher
