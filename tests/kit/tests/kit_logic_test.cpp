#include "kit_logic.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <stdexcept>

namespace kit {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(GoldenDifference, SameBytesPassAndAnyOtherByteFails) {
  EXPECT_FALSE(GoldenDifference("expected_output.txt", "a\nb\n", "a\nb\n"));
  // A line end, a missing last line end and a carriage return are all differences.
  EXPECT_TRUE(GoldenDifference("x", "a\nb\n", "a\nb"));
  EXPECT_TRUE(GoldenDifference("x", "a\nb\n", "a\r\nb\n"));
  EXPECT_TRUE(GoldenDifference("x", "", "\n"));
}

TEST(GoldenDifference, NamesTheFirstDifferingLines) {
  const auto account = GoldenDifference("expected_state.txt", "one\ntwo\nthree\n", "one\nTWO\nthree\nfour\n");
  ASSERT_TRUE(account);
  EXPECT_THAT(*account, HasSubstr("expected_state.txt differs"));
  EXPECT_THAT(*account, HasSubstr("line 2:\n    expected: \"two\"\n    got:      \"TWO\""));
  EXPECT_THAT(*account, HasSubstr("line 4:\n    expected: (none)\n    got:      \"four\""));
  EXPECT_THAT(*account, ::testing::Not(HasSubstr("line 1:")));
  EXPECT_THAT(*GoldenDifference("x", "a\nb\n", "a\r\nb"), HasSubstr("their ends differ"));
}

TEST(AsciiFromUtf16Le, TakesAsciiOnly) {
  EXPECT_EQ(AsciiFromUtf16Le(std::string("h\0i\0\n\0", 6)), "hi\n");
  EXPECT_EQ(AsciiFromUtf16Le(""), "");
  EXPECT_FALSE(AsciiFromUtf16Le(std::string("\xe9\0", 2)));  // e-acute
  EXPECT_FALSE(AsciiFromUtf16Le(std::string("a\x01", 2)));   // U+0161
  EXPECT_FALSE(AsciiFromUtf16Le(std::string("a\0b", 3)));    // a byte left over
}

TEST(OutputMatches, DotMatchesLineEndsAndCarriageReturnsDoNotCount) {
  const std::string shown = "Achievements (0):\r\n\r\nLeaderboards (9):\r\n  Vorlan2 (higher is better, 0 entries)\r\n";
  EXPECT_TRUE(OutputMatches("Achievements \\(0\\):.*Leaderboards \\(9\\):.*  Vorlan2 \\(higher is better, 0 entries",
                            shown));
  EXPECT_FALSE(OutputMatches("Achievements \\(1\\)", shown));
  EXPECT_TRUE(OutputMatches("\\(9\\):\n  V", shown));  // the carriage return is gone
  EXPECT_TRUE(OutputMatches("usage", "x usage: storefront show|reset"));
  EXPECT_TRUE(OutputMatches("show window=2..*narrow", "show window=2\nnarrow"));
}

TEST(OutputMatches, BracketsAndAlternativesAreExtendedOnes) {
  EXPECT_TRUE(OutputMatches("^[[:digit:]]+ passed$", "12 passed"));
  EXPECT_FALSE(OutputMatches("^[[:digit:]]+ passed$", "x passed"));
  EXPECT_TRUE(OutputMatches("[.]txt", "a.txt"));
  EXPECT_FALSE(OutputMatches("[.]txt", "a\ntxt"));  // a '.' in brackets is only a dot
  EXPECT_TRUE(OutputMatches("[]x]", "]"));
  EXPECT_TRUE(OutputMatches("a[\\]b", "a\\b"));  // a backslash in brackets is itself
  EXPECT_TRUE(OutputMatches("(cat|dog)s", "dogs"));
  EXPECT_THROW(OutputMatches("(unclosed", "x"), std::regex_error);
}

TEST(KeptFiles, PairsPerLine) {
  EXPECT_THAT(KeptFiles("state.json storefront_state.json.corrupt-1\r\n\n  a   b\n"),
              ElementsAre(std::pair<std::string, std::string>("state.json", "storefront_state.json.corrupt-1"),
                          std::pair<std::string, std::string>("a", "b")));
  EXPECT_THROW(KeptFiles("only-one\n"), std::invalid_argument);
  EXPECT_THROW(KeptFiles("a b c\n"), std::invalid_argument);
}

TEST(TreeDifferences, MissingNewAndChangedEntries) {
  const Tree before{{"notes.txt", "n"}, {"pais.txt", "p"}, {"sub/", ""}};
  EXPECT_TRUE(TreeDifferences(before, before).empty());
  EXPECT_THAT(TreeDifferences(before, Tree{{"notes.txt", "N"}, {"alog.txt", "a"}, {"sub/", ""}}),
              ElementsAre("different: notes.txt", "missing: pais.txt", "new: alog.txt"));
}

TEST(ParseManifest, ReadsTestsAbsentTestsAndTheCommit) {
  const Manifest manifest = ParseManifest(
      "# the kit's tests\n"
      "commit\tabc123\n"
      "test\tgameflow.score_road\tc_1_temp\t300\tgame-flow\t@kit/gameflow/cases/score_road\t@kit/s/steam_api.dll\n"
      "test\tlogic\t-\t60\tgtest\t@kit/tests/logic/logic.exe\t\n"
      "test\tStarter\tdesktop,c_1_temp\t120\tgtest\t@kit/x.exe\t.msabi\n"
      "absent\tRelease.signed.Make\tsigns with osslsigncode\n");
  EXPECT_EQ(manifest.commit, "abc123");
  ASSERT_EQ(manifest.tests.size(), 3u);
  EXPECT_EQ(manifest.tests[0].name, "gameflow.score_road");
  EXPECT_THAT(manifest.tests[0].needs, ElementsAre("c_1_temp"));
  EXPECT_EQ(manifest.tests[0].timeoutSeconds, 300);
  EXPECT_EQ(manifest.tests[0].kind, "game-flow");
  EXPECT_THAT(manifest.tests[0].arguments, ElementsAre("@kit/gameflow/cases/score_road", "@kit/s/steam_api.dll"));
  EXPECT_TRUE(manifest.tests[1].needs.empty());
  EXPECT_THAT(manifest.tests[1].arguments, ElementsAre("@kit/tests/logic/logic.exe", ""));  // no suffix
  EXPECT_THAT(manifest.tests[2].needs, ElementsAre("desktop", "c_1_temp"));
  ASSERT_EQ(manifest.absent.size(), 1u);
  EXPECT_EQ(manifest.absent[0].reason, "signs with osslsigncode");
}

TEST(ParseManifest, RefusesLinesItCannotRead) {
  EXPECT_THROW(ParseManifest("test\tx\t-\tsoon\tgtest\ta.exe\n"), std::invalid_argument);
  EXPECT_THROW(ParseManifest("test\tx\t-\t0\tgtest\ta.exe\n"), std::invalid_argument);
  EXPECT_THROW(ParseManifest("test\tx\t-\n"), std::invalid_argument);
  EXPECT_THROW(ParseManifest("tests\tx\t-\t1\tgtest\n"), std::invalid_argument);
}

TEST(ResolveArgument, PlaceholdersAtTheStartOnly) {
  EXPECT_EQ(ResolveArgument("@kit/files/vorlan.exe", "C:\\k it", "C:\\w", '\\'), "C:\\k it\\files\\vorlan.exe");
  EXPECT_EQ(ResolveArgument("@work/tool_state.json", "C:\\k", "C:\\w", '\\'), "C:\\w\\tool_state.json");
  EXPECT_EQ(ResolveArgument("reset", "C:\\k", "C:\\w", '\\'), "reset");
  EXPECT_EQ(ResolveArgument("x@kit/y", "C:\\k", "C:\\w", '\\'), "x@kit/y");
}

TEST(GtestCases, NamedAsCtestNamesThem) {
  const std::string listed =
      "Running main() from gtest_main.cc\n"
      "Layout.\n"
      "  Fits\r\n"
      "  DISABLED_Later\n"
      "Widths/WidthToggle/0.  # TypeParam = int\n"
      "  Toggles\n"
      "Sounds/StarterSoundFaults.\n"
      "  PlaysOrReports/0  # GetParam() = \"missing\"\n"
      "  PlaysOrReports/1  # GetParam() = 7\n";
  const std::vector<GtestCase> cases = GtestCases(listed, ".msabi");
  ASSERT_EQ(cases.size(), 5u);
  EXPECT_EQ(cases[0].name, "Layout.Fits.msabi");
  EXPECT_EQ(cases[0].filter, "Layout.Fits");
  EXPECT_EQ(cases[1].name, "Layout.Later.msabi");
  EXPECT_EQ(cases[1].filter, "Layout.DISABLED_Later");
  EXPECT_EQ(cases[2].name, "Widths.Toggles<int>.msabi");
  EXPECT_EQ(cases[2].filter, "Widths/WidthToggle/0.Toggles");
  EXPECT_EQ(cases[3].name, "Sounds/StarterSoundFaults.PlaysOrReports/\"missing\".msabi");
  EXPECT_EQ(cases[3].filter, "Sounds/StarterSoundFaults.PlaysOrReports/0");
  EXPECT_EQ(cases[4].name, "Sounds/StarterSoundFaults.PlaysOrReports/7.msabi");
}

TEST(Summary, CountsAndSkipsOnlyWhenThereAreAny) {
  Counts counts;
  EXPECT_EQ(Summary(counts), "0 passed, 0 failed");
  counts.Add(Outcome::kPassed);
  counts.Add(Outcome::kPassed);
  counts.Add(Outcome::kFailed);
  EXPECT_EQ(Summary(counts), "2 passed, 1 failed");
  counts.Add(Outcome::kSkipped);
  EXPECT_EQ(Summary(counts), "2 passed, 1 failed, 1 skipped");
}

TEST(GtestSkipReason, TheTestsOwnWords) {
  EXPECT_FALSE(GtestSkipReason("[ RUN      ] A.B\n[       OK ] A.B (0 ms)\n"));
  EXPECT_EQ(GtestSkipReason("[ RUN      ] A.B\nx.cpp:95: Skipped\r\nthe export writes c:\\1_temp\r\n\r\n"
                            "[  SKIPPED ] A.B (0 ms)\n"),
            "the export writes c:\\1_temp");
  EXPECT_EQ(GtestSkipReason("x.cpp:9: Skipped\n\n[  SKIPPED ] A.B (0 ms)\n"), "the test skipped itself");
}

}  // namespace
}  // namespace kit
