#include "config_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fake_options.h"
#include "support/files.h"
#include "support/scratch_folder.h"

namespace launcher {
namespace {

using std::string_literals::operator""s;

struct NumericCase {
  std::string text;
  double expected;
};

TEST(NumericValue, ReadsTheNumberTheTextBeginsWith) {
  const NumericCase cases[] = {
      {"1", 1},       {"1.0", 1},   {"01", 1},     {"1x", 1},       {"x1", 0},       {"", 0},
      {"2.5", 2.5},   {"-1", -1},   {"+3", 3},     {"+.5", 0.5},    {"7.", 7},       {".", 0},
      {"-", 0},       {"1e3", 1000}, {"1E-1", 0.1}, {"1e", 1},       {"2e+", 2},      {"1.5e1x", 15},
      {"1\r\n", 1},   {"\r\n1", 0}, {"\t1", 0},    {"0x10", 0},     {"inf", 0},      {"nan", 0},
      {"1,5", 1},     {"--1", 0},   {"12.34.5", 12.34}};
  for (const NumericCase& c : cases) EXPECT_EQ(NumericValue(c.text), c.expected) << "text: " << c.text;
  EXPECT_TRUE(std::isinf(*NumericValue("1e400")));
  // A number longer than any real file holds is read whole all the same.
  EXPECT_EQ(NumericValue("1" + std::string(100, '0') + "e-100x"), 1.0);
}

TEST(NumberText, HasABlankOrAMinusBeforeTheDigits) {
  EXPECT_EQ(NumberText(0), " 0");
  EXPECT_EQ(NumberText(49), " 49");
  EXPECT_EQ(NumberText(255), " 255");
  EXPECT_EQ(NumberText(-1), "-1");
  EXPECT_EQ(NumberText(100000), " 100000");
}

TEST(RoundToInt16, SendsHalvesToEvenAndRefusesOutOfRange) {
  const std::pair<double, int> rounded[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},   {3.5, 4},        {-0.5, 0},
                                            {-1.5, -2}, {2.4, 2},   {2.6, 3},   {32767.4, 32767}, {-32768.5, -32768},
                                            {-1, -1},   {11, 11}};
  for (const auto& [value, expected] : rounded) {
    ASSERT_TRUE(RoundToInt16(value).has_value()) << value;
    EXPECT_EQ(*RoundToInt16(value), expected) << value;
  }
  for (double value : {32767.5, 32768.0, -32768.6, -40000.0, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()})
    EXPECT_FALSE(RoundToInt16(value).has_value()) << value;
}

// Options after the start-up selection of entry 1, as Load Config finds them.
class LoadConfigTest : public ::testing::Test {
 protected:
  LoadConfigTest() { options.SetResolutionIndex(1); }

  void Load(const std::string& bytes) {
    test_support::WriteFileBytes(folder / kLoadFileName, bytes);
    LoadConfig(options, folder.str());
  }

  test_support::ScratchFolder folder;
  FakeOptions options;
};

TEST_F(LoadConfigTest, MissingFileTakesTheFailurePath) {
  LoadConfig(options, folder.str());
  EXPECT_EQ(options.trace, "No FILE!xconfig.dat");
  EXPECT_EQ(options.index, 1);
  EXPECT_EQ(options.toggles, (std::array<int, 6>{0, 1, 0, 1, 1, 1}));
}

TEST_F(LoadConfigTest, EmptyFileChangesNothingAndEmptiesTheTrace) {
  Load("");
  EXPECT_EQ(options.trace, "");
  EXPECT_EQ(options.index, 1);
  EXPECT_EQ(options.toggles, (std::array<int, 6>{0, 1, 0, 1, 1, 1}));
}

TEST_F(LoadConfigTest, TraceShowsEveryByteAndEveryCompleteValue) {
  Load("1 ");
  EXPECT_EQ(options.trace, "1( 49) ( 32)Opcao =  1:1\r\n");
  Load("1 x");
  EXPECT_EQ(options.trace, "1( 49) ( 32)Opcao =  1:1\r\nx( 120)");
  Load("  ");
  EXPECT_EQ(options.trace, " ( 32)Opcao =  1:\r\n ( 32)Opcao =  2:\r\n");
}

TEST_F(LoadConfigTest, TenValuesSetTheTogglesAndTheResolution) {
  Load("1 0 1 1 1 0 0 0 1 4 ");
  EXPECT_EQ(options.toggles, (std::array<int, 6>{1, 1, 0, 1, 1, 1}));
  EXPECT_EQ(options.index, 4);
  EXPECT_EQ(Module1::g_settingsChanged, 1);
}

TEST_F(LoadConfigTest, UnterminatedLastValueIsIgnored) {
  Load("0 1 0 0 0 0 0 0 1 4");
  EXPECT_EQ(options.toggles, (std::array<int, 6>{1, 0, 1, 0, 0, 0}));
  EXPECT_EQ(options.index, 1);
}

TEST_F(LoadConfigTest, FiveValuesLeaveCheck1AndTheResolution) {
  Load("0 1 0 0 0 ");
  EXPECT_EQ(options.toggles, (std::array<int, 6>{0, 0, 1, 0, 0, 0}));
  EXPECT_EQ(options.index, 1);
}

TEST_F(LoadConfigTest, ResolutionRule) {
  const std::pair<const char*, int> cases[] = {
      {"1 0 1 1 1 0 0 0 1  ", 0},    // an empty value is 0
      {"1 0 1 1 1 0 0 0 1 -1 ", -1}, // no entry selected
      {"1 0 1 1 1 0 0 0 1 2.5 ", 2},
      {"1 0 1 1 1 0 0 0 1 3.5 ", 4},
      {"1 0 1 1 1 0 0 0 1 11 ", 11},
      {"1 0 1 1 1 0 0 0 1 -1.5 ", 1}, // rounds to -2: refused, selection kept
      {"1 0 1 1 1 0 0 0 1 11.5 ", 1}, // rounds to 12
  };
  for (const auto& [bytes, expected] : cases) {
    options.index = 1;
    Load(bytes);
    EXPECT_EQ(options.index, expected) << bytes;
  }
}

// A check box or list that cannot be set, or a trace the box has no room for, fails the load as a
// file that cannot be read does: what was set before stays, the rest is not read.
TEST_F(LoadConfigTest, AControlThatCannotBeSetOrATraceThatCannotBeKeptTakesTheFailurePath) {
  options.unreachable = Toggle::Check4;
  Load("0 1 0 0 0 0 0 0 1 4 ");
  EXPECT_EQ(options.trace, "No FILE!xconfig.dat");
  EXPECT_EQ(options.toggles, (std::array<int, 6>{0, 0, 1, 1, 1, 1}));
  EXPECT_EQ(options.index, 1);

  options.unreachable.reset();
  options.listUnreachable = true;
  Load("0 1 0 0 0 0 0 0 1 4 ");
  EXPECT_EQ(options.trace, "No FILE!xconfig.dat");
  EXPECT_EQ(options.toggles, (std::array<int, 6>{1, 0, 1, 0, 0, 0}));

  options.listUnreachable = false;
  options.trace = "Text2";
  options.traceRoom = 30;
  Load("1 1 1 1 1 ");
  EXPECT_EQ(options.trace, "No FILE!xconfig.dat");
  EXPECT_EQ(options.toggles, (std::array<int, 6>{1, 1, 1, 1, 1, 1})) << "applied before the trace was refused";
}

TEST_F(LoadConfigTest, ValueTenOutOfTheListKeepsEarlierChanges) {
  for (const char* bad : {"12", "-2", "32768", "1e9", "-40000"}) {
    options.toggles = {0, 1, 0, 1, 1, 1};
    options.index = 1;
    Load("0 1 0 0 0 7 7 7 1 "s + bad + " 1 ");
    EXPECT_EQ(options.trace, "No FILE!xconfig.dat") << bad;
    EXPECT_EQ(options.toggles, (std::array<int, 6>{1, 0, 1, 0, 0, 0})) << bad;
    EXPECT_EQ(options.index, 1) << bad;
  }
}

TEST_F(LoadConfigTest, LineEndsBelongToTheFollowingValue) {
  // Written as lines, every value after the first starts with CR LF and reads as 0.
  Load("1 \r\n1 \r\n1 \r\n0 \r\n1 \r\n");
  EXPECT_EQ(options.toggles, (std::array<int, 6>{0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(options.trace.substr(0, 41), "1( 49) ( 32)Opcao =  1:1\r\n\r( 13)\n( 10)1( ");
  EXPECT_NE(options.trace.find("Opcao =  2:\r\n1\r\n"), std::string::npos);
}

TEST_F(LoadConfigTest, EveryByteValueIsTracedRaw) {
  std::string bytes;
  for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
  Load(bytes);
  std::string expected;
  for (int i = 0; i < 256; ++i) {
    expected += static_cast<char>(i);
    expected += "(" + NumberText(i) + ")";
    if (i == 32) expected += "Opcao =  1:" + bytes.substr(0, 32) + "\r\n";
  }
  EXPECT_EQ(options.trace, expected);
  EXPECT_EQ(options.toggles[1], 0);  // value 1 holds bytes 0 to 31: not a number
}

// Large files are read in pieces: values that straddle two pieces, and value numbers that gain
// a digit, reach the trace as in a small file; so do a trace and a value that outgrow the blocks
// the C runtime serves and continue in blocks of pages of their own.
TEST_F(LoadConfigTest, LargeFileTracesEveryValueWhole) {
  constexpr int kShortValues = 100000;  // "11 " each: pieces of the file end inside values
  const std::string longValue(3 << 20, 'x');
  std::string bytes;
  for (int i = 0; i < kShortValues; ++i) bytes += "11 ";
  Load(bytes + longValue + " 1 ");

  const std::string shortValuePieces = "1( 49)1( 49) ( 32)";
  std::string expected;
  for (int number = 1; number <= kShortValues; ++number)
    expected += shortValuePieces + "Opcao = " + NumberText(number) + ":11\r\n";
  for (std::size_t i = 0; i < longValue.size(); ++i) expected += "x( 120)";
  expected += " ( 32)Opcao =  100001:" + longValue + "\r\n";
  expected += "1( 49) ( 32)Opcao =  100002:1\r\n";
  EXPECT_TRUE(options.trace == expected) << "trace of " << options.trace.size() << " bytes differs";
  EXPECT_EQ(options.index, 11);
}

TEST_F(LoadConfigTest, AFolderInPlaceOfTheFileTakesTheFailurePath) {
  std::filesystem::create_directory(folder / kLoadFileName);
  LoadConfig(options, folder.str());
  EXPECT_EQ(options.trace, "No FILE!xconfig.dat");
}

TEST(SaveConfig, WritesTheFiveTogglesAsTenItems) {
  test_support::ScratchFolder folder;
  FakeOptions options;
  options.toggles = {1, 1, 1, 1, 1, 1};
  SaveConfig(options, folder.str());
  EXPECT_EQ(test_support::ReadFileBytes(folder / kSaveFileName), "1\r\n\" \"\r\n1\r\n\" \"\r\n1\r\n\" \"\r\n1\r\n\" \"\r\n1\r\n\" \"\r\n");

  options.toggles = {1, 0, 1, 0, 1, 0};  // Check1 is not saved
  SaveConfig(options, folder.str());
  EXPECT_EQ(test_support::ReadFileBytes(folder / kSaveFileName), "0\r\n\" \"\r\n1\r\n\" \"\r\n0\r\n\" \"\r\n1\r\n\" \"\r\n0\r\n\" \"\r\n");
  EXPECT_EQ(Module1::g_settingsChanged, 0);
}

TEST(SaveConfig, AToggleThatCannotBeReadLeavesTheEarlierFile) {
  test_support::ScratchFolder folder;
  test_support::WriteFileBytes(folder / kSaveFileName, "earlier");
  FakeOptions options;
  options.unreachable = Toggle::Check5;
  SaveConfig(options, folder.str());
  EXPECT_EQ(test_support::ReadFileBytes(folder / kSaveFileName), "earlier");
}

TEST(SaveConfig, FailureIsSilentAndLeavesNoTemporaryFile) {
  test_support::ScratchFolder folder;
  FakeOptions options;
  // A non-empty folder where the file should be: the replace cannot succeed.
  std::filesystem::create_directories(folder / kSaveFileName / "inside");
  SaveConfig(options, folder.str());
  EXPECT_TRUE(std::filesystem::is_directory(folder / kSaveFileName));
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.str())) entries += entry.exists();
  EXPECT_EQ(entries, 1);

  SaveConfig(options, (folder / "missing").string());
  EXPECT_FALSE(std::filesystem::exists(folder / "missing"));
}

}  // namespace
}  // namespace launcher
