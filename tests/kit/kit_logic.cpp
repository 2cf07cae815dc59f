#include "kit_logic.h"

#include <algorithm>
#include <regex>
#include <sstream>
#include <stdexcept>

namespace kit {

namespace {

constexpr std::size_t kDifferingLinesShown = 8;

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The extended expression in ECMAScript's grammar, which std::regex runs the same on every
// system: a '.' outside brackets becomes "any character, line ends too".
std::string EcmaScriptFromExtended(const std::string& pattern) {
  std::string converted;
  bool inBrackets = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (inBrackets) {
      converted += c == '\\' ? std::string("\\\\") : std::string(1, c);  // literal in POSIX brackets
      if (c == '[' && i + 1 < pattern.size() && (pattern[i + 1] == ':' || pattern[i + 1] == '=')) {
        const std::size_t close = pattern.find(std::string(1, pattern[i + 1]) + "]", i + 2);
        if (close != std::string::npos) {
          converted += pattern.substr(i + 1, close + 1 - i);
          i = close + 1;
        }
      } else if (c == ']') {
        inBrackets = false;
      }
    } else if (c == '\\' && i + 1 < pattern.size()) {
      converted += pattern.substr(i, 2);
      ++i;
    } else if (c == '[') {
      converted += c;
      inBrackets = true;
      // A ']' first in the brackets (after an optional '^') is a member, not their end.
      if (i + 1 < pattern.size() && pattern[i + 1] == '^') converted += pattern[++i];
      if (i + 1 < pattern.size() && pattern[i + 1] == ']') {
        converted += "\\]";
        ++i;
      }
    } else if (c == '.') {
      converted += "[\\s\\S]";
    } else {
      converted += c;
    }
  }
  return converted;
}

}  // namespace

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  if (text.empty()) return lines;
  lines = Split(text, '\n');
  if (lines.back().empty()) lines.pop_back();
  for (std::string& line : lines)
    if (!line.empty() && line.back() == '\r') line.pop_back();
  return lines;
}

std::string WithoutCarriageReturns(const std::string& text) {
  std::string result = text;
  result.erase(std::remove(result.begin(), result.end(), '\r'), result.end());
  return result;
}

std::optional<std::string> GoldenDifference(const std::string& name, const std::string& expected,
                                            const std::string& actual) {
  if (expected == actual) return std::nullopt;
  const std::vector<std::string> want = Lines(expected);
  const std::vector<std::string> got = Lines(actual);
  std::ostringstream account;
  account << name << " differs: expected " << expected.size() << " bytes in " << Lines(expected).size()
          << " lines, got " << actual.size() << " bytes in " << Lines(actual).size() << " lines";
  std::size_t shown = 0;
  for (std::size_t i = 0; i < std::max(want.size(), got.size()) && shown < kDifferingLinesShown; ++i) {
    const std::string* expectedLine = i < want.size() ? &want[i] : nullptr;
    const std::string* actualLine = i < got.size() ? &got[i] : nullptr;
    if (expectedLine && actualLine && *expectedLine == *actualLine) continue;
    account << "\n  line " << (i + 1) << ":\n    expected: "
            << (expectedLine ? "\"" + *expectedLine + "\"" : std::string("(none)"))
            << "\n    got:      " << (actualLine ? "\"" + *actualLine + "\"" : std::string("(none)"));
    ++shown;
  }
  if (shown == 0) account << "\n  the lines are the same; their ends differ (a carriage return or the last line end)";
  return account.str();
}

std::optional<std::string> AsciiFromUtf16Le(const std::string& bytes) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::string text;
  text.reserve(bytes.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const unsigned unit = static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (unit > 0x7F) return std::nullopt;
    text += static_cast<char>(unit);
  }
  return text;
}

bool OutputMatches(const std::string& pattern, const std::string& output) {
  const std::regex expression(EcmaScriptFromExtended(pattern), std::regex::ECMAScript);
  return std::regex_search(WithoutCarriageReturns(output), expression);
}

std::vector<std::pair<std::string, std::string>> KeptFiles(const std::string& text) {
  std::vector<std::pair<std::string, std::string>> kept;
  for (const std::string& line : Lines(text)) {
    std::istringstream words(line);
    std::string caseFile, gameFile, more;
    if (!(words >> caseFile)) continue;
    if (!(words >> gameFile) || (words >> more))
      throw std::invalid_argument("not \"CASE-FILE GAME-FILE\": \"" + line + "\"");
    kept.emplace_back(caseFile, gameFile);
  }
  return kept;
}

std::vector<std::string> TreeDifferences(const Tree& expected, const Tree& actual) {
  std::vector<std::string> differences;
  for (const auto& [path, bytes] : expected) {
    const auto found = actual.find(path);
    if (found == actual.end())
      differences.push_back("missing: " + path);
    else if (found->second != bytes)
      differences.push_back("different: " + path);
  }
  for (const auto& entry : actual)
    if (!expected.count(entry.first)) differences.push_back("new: " + entry.first);
  std::sort(differences.begin(), differences.end());
  return differences;
}

Manifest ParseManifest(const std::string& text) {
  Manifest manifest;
  int number = 0;
  for (const std::string& line : Lines(text)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    const std::vector<std::string> fields = Split(line, '\t');
    const auto bad = [&](const std::string& why) {
      return std::invalid_argument("manifest line " + std::to_string(number) + ": " + why + ": " + line);
    };
    if (fields[0] == "commit" && fields.size() == 2) {
      manifest.commit = fields[1];
    } else if (fields[0] == "absent" && fields.size() == 3) {
      manifest.absent.push_back({fields[1], fields[2]});
    } else if (fields[0] == "test" && fields.size() >= 5) {
      ManifestTest test;
      test.name = fields[1];
      if (fields[2] != "-") test.needs = Split(fields[2], ',');
      try {
        std::size_t used = 0;
        test.timeoutSeconds = std::stoi(fields[3], &used);
        if (used != fields[3].size() || test.timeoutSeconds <= 0) throw std::invalid_argument(fields[3]);
      } catch (const std::exception&) {
        throw bad("the time limit is not a number of seconds");
      }
      test.kind = fields[4];
      test.arguments.assign(fields.begin() + 5, fields.end());
      manifest.tests.push_back(std::move(test));
    } else {
      throw bad("neither a commit, a test nor an absent test");
    }
  }
  return manifest;
}

std::string ResolveArgument(const std::string& argument, const std::string& kitFolder,
                            const std::string& workFolder, char separator) {
  std::string base, rest;
  if (StartsWith(argument, "@kit/")) {
    base = kitFolder, rest = argument.substr(5);
  } else if (StartsWith(argument, "@work/")) {
    base = workFolder, rest = argument.substr(6);
  } else {
    return argument;
  }
  std::replace(rest.begin(), rest.end(), '/', separator);
  return base + separator + rest;
}

std::vector<GtestCase> GtestCases(const std::string& listOutput, const std::string& suffix) {
  static const std::regex kSuiteEnd(R"(\.( *#.*)?$)");
  static const std::regex kTypeParameter(R"(.*/[0-9]+[ .#]+TypeParam = (.*))");
  static const std::regex kValueParameter(R"(/[0-9]+[ #]+GetParam\(\) = )");
  static const std::regex kComment(R"( +#.*)");
  std::vector<GtestCase> cases;
  std::string suite, prettySuite, typeParameter;
  for (const std::string& line : Lines(listOutput)) {
    if (line.empty() || line.find("gtest_main.cc") != std::string::npos) continue;
    if (!StartsWith(line, "  ")) {
      suite = std::regex_replace(line, kSuiteEnd, "");
      typeParameter.clear();
      if (line.find('#') != std::string::npos) {
        prettySuite = line.substr(0, line.find('/'));
        typeParameter = "<" + std::regex_replace(line, kTypeParameter, "$1") + ">";
      } else {
        prettySuite = suite;
      }
      if (StartsWith(prettySuite, "DISABLED_")) prettySuite.erase(0, 9);
      continue;
    }
    const std::string test = Trimmed(line);
    std::string prettyTest = test.find('#') != std::string::npos ? std::regex_replace(test, kValueParameter, "/")
                                                                 : std::regex_replace(test, kComment, "");
    if (StartsWith(prettyTest, "DISABLED_")) prettyTest.erase(0, 9);
    cases.push_back({prettySuite + "." + prettyTest + typeParameter + suffix,
                     suite + "." + std::regex_replace(test, kComment, "")});
  }
  return cases;
}

void Counts::Add(Outcome outcome) {
  switch (outcome) {
    case Outcome::kPassed: ++passed; break;
    case Outcome::kFailed: ++failed; break;
    case Outcome::kSkipped: ++skipped; break;
  }
}

std::string Summary(const Counts& counts) {
  std::string summary = std::to_string(counts.passed) + " passed, " + std::to_string(counts.failed) + " failed";
  if (counts.skipped > 0) summary += ", " + std::to_string(counts.skipped) + " skipped";
  return summary;
}

std::optional<std::string> GtestSkipReason(const std::string& output) {
  if (output.find("[  SKIPPED ]") == std::string::npos) return std::nullopt;
  const std::vector<std::string> lines = Lines(output);
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.size() >= 9 && line.compare(line.size() - 9, 9, ": Skipped") == 0 && !Trimmed(lines[i + 1]).empty() &&
        !StartsWith(lines[i + 1], "[  SKIPPED ]"))
      return Trimmed(lines[i + 1]);
  }
  return std::string("the test skipped itself");
}

}  // namespace kit
