#include "game_script.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vorlan {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Walks a line token by token.
class Tokens {
 public:
  explicit Tokens(std::string_view line) : rest_(line) {}

  bool AtEnd() {
    SkipBlanks();
    return rest_.empty() || rest_.front() == '#';
  }

  bool AtQuote() { return !AtEnd() && rest_.front() == '"'; }

  std::string Word() {
    SkipBlanks();
    std::size_t length = 0;
    while (length < rest_.size() && !IsBlank(rest_[length])) ++length;
    std::string word(rest_.substr(0, length));
    rest_.remove_prefix(length);
    return word;
  }

  std::string Quoted() {
    SkipBlanks();
    rest_.remove_prefix(1);
    std::string text;
    while (!rest_.empty() && rest_.front() != '"') {
      if (rest_.front() == '\\' && rest_.size() > 1 && (rest_[1] == '"' || rest_[1] == '\\'))
        rest_.remove_prefix(1);
      text += rest_.front();
      rest_.remove_prefix(1);
    }
    if (rest_.empty()) throw ScriptError("a string has no closing quote");
    rest_.remove_prefix(1);
    if (!rest_.empty() && !IsBlank(rest_.front()) && rest_.front() != '#')
      throw ScriptError("a string must be followed by a blank");
    return text;
  }

 private:
  void SkipBlanks() {
    while (!rest_.empty() && IsBlank(rest_.front())) rest_.remove_prefix(1);
  }

  std::string_view rest_;
};

std::int32_t ParseInt(const std::string& word) {
  if (word.empty()) throw ScriptError("\"int\" needs a number");
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(word.c_str(), &end, 10);
  if (end == word.c_str() || *end != '\0')
    throw ScriptError("\"" + word + "\" is not a whole number");
  if (errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
    throw ScriptError("int " + word + " does not fit 32 bits");
  return static_cast<std::int32_t>(value);
}

std::int32_t ParseVar(const std::string& word) {
  if (word.empty()) throw ScriptError("\"var\" needs a number");
  char* end = nullptr;
  const double value = std::strtod(word.c_str(), &end);
  const bool plainDecimal = word.find_first_not_of("+-.0123456789") == std::string::npos;
  if (*end != '\0' || !plainDecimal) throw ScriptError("\"" + word + "\" is not a number");
  const double raw = std::trunc(value * 1024.0);
  if (!(raw >= INT32_MIN && raw <= INT32_MAX))
    throw ScriptError("var " + word + " lies outside the var range");
  return static_cast<std::int32_t>(raw);
}

std::string NumberAfter(Tokens& tokens) { return tokens.AtEnd() ? "" : tokens.Word(); }

ScriptArgument ParseArgument(Tokens& tokens) {
  if (tokens.AtQuote()) return {ScriptArgument::Kind::String, 0, tokens.Quoted()};
  const std::string word = tokens.Word();
  if (word == "int") return {ScriptArgument::Kind::Number, ParseInt(NumberAfter(tokens)), {}};
  if (word == "var") return {ScriptArgument::Kind::Number, ParseVar(NumberAfter(tokens)), {}};
  if (word == "nochars") return {ScriptArgument::Kind::NoChars, 0, {}};
  if (word == "obj") return {ScriptArgument::Kind::Object, 0, {}};
  if (word == "null") return {ScriptArgument::Kind::Null, 0, {}};
  throw ScriptError("unknown argument \"" + word +
                    "\" (use int N, var X, \"text\", nochars, obj or null)");
}

}  // namespace

std::optional<ScriptCall> ParseScriptLine(std::string_view line) {
  Tokens tokens(line);
  if (tokens.AtEnd()) return std::nullopt;
  ScriptCall call{tokens.Word(), {}};
  while (!tokens.AtEnd()) {
    if (call.arguments.size() == kMaxArguments)
      throw ScriptError("more than " + std::to_string(kMaxArguments) + " arguments");
    call.arguments.push_back(ParseArgument(tokens));
  }
  return call;
}

std::string DescribeAnswer(std::int32_t raw) {
  char text[64];
  std::snprintf(text, sizeof text, "raw %ld, var %.10g", static_cast<long>(raw), raw / 1024.0);
  return text;
}

}  // namespace vorlan
