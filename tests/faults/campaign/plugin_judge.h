// The plug-in's campaign scenario, what a run of it leaves to be seen, and the judgement of a run:
// the game never crashes or hangs, every line of its script runs, each export answers either what
// it answered undisturbed or what it answers when its storefront call or its file fails, and the
// diagnostic files are either complete or not there.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "record.h"

namespace fault_campaign::plugin {

// A game script reaching every export, the storefront's notices and call results, and both
// diagnostic files; and the storefront's state it starts from, with a persona name that holds a
// formatting character.
extern const char kScript[];
extern const char kState[];

// One script line as the game's transcript shows it.
struct Call {
  int line = 0;
  std::string exportName;
  std::string text;        // the line as written
  long long raw = 0;       // the answer, raw
  std::string answerLine;  // the transcript's answer line
};

struct Run {
  bool hung = false;
  bool exited = false;
  unsigned long exitCode = 0;
  std::string binding;  // the transcript's line for A6_DLLAPI
  std::vector<Call> calls;
  std::optional<std::string> countryFile;   // c:\1_temp\pais.txt, when there
  std::optional<std::string> greetingFile;  // c:\1_temp\alog.txt, when there
  std::vector<std::string> diagnosticFolder;  // every file in c:\1_temp
  std::vector<LogLine> log;
};

// The game's transcript read into the binding line and one Call per script line run.
void ReadTranscript(const std::string& transcript, Run& run);

struct Verdict {
  bool injected = false;
  bool crashed = false;
  bool hung = false;
  std::string outcome;  // what the failure changed: the first export whose answer differs, and how
  std::vector<std::string> defects;
};

Verdict JudgeUndisturbed(const Run& run);
// `import` is the call made to fail: a storefront text answered null leaves its line of the
// country file empty.
Verdict Judge(const Run& recorded, const Run& run, const std::string& import);

}  // namespace fault_campaign::plugin
