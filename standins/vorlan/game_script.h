// Game script for the stand-in host: a text file with one export call a line.
//
//   # a comment; blank lines are skipped too
//   export_name argument argument ...
//
// Arguments, each passed as one value (a 32-bit value in the 32-bit game; in a 64-bit build as wide
// as an address, a number widened with its sign):
//   int N     the plain integer N (decimal, may be negative)
//   var X     the number X (decimal, may have a fraction) as a var: X times 1024, truncated
//   "text"    a STRING record holding the text (\" and \\ stand for " and \)
//   nochars   a STRING record whose character pointer is null
//   obj       a fresh host object record, its var field 0
//   null      a null pointer
#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// The most arguments one call passes; exports that read fewer ignore the rest.
constexpr std::size_t kMaxArguments = 8;

struct ScriptArgument {
  enum class Kind { Number, String, NoChars, Object, Null };
  Kind kind;
  std::int32_t number = 0;  // Number: the 32-bit value passed
  std::string text;         // String: the characters
};

struct ScriptCall {
  std::string exportName;
  std::vector<ScriptArgument> arguments;
};

// A line that is not valid script; the message says what is wrong with it.
class ScriptError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The call on one line, or nothing for a blank or comment line.
std::optional<ScriptCall> ParseScriptLine(std::string_view line);

// An export's 32-bit answer both ways script may read it: "raw 1024, var 1".
std::string DescribeAnswer(std::int32_t raw);

}  // namespace vorlan
