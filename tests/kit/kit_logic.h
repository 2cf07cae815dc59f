// The test kit's window-free logic: how the runner compares what came out of a test with what was
// expected, reads its manifest, names the cases of a GoogleTest program as ctest does and counts.
#pragma once
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kit {

// Exact comparison of a golden file with what came out. Answers nothing when both hold the same
// bytes, else a short account: the line counts and the first lines that differ.
std::optional<std::string> GoldenDifference(const std::string& name, const std::string& expected,
                                            const std::string& actual);

// UTF-16LE bytes as ASCII text; nothing when a character is not ASCII or a byte is left over.
std::optional<std::string> AsciiFromUtf16Le(const std::string& bytes);

// The lines of a text, each without its line end ("\n" or "\r\n"); a last line without an end
// counts, an empty text has none.
std::vector<std::string> Lines(const std::string& text);

// The text without carriage returns.
std::string WithoutCarriageReturns(const std::string& text);

// Whether `output` holds a match of `pattern`, a POSIX extended regular expression in which '.'
// also matches line ends; carriage returns in the output do not count. Throws std::regex_error
// for a pattern that is not one.
bool OutputMatches(const std::string& pattern, const std::string& output);

// The lines of an expected_kept.txt: "CASE-FILE GAME-FILE" pairs, split at blanks; blank lines are
// skipped and a line without two names throws std::invalid_argument.
std::vector<std::pair<std::string, std::string>> KeptFiles(const std::string& text);

// Two folder trees as relative path (with '/') -> file bytes; a folder is listed with a trailing
// '/' and no bytes. Answers a line per path that is missing, new or different, sorted.
using Tree = std::map<std::string, std::string>;
std::vector<std::string> TreeDifferences(const Tree& expected, const Tree& actual);

// One test in the kit's manifest.
struct ManifestTest {
  std::string name;
  std::vector<std::string> needs;  // what the machine must offer: "c_1_temp", "desktop"
  int timeoutSeconds = 0;
  std::string kind;                // "gtest", "game-flow", "expect-output", "exit-zero"
  std::vector<std::string> arguments;
};
// A ctest test that the kit does not hold, and why.
struct AbsentTest {
  std::string name;
  std::string reason;
};
struct Manifest {
  std::string commit;
  std::vector<ManifestTest> tests;
  std::vector<AbsentTest> absent;
};
// The manifest's text: tab-separated lines "commit SHA", "test NAME NEEDS TIMEOUT KIND ARG...",
// "absent NAME REASON" ('-' for no needs, else needs joined by ','); '#' starts a comment line.
// Throws std::invalid_argument naming the line that cannot be read.
Manifest ParseManifest(const std::string& text);

// A manifest argument with its placeholders replaced: "@kit/" at its start stands for the kit's
// folder, "@work/" for the run's own folder; answers the argument as it stands otherwise.
std::string ResolveArgument(const std::string& argument, const std::string& kitFolder,
                            const std::string& workFolder, char separator);

// One case of a GoogleTest program: ctest's name for it and the filter that runs it alone.
struct GtestCase {
  std::string name;
  std::string filter;
};
// The cases that `--gtest_list_tests` printed, named as CMake's gtest_discover_tests names them
// (parameters shown by value, `suffix` appended).
std::vector<GtestCase> GtestCases(const std::string& listOutput, const std::string& suffix);

// What one test came to.
enum class Outcome { kPassed, kFailed, kSkipped };

struct Counts {
  int passed = 0;
  int failed = 0;
  int skipped = 0;
  void Add(Outcome outcome);
};
// "N passed, N failed", and ", N skipped" when any was.
std::string Summary(const Counts& counts);

// The reason of a GoogleTest skip in a case's output ("[  SKIPPED ]" and what the test said), or
// nothing when the case did not skip.
std::optional<std::string> GtestSkipReason(const std::string& output);

}  // namespace kit
