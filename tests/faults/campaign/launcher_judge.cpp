#include "launcher_judge.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "expected_launch_options.h"

namespace fault_campaign::launcher {
namespace {

constexpr char kFailureTrace[] = "No FILE!xconfig.dat";
constexpr char kText2AsCreated[] = "Text2";
// The options once Form_Load has selected entry 1, before Load Config: the check boxes' creation
// states.
constexpr Options kStartOptions = {{0, 1, 0, 1, 1, 1}, 1};

// What each complete value of kConfigFile sets: a check box (0 .. 5 for Check1 .. Check6) or the
// list (6), and to what; -1: nothing.
struct Effect {
  int control;
  int state;
};
constexpr int kList = 6;
constexpr Effect kValueEffects[] = {
    {1, 0}, {2, 1}, {3, 0}, {4, 0}, {5, 0},  // values 1 to 5: Check2 .. Check6
    {-1, 0}, {-1, 0}, {-1, 0},               // values 6 to 8
    {0, 1},                                  // value 9: Check1
    {kList, 4},                              // value 10: the list
    {-1, 0},                                 // value 11
};
constexpr int kCompleteValues = sizeof kValueEffects / sizeof kValueEffects[0];

std::string NumberText(int value) { return (value >= 0 ? " " : "") + std::to_string(value); }

std::string Describe(const Options& options) {
  std::string text = "checks ";
  for (int check : options.checks) text += std::to_string(check);
  return text + ", entry " + std::to_string(options.selection);
}

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\r') quoted += "\\r";
    else if (c == '\n') quoted += "\\n";
    else quoted += c;
  }
  return quoted + "\"";
}

bool IsCrash(unsigned long exitCode) {
  constexpr unsigned long kAbort = 3;  // the C runtime's abort()
  return exitCode >= 0xC0000000ul || exitCode == kAbort;
}

// The options Load Config may leave when it fails partway: those of some number of values applied.
bool IsPartialLoad(const Options& before, const Options& after) {
  for (int values = 0; values <= kCompleteValues; ++values)
    if (AfterValues(before, values) == after) return true;
  return false;
}

class Judgement {
 public:
  Judgement(const Run& recorded, const Run& run, const Context& context)
      : recorded_(recorded), run_(run), context_(context) {}

  Verdict Judge() {
    verdict_.injected = std::any_of(run_.log.begin(), run_.log.end(), [](const LogLine& l) { return l.kind == "injected"; });
    for (const LogLine& line : run_.log)
      if (line.kind == "misuse") Defect("used a failed result: " + line.import + " given " + line.text);
    JudgeFiles();
    if (run_.exited && IsCrash(run_.exitCode)) {
      verdict_.crashed = true;
      Outcome("crashed in " + std::string(StepName(run_.endedInStep)) + ", exit code " + Hex(run_.exitCode));
      Defect("a crash");
    } else if (run_.hung) {
      verdict_.hung = true;
      Outcome("hung in " + std::string(StepName(run_.endedInStep)));
      Defect("a hang");
    } else if (run_.report) {
      JudgeReport();
    } else if (run_.endedInStep < kPlay || !run_.exited) {
      JudgeSilentEnd();
    } else {
      JudgeCarriedOn();
    }
    if (!verdict_.injected && verdict_.outcome.empty()) verdict_.outcome = "not reached";
    if (!verdict_.injected) verdict_.outcome = "not reached; " + verdict_.outcome;
    return verdict_;
  }

  Verdict JudgeUndisturbed() {
    verdict_.injected = true;
    JudgeFiles();
    if (run_.hung || run_.report || !run_.exited || run_.exitCode != 0 || run_.views.size() != kStepCount - 1) {
      Outcome("did not run through");
      Defect("the scenario did not run through: " + DescribeEnd(run_));
      return verdict_;
    }
    Options expected = AfterValues(kStartOptions, kCompleteValues);
    Expect(kStartUp, expected, ExpectedTrace());
    Expect(kWiden, expected, ExpectedTrace());
    expected.checks[0] ^= 1;
    expected.selection = kPickedEntry;
    Expect(kChangeOptions, expected, ExpectedTrace());
    Expect(kSaveConfig, expected, ExpectedTrace());
    if (run_.savedConfig != SavedBytes(expected)) Defect("Save Config wrote " + Quoted(run_.savedConfig.value_or("")));
    expected = AfterValues(expected, kCompleteValues);
    Expect(kLoadConfig, expected, ExpectedTrace());
    ExpectGameStart(expected);
    Outcome("ran through");
    return verdict_;
  }

 private:
  static std::string Hex(unsigned long value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lx", value);
    return text;
  }

  static std::string DescribeEnd(const Run& run) {
    if (run.hung) return std::string("hung in ") + StepName(run.endedInStep);
    if (run.report) return "reported " + Quoted(*run.report);
    return "ended in " + std::string(StepName(run.endedInStep)) + " with exit code " + std::to_string(run.exitCode);
  }

  void Outcome(const std::string& text) { verdict_.outcome = text; }
  void Defect(const std::string& text) { verdict_.defects.push_back(text); }

  // A Load Config of this step may have failed: the injected call was in it, or a failure that
  // persists began at or before it.
  bool LoadMayFail(int step) const {
    return (context_.inLoadConfig && context_.step == step) || (context_.persistent && context_.step <= step);
  }

  void JudgeFiles() {
    if (run_.config != kConfigFile) Defect("xconfig.dat changed to " + Quoted(run_.config));
    std::set<std::string> allowed = {kEarlierSave};
    if (run_.views.size() >= kChangeOptions) allowed.insert(SavedBytes(run_.views[kChangeOptions - 1].options));
    if (!run_.savedConfig) Defect("xconfig2.dat is gone");
    else if (!allowed.count(*run_.savedConfig)) Defect("xconfig2.dat holds " + Quoted(*run_.savedConfig));
    const std::set<std::string> expectedFiles = {"xconfig.dat", "xconfig2.dat", "vorlan.exe", "vorlan_started.txt"};
    for (const std::string& file : run_.files)
      if (!expectedFiles.count(file)) Defect("left behind in the game folder: " + file);
  }

  // A report of the step the failure began in came from the routine that failed, unless that was
  // Load Config and it had already left its failure trace; a failure that persists may be reported
  // by a later step, where it counts as that step's error.
  void JudgeReport() {
    Outcome("reported " + Quoted(*run_.report) + " in " + StepName(run_.endedInStep));
    const bool sameStep = run_.endedInStep == context_.step;
    if (context_.inLoadConfig && sameStep && run_.traceAtReport != std::string(kFailureTrace))
      Defect("Load Config ended the launcher");
    if (context_.inSound && sameStep) Defect("the start-up sound stopped the start-up");
    if (context_.step == kSaveConfig && sameStep) Defect("Save Config ended the launcher");
    if (run_.report->empty()) Defect("the report says nothing");
    if (!run_.exited || run_.exitCode != 1) Defect("the launcher did not end after its report");
  }

  void JudgeSilentEnd() {
    // The report itself could not be shown: the launcher ends all the same.
    if (run_.exited && run_.exitCode == 1 && context_.import.find("MessageBoxA") != std::string::npos) {
      Outcome(std::string("ended in ") + StepName(run_.endedInStep) + ": the report could not be shown");
      return;
    }
    Outcome(DescribeEnd(run_) + ", no report");
    Defect("ended without the standard error report");
  }

  // The launcher carried on: each step shows what its rules give from the state before it.
  void JudgeCarriedOn() {
    if (run_.views.size() != kStepCount - 1) {
      Outcome(DescribeEnd(run_));
      Defect("the scenario did not reach Play");
      return;
    }
    bool loadFailed = false;
    const Options startUp = JudgeLoad(kStartUp, kStartOptions, kText2AsCreated, loadFailed);
    Expect(kWiden, startUp, View(kStartUp).trace);
    Options changed = startUp;
    changed.checks[0] ^= 1;
    changed.selection = kPickedEntry;
    Expect(kChangeOptions, changed, View(kStartUp).trace);
    Expect(kSaveConfig, changed, View(kStartUp).trace);
    const Options loaded = JudgeLoad(kLoadConfig, changed, View(kSaveConfig).trace, loadFailed);
    ExpectGameStart(loaded);
    Outcome(loadFailed ? "carried on; Load Config failed" : "carried on");
  }

  // The options after a step that runs Load Config from `before`, the trace having been
  // `earlierTrace`: the whole file applied with its trace, or, where the load may have failed, part
  // of it with the failure trace (or the earlier trace, where the trace itself cannot be set).
  Options JudgeLoad(int step, const Options& before, const std::string& earlierTrace, bool& loadFailed) {
    const WindowView& view = View(step);
    ExpectWindow(step);
    const Options whole = AfterValues(before, kCompleteValues);
    if (view.trace == ExpectedTrace()) {
      if (!(view.options == whole)) Defect(std::string(StepName(step)) + ": the trace is whole but the options are " + Describe(view.options));
      return view.options;
    }
    const bool traceUnset = view.trace == earlierTrace && context_.import.find("SetWindowTextA") != std::string::npos;
    if (!LoadMayFail(step) || (view.trace != kFailureTrace && !traceUnset)) {
      Defect(std::string(StepName(step)) + ": the trace is " + Quoted(view.trace));
    } else if (!IsPartialLoad(before, view.options)) {
      Defect(std::string(StepName(step)) + ": a failed load left " + Describe(view.options) +
             ", which no number of values applied gives");
    }
    loadFailed = true;
    return view.options;
  }

  const WindowView& View(int step) const { return run_.views[static_cast<std::size_t>(step - 1)]; }

  void Expect(int step, const Options& options, const std::string& trace) {
    const WindowView& view = View(step);
    ExpectWindow(step);
    if (!(view.options == options))
      Defect(std::string(StepName(step)) + ": " + Describe(view.options) + " where " + Describe(options) + " belong");
    if (view.trace != trace) Defect(std::string(StepName(step)) + ": the trace is " + Quoted(view.trace));
  }

  // The window itself, its controls and the list are as in the recorded run.
  void ExpectWindow(int step) {
    const WindowView& view = View(step);
    if (&run_ == &recorded_) return ExpectRecordedWindow(step);
    const WindowView& recordedView = recorded_.views[static_cast<std::size_t>(step - 1)];
    const std::string where = StepName(step);
    if (view.clientWidth != recordedView.clientWidth || view.clientHeight != recordedView.clientHeight ||
        view.outerWidth != recordedView.outerWidth || view.outerHeight != recordedView.outerHeight)
      Defect(where + ": the window is " + std::to_string(view.outerWidth) + "x" + std::to_string(view.outerHeight) +
             " (client " + std::to_string(view.clientWidth) + "x" + std::to_string(view.clientHeight) + ")");
    for (std::size_t i = 0; i < recordedView.controls.size(); ++i)
      if (i >= view.controls.size() || !(view.controls[i] == recordedView.controls[i]))
        Defect(where + ": control " + std::to_string(recordedView.controls[i].id) + " differs");
    if (view.listEntries != recordedView.listEntries)
      Defect(where + ": the list holds " + std::to_string(view.listEntries.size()) + " entries");
  }

  // The undisturbed run: the window made with its client area at start-up and 8250 twips wide once
  // the panel is open, with every control and the twelve entries.
  void ExpectRecordedWindow(int step) {
    const WindowView& view = View(step);
    const std::string where = StepName(step);
    const bool created = step == kStartUp;
    if ((created && view.clientWidth != 332) || view.clientHeight != 336)
      Defect(where + ": the client area is " + std::to_string(view.clientWidth) + "x" + std::to_string(view.clientHeight));
    if (!created && view.outerWidth != 550) Defect(where + ": the window is " + std::to_string(view.outerWidth) + " wide");
    for (const Control& control : view.controls)
      if (!control.exists) Defect(where + ": control " + std::to_string(control.id) + " is missing");
    if (view.listEntries.size() != 12) Defect(where + ": the list holds " + std::to_string(view.listEntries.size()) + " entries");
  }

  void ExpectGameStart(const Options& options) {
    const std::string expected = "command line=" + CommandLine(options) + "\nshow window=2\n";
    if (run_.gameStarts.size() != 1) {
      Defect("the game was started " + std::to_string(run_.gameStarts.size()) + " times");
    } else if (run_.gameStarts[0] != expected) {
      Defect("the game was started as " + Quoted(run_.gameStarts[0]) + " where " + Quoted(expected) + " belongs");
    }
  }

  const Run& recorded_;
  const Run& run_;
  const Context& context_;
  Verdict verdict_;
};

}  // namespace

const char* StepName(int step) {
  static constexpr const char* kNames[] = {"program start", "start-up", "widen", "change options",
                                           "Save Config", "Load Config", "Play"};
  return step >= 0 && step <= kStepCount ? kNames[step] : "?";
}

Options AfterValues(const Options& before, int values) {
  Options after = before;
  for (int i = 0; i < values && i < kCompleteValues; ++i) {
    const Effect& effect = kValueEffects[i];
    if (effect.control == kList) after.selection = effect.state;
    else if (effect.control >= 0) after.checks[static_cast<std::size_t>(effect.control)] = effect.state;
  }
  return after;
}

std::string ExpectedTrace() {
  std::string trace, value;
  int number = 1;
  for (const char c : std::string(kConfigFile)) {
    trace += c + ("(" + NumberText(static_cast<unsigned char>(c)) + ")");
    if (c != ' ') {
      value += c;
      continue;
    }
    trace += "Opcao = " + NumberText(number++) + ":" + value + "\r\n";
    value.clear();
  }
  return trace;
}

std::string SavedBytes(const Options& options) {
  std::string bytes;
  for (std::size_t check = 1; check < options.checks.size(); ++check)
    bytes += (options.checks[check] == 0 ? "0" : "1") + std::string("\r\n\" \"\r\n");
  return bytes;
}

std::string CommandLine(const Options& options) {
  std::string line = "vorlan.exe -nc";
  if (options.selection >= 0) line += launcher_expected::kResolutions[options.selection].piece;
  for (std::size_t check = 0; check < options.checks.size(); ++check)
    if (options.checks[check] == launcher_expected::kToggles[check].addedWhen) line += launcher_expected::kToggles[check].piece;
  return line + " -d saveme";  // every start-up changes the selection, so the flag is always set
}

Verdict JudgeUndisturbed(const Run& run) {
  const Context none;
  return Judgement(run, run, none).JudgeUndisturbed();
}

Verdict Judge(const Run& recorded, const Run& run, const Context& context) {
  return Judgement(recorded, run, context).Judge();
}

}  // namespace fault_campaign::launcher
