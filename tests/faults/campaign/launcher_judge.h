// The launcher's campaign scenario, what a run of it leaves to be seen, and the judgement of a run
// against the launcher's rules: never a crash or a hang; Load Config and Save Config never end the
// launcher; the start-up sound never stops start-up; any other failure the launcher counts as an
// error gives the standard error report and ends it; "xconfig.dat" never changes, "xconfig2.dat"
// is either its old bytes or a complete new file, no temporary file stays behind; and what the
// launcher carries on with is what its window and the game's command line show.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "record.h"

namespace fault_campaign::launcher {

// The scenario: a start with "xconfig.dat" setting every kind of value and an earlier
// "xconfig2.dat"; the options panel opened; Check1 toggled and entry 9 picked; Save Config; Load
// Config (the hidden buttons); Play.
enum Step { kStartUp = 1, kWiden, kChangeOptions, kSaveConfig, kLoadConfig, kPlay };
constexpr int kStepCount = kPlay;
const char* StepName(int step);

// Values 1 to 5 clear Check2, set Check3 ("1.0"), clear Check4 (no number) and Check5 (an empty
// value) and Check6; 6 to 8 are ignored; 9 sets Check1; 10 selects entry 4 ("4.5" rounds to the
// even neighbour); 11 is ignored and the unterminated tail too.
constexpr char kConfigFile[] = "0 1.0 x  0 6 7 8 1 4.5 11 12";
// An "xconfig2.dat" from an earlier save, with other states than the scenario saves.
constexpr char kEarlierSave[] = "1\r\n\" \"\r\n1\r\n\" \"\r\n1\r\n\" \"\r\n1\r\n\" \"\r\n1\r\n\" \"\r\n";
constexpr int kPickedEntry = 9;

// The launch options as the window shows them.
struct Options {
  std::array<int, 6> checks{};  // Check1 .. Check6
  int selection = -1;           // -1: no entry
  bool operator==(const Options& other) const { return checks == other.checks && selection == other.selection; }
};

// What the window shows after a step: its sizes, every control, the options and the load trace.
struct Control {
  int id = 0;
  bool exists = false;
  int left = 0, top = 0, right = 0, bottom = 0;  // pixels, in the parent's client area
  bool visible = false;
  std::string text;
  bool operator==(const Control& other) const {
    return id == other.id && exists == other.exists && left == other.left && top == other.top &&
           right == other.right && bottom == other.bottom && visible == other.visible && text == other.text;
  }
};
struct WindowView {
  int clientWidth = 0, clientHeight = 0, outerWidth = 0, outerHeight = 0;
  std::vector<Control> controls;  // without the texts of Text2 and Combo1: the trace and the selection
  std::vector<std::string> listEntries;
  Options options;
  std::string trace;
};

// What one run of the scenario left to be seen.
struct Run {
  std::vector<WindowView> views;  // after each step that completed, from the start-up on
  int endedInStep = 0;            // the step during which the launcher ended, or hung
  bool hung = false;
  bool exited = false;
  unsigned long exitCode = 0;
  std::optional<std::string> report;  // the text of the standard error report it showed
  std::optional<std::string> traceAtReport;  // the load trace while the report showed, if any
  std::vector<std::string> gameStarts;  // each start the game recorded: "command line=...\nshow window=N"
  std::string config;                   // "xconfig.dat" at the end
  std::optional<std::string> savedConfig;  // "xconfig2.dat" at the end
  std::vector<std::string> files;          // the game folder's file names at the end
  std::vector<LogLine> log;
};

// Where the failed call stood in the scenario.
struct Context {
  std::string import;
  int step = 0;
  bool persistent = false;
  bool inLoadConfig = false;  // a call of Load Config, at start-up or by its button
  bool inSound = false;       // a call of the start-up sound's binding or playing
};

struct Verdict {
  bool injected = false;
  bool crashed = false;
  bool hung = false;
  std::string outcome;
  std::vector<std::string> defects;
};

// The recorded run, failing nothing, against what the launcher must do.
Verdict JudgeUndisturbed(const Run& run);
// A run with a failure injected, against the recorded run and the rules.
Verdict Judge(const Run& recorded, const Run& run, const Context& context);

// The oracle, from the launcher's rules: the options after start-up, after the first `values`
// complete values of kConfigFile are applied ...
Options AfterValues(const Options& before, int values);
// ... the trace of kConfigFile, Save Config's bytes for these options, and the command line.
std::string ExpectedTrace();
std::string SavedBytes(const Options& options);
std::string CommandLine(const Options& options);

}  // namespace fault_campaign::launcher
