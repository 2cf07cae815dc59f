#include "game_script.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace vorlan {
namespace {

using Kind = ScriptArgument::Kind;

ScriptCall Parse(const char* line) {
  const auto call = ParseScriptLine(line);
  EXPECT_TRUE(call.has_value()) << line;
  return call.value_or(ScriptCall{});
}

TEST(ScriptLine, BlankAndCommentLinesHoldNoCall) {
  for (const char* line : {"", "   ", "\t\r", "# steam_init", "   # indented comment"})
    EXPECT_FALSE(ParseScriptLine(line).has_value()) << line;
}

TEST(ScriptLine, ReadsTheExportAndEachArgumentKind) {
  const ScriptCall call = Parse("steam_store_stat \"NumGames\" int 5120 var -0.5 nochars obj null\r");
  EXPECT_EQ(call.exportName, "steam_store_stat");
  ASSERT_EQ(call.arguments.size(), 6u);
  EXPECT_EQ(call.arguments[0].kind, Kind::String);
  EXPECT_EQ(call.arguments[0].text, "NumGames");
  EXPECT_EQ(call.arguments[1].kind, Kind::Number);
  EXPECT_EQ(call.arguments[1].number, 5120);
  EXPECT_EQ(call.arguments[2].number, -512);
  EXPECT_EQ(call.arguments[3].kind, Kind::NoChars);
  EXPECT_EQ(call.arguments[4].kind, Kind::Object);
  EXPECT_EQ(call.arguments[5].kind, Kind::Null);
  EXPECT_TRUE(Parse("steam_init # starts the client").arguments.empty());
}

TEST(ScriptLine, VarLiteralsAreTimes1024TruncatedTowardZero) {
  const struct {
    const char* line;
    std::int32_t raw;
  } cases[] = {{"f var 1234.7", 1264332}, {"f var 3", 3072},   {"f var -0.3", -307},
               {"f var 2.9", 2969},       {"f var .5", 512},   {"f var 2097151.999", 2147483646},
               {"f int -2147483648", INT32_MIN}, {"f int 2147483647", INT32_MAX}};
  for (const auto& c : cases) EXPECT_EQ(Parse(c.line).arguments.at(0).number, c.raw) << c.line;
}

TEST(ScriptLine, StringsKeepBlanksHashesAndEscapes) {
  const ScriptCall call = Parse(R"(steam_store "ACH # 1" "say \"hi\" \\ there" "")");
  ASSERT_EQ(call.arguments.size(), 3u);
  EXPECT_EQ(call.arguments[0].text, "ACH # 1");
  EXPECT_EQ(call.arguments[1].text, "say \"hi\" \\ there");
  EXPECT_EQ(call.arguments[2].text, "");
}

TEST(ScriptLine, RejectsWhatItCannotPassWithAReason) {
  for (const char* line :
       {"f int", "f int 12x", "f int 0x10", "f int 2147483648", "f int -2147483649", "f var",
        "f var nan", "f var inf", "f var 1e3", "f var 2097152", "f var -2097153", "f \"open",
        "f \"a\"b", "f 5", "f objects", "f int 1 int 2 int 3 int 4 int 5 int 6 int 7 int 8 int 9"}) {
    EXPECT_THROW(ParseScriptLine(line), ScriptError) << line;
  }
}

TEST(Answer, ShowsRawAndVar) {
  EXPECT_EQ(DescribeAnswer(1024), "raw 1024, var 1");
  EXPECT_EQ(DescribeAnswer(1), "raw 1, var 0.0009765625");
  EXPECT_EQ(DescribeAnswer(-307), "raw -307, var -0.2998046875");
  EXPECT_EQ(DescribeAnswer(INT32_MIN), "raw -2147483648, var -2097152");
}

}  // namespace
}  // namespace vorlan
