// The launcher's judge: the undisturbed run it accepts, and the runs with a failure injected that
// it must tell apart, each by the rule that decides it.
#include <gtest/gtest.h>

#include "launcher_judge.h"

namespace {

using namespace fault_campaign::launcher;
using ScenarioRun = fault_campaign::launcher::Run;  // not the test's own Run()

constexpr Options kStart = {{0, 1, 0, 1, 1, 1}, 1};

WindowView ViewOf(int step, const Options& options, const std::string& trace) {
  WindowView view;
  view.clientWidth = step == kStartUp ? 332 : 544;
  view.clientHeight = 336;
  view.outerWidth = step == kStartUp ? 338 : 550;
  view.outerHeight = 358;
  view.controls = {{1001, true, 16, 232, 97, 257, false, "Save Config"}};
  view.listEntries.assign(12, "entry");
  view.options = options;
  view.trace = trace;
  return view;
}

Options Changed(Options options) {
  options.checks[0] ^= 1;
  options.selection = kPickedEntry;
  return options;
}

// The scenario run through from start-up options `startUp` and its trace.
ScenarioRun RunFrom(const Options& startUp, const std::string& trace) {
  ScenarioRun run;
  run.views.push_back(ViewOf(kStartUp, startUp, trace));
  run.views.push_back(ViewOf(kWiden, startUp, trace));
  run.views.push_back(ViewOf(kChangeOptions, Changed(startUp), trace));
  run.views.push_back(ViewOf(kSaveConfig, Changed(startUp), trace));
  const Options loaded = AfterValues(Changed(startUp), 11);
  run.views.push_back(ViewOf(kLoadConfig, loaded, ExpectedTrace()));
  run.endedInStep = kPlay;
  run.exited = true;
  run.gameStarts = {"command line=" + CommandLine(loaded) + "\nshow window=2\n"};
  run.config = kConfigFile;
  run.savedConfig = SavedBytes(Changed(startUp));
  run.files = {"vorlan.exe", "vorlan_started.txt", "xconfig.dat", "xconfig2.dat"};
  run.log = {{"injected", "msvcrt.dll!fopen", 0x8aef, kStartUp, "NULL, EACCES"}};
  return run;
}

ScenarioRun Undisturbed() {
  ScenarioRun run = RunFrom(AfterValues(kStart, 11), ExpectedTrace());
  run.log.clear();
  return run;
}

Context At(const std::string& import, int step) {
  Context context;
  context.import = import;
  context.step = step;
  return context;
}

TEST(LauncherOracle, FollowsTheRulesForTheScenariosFile) {
  const std::string trace = ExpectedTrace();
  EXPECT_EQ(trace.rfind("0( 48) ( 32)Opcao =  1:0\r\n1( 49)", 0), 0u);
  EXPECT_NE(trace.find("x( 120) ( 32)Opcao =  3:x\r\n ( 32)Opcao =  4:\r\n"), std::string::npos) << "an empty value";
  EXPECT_EQ(trace.substr(trace.size() - 28), "Opcao =  11:11\r\n1( 49)2( 50)") << "the tail is traced, not applied";
  const Options loaded = AfterValues(kStart, 11);
  EXPECT_EQ(loaded, (Options{{1, 0, 1, 0, 0, 0}, 4}));
  EXPECT_EQ(CommandLine(loaded), "vorlan.exe -nc -d v4  -d winmode -d noshaders -d nosprite -d nocloud -d noglow -d saveme");
  EXPECT_EQ(CommandLine(Options{{0, 1, 1, 1, 1, 1}, -1}), "vorlan.exe -nc -d saveme");
  EXPECT_EQ(SavedBytes(loaded), "0\r\n\" \"\r\n1\r\n\" \"\r\n0\r\n\" \"\r\n0\r\n\" \"\r\n0\r\n\" \"\r\n");
}

TEST(LauncherJudge, AcceptsTheUndisturbedRunAndWhatFailedLoadsLeave) {
  const ScenarioRun recorded = Undisturbed();
  EXPECT_TRUE(JudgeUndisturbed(recorded).defects.empty());

  Context load = At("msvcrt.dll!fread", kStartUp);
  load.inLoadConfig = true;
  const Verdict partial = Judge(recorded, RunFrom(AfterValues(kStart, 3), "No FILE!xconfig.dat"), load);
  EXPECT_TRUE(partial.defects.empty()) << partial.defects.front();
  EXPECT_TRUE(partial.injected);
  EXPECT_EQ(partial.outcome, "carried on; Load Config failed");

  ScenarioRun reported = RunFrom(AfterValues(kStart, 11), ExpectedTrace());
  reported.views.resize(5);
  reported.report = "File not found.";
  reported.exitCode = 1;
  reported.gameStarts.clear();
  EXPECT_TRUE(Judge(recorded, reported, At("KERNEL32.dll!CreateProcessA", kPlay)).defects.empty());
}

TEST(LauncherJudge, FindsWhatBreaksTheRules) {
  const ScenarioRun recorded = Undisturbed();
  Context load = At("USER32.dll!GetDlgItem", kStartUp);
  load.inLoadConfig = true;

  // A failed load that went on as if loaded: the trace of a file whose values were skipped.
  EXPECT_FALSE(Judge(recorded, RunFrom(AfterValues(kStart, 3), ExpectedTrace()), load).defects.empty());
  // A failed load whose options no number of values gives: one value skipped, later ones applied.
  Options skipped = AfterValues(kStart, 11);
  skipped.checks[2] = kStart.checks[2];
  EXPECT_FALSE(Judge(recorded, RunFrom(skipped, "No FILE!xconfig.dat"), load).defects.empty());

  ScenarioRun endedInLoad = recorded;
  endedInLoad.views.resize(0);
  endedInLoad.endedInStep = kStartUp;
  endedInLoad.report = "Not enough memory.";
  endedInLoad.exitCode = 1;
  endedInLoad.gameStarts.clear();
  endedInLoad.savedConfig = kEarlierSave;
  endedInLoad.log = {{"injected", "USER32.dll!SetWindowTextA", 0x7af0, kStartUp, "FALSE"}};
  EXPECT_EQ(Judge(recorded, endedInLoad, load).defects, std::vector<std::string>{"Load Config ended the launcher"});

  ScenarioRun wrongGame = RunFrom(AfterValues(kStart, 11), ExpectedTrace());
  wrongGame.gameStarts = {"command line=vorlan.exe -nc -d v0  -d saveme\nshow window=2\n"};
  EXPECT_FALSE(Judge(recorded, wrongGame, At("USER32.dll!GetDlgItem", kPlay)).defects.empty());

  ScenarioRun crashed = endedInLoad;
  crashed.report.reset();
  crashed.exitCode = 0xC0000005;
  const Verdict crash = Judge(recorded, crashed, At("msvcrt.dll!malloc", kStartUp));
  EXPECT_TRUE(crash.crashed);
  EXPECT_FALSE(crash.defects.empty());

  ScenarioRun silent = crashed;
  silent.exitCode = 1;
  EXPECT_FALSE(Judge(recorded, silent, At("USER32.dll!GetMessageA", kStartUp)).defects.empty());
  EXPECT_TRUE(Judge(recorded, silent, At("USER32.dll!MessageBoxA", kStartUp)).defects.empty())
      << "a report that cannot be shown still ends the launcher";

  ScenarioRun leftBehind = RunFrom(AfterValues(kStart, 11), ExpectedTrace());
  leftBehind.files.push_back("xcf1A2.tmp");
  leftBehind.savedConfig = "0\r\n\" \"";
  const Verdict save = Judge(recorded, leftBehind, At("KERNEL32.dll!WriteFile", kSaveConfig));
  EXPECT_EQ(save.defects.size(), 2u) << "a short xconfig2.dat and a temporary file left behind";

  ScenarioRun misused = RunFrom(AfterValues(kStart, 11), ExpectedTrace());
  misused.log.push_back({"misuse", "USER32.dll!SendMessageA", 0x7b20, kPlay, "a null window"});
  EXPECT_FALSE(Judge(recorded, misused, At("USER32.dll!GetDlgItem", kPlay)).defects.empty());
}

}  // namespace
