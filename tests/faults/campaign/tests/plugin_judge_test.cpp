// The plug-in's judge: the game's transcript read back, the answers each export may give when its
// call fails, the shared cells followed from line to line, and the diagnostic files.
#include <gtest/gtest.h>

#include <sstream>

#include "plugin_judge.h"

namespace {

using namespace fault_campaign::plugin;
using ScenarioRun = fault_campaign::plugin::Run;  // not the test's own Run()

// The undisturbed answers of kScript's lines, as the transcript shows them.
constexpr long long kAnswers[] = {0,    1024, 1024, 1024,    0,    0,     1024,  1024,  1024,       2560, 3584,
                                  3584, 1024, 2048, 1024, 33792, 23552, 3072, 1024, 33792, 1024,    0,    1024000,
                                  0,    1559812096, 1, 1, 1, 1024, 0, 1024, 1024, 1024};

std::string Transcript(long long (&answers)[33]) {
  std::istringstream script(kScript);
  std::string transcript = "A6_DLLAPI -> raw 630, var 0.615234375, 281 function lookups (vorlan_lookups.txt)\n";
  int number = 1;
  for (std::string line; std::getline(script, line); ++number) {
    transcript += std::to_string(number) + ": " + line + "\n";
    if (line == "steam_callback") transcript += "HI!";  // the plug-in's text without a line end
    transcript += "  -> raw " + std::to_string(answers[number - 1]) + ", var 1" +
                  (line == "auflip obj" ? " (argument 1 itself)" : "") + "\n";
  }
  return transcript;
}

ScenarioRun RunWith(long long (&answers)[33]) {
  ScenarioRun run;
  run.exited = true;
  ReadTranscript(Transcript(answers), run);
  run.countryFile = "US\r\nC:\\Storefront\r\nOffline %s Player\r\n";
  run.greetingFile = "HELLO";
  run.diagnosticFolder = {"alog.txt", "pais.txt"};
  run.log = {{"injected", "steam_api.dll!SteamUserStats", 0x2d58, 0, "null interface"}};
  return run;
}

ScenarioRun Recorded() {
  long long answers[33];
  std::copy(std::begin(kAnswers), std::end(kAnswers), answers);
  return RunWith(answers);
}

TEST(PluginTranscript, ReadsEachLinesAnswerAfterThePluginsOwnText) {
  const ScenarioRun run = Recorded();
  ASSERT_EQ(run.calls.size(), 33u);
  EXPECT_EQ(run.calls[3].exportName, "steam_callback");
  EXPECT_EQ(run.calls[3].raw, 1024);
  EXPECT_EQ(run.calls[12].text, "steam_store_stat \"NumGames\" int 5120");
  EXPECT_EQ(run.calls[15].raw, 33792);

  ScenarioRun unfinished;
  ReadTranscript("1: auflip obj\n  -> raw 5, var 0\n2: steam_init\nCStats...", unfinished);
  EXPECT_EQ(unfinished.calls.size(), 1u) << "a line whose answer never came did not finish";
}

TEST(PluginJudge, AcceptsTheUndisturbedRunAndTheAnswersFailuresGive) {
  const ScenarioRun recorded = Recorded();
  EXPECT_TRUE(JudgeUndisturbed(recorded).defects.empty());

  long long answers[33];
  std::copy(std::begin(kAnswers), std::end(kAnswers), answers);
  answers[2] = 0;      // steam_stats without its interface
  answers[9] = 0;      // steam_get_stat: the cell as it was
  answers[10] = 1024;  // steam_add_stat counting up from that cell
  answers[11] = 0;     // steam_get_stat again: the cell its failed read left
  answers[15] = 3072;  // steam_record_add: the board was not found
  answers[26] = 0;     // the second steam_country: its file not written
  const Verdict verdict = Judge(recorded, RunWith(answers), "steam_api.dll!SteamUserStats");
  EXPECT_TRUE(verdict.defects.empty()) << verdict.defects.front();
  EXPECT_EQ(verdict.outcome, "steam_stats answered raw 0 (var 0) instead of raw 1024 (var 1)");
}

TEST(PluginJudge, FindsAnswersNoFailureGivesShortFilesAndCrashes) {
  const ScenarioRun recorded = Recorded();
  long long answers[33];
  std::copy(std::begin(kAnswers), std::end(kAnswers), answers);
  answers[2] = 2048;  // steam_stats answers a truth value, never 2
  EXPECT_FALSE(Judge(recorded, RunWith(answers), "steam_api.dll!SteamUserStats").defects.empty());

  ScenarioRun shortFile = Recorded();
  shortFile.countryFile = "US\r\n";
  shortFile.diagnosticFolder.push_back("pais.txt.new");
  EXPECT_EQ(Judge(recorded, shortFile, "msvcrt.dll!fputs").defects.size(), 2u);

  ScenarioRun missingText = Recorded();
  missingText.countryFile = "US\r\n\r\nOffline %s Player\r\n";
  EXPECT_TRUE(Judge(recorded, missingText, "steam_api.dll!SteamAPI_GetSteamInstallPath").defects.empty())
      << "a storefront text answered null is an empty line";
  EXPECT_FALSE(Judge(recorded, missingText, "msvcrt.dll!fputs").defects.empty()) << "a text lost in the writing";

  ScenarioRun crashed = Recorded();
  crashed.calls.resize(2);
  crashed.exitCode = 3;  // abort()
  const Verdict crash = Judge(recorded, crashed, "msvcrt.dll!malloc");
  EXPECT_TRUE(crash.crashed);
  EXPECT_EQ(crash.outcome, "crashed in line 3, exit code 0x3");
}

}  // namespace
