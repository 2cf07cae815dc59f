// The diagnostic files, written into a scratch folder, and the player facts' answers.
#include "player_information.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "exports.h"
#include "offline_storefront_session.h"
#include "support/files.h"
#ifdef _WIN32
#include "support/diagnostic_folder.h"
#endif

namespace kelvo::storefront {
namespace {

namespace fs = std::filesystem;

using test_support::ReadFileBytes;

// The text-mode line end as it reaches the file on this system.
#ifdef _WIN32
const std::string kLineEnd = "\r\n";
#else
const std::string kLineEnd = "\n";
#endif

class DiagnosticFiles : public kelvo::testing::OfflineStorefrontSession {
 protected:
  void SetUp() override {
    OfflineStorefrontSession::SetUp();
    folder_ = test_support::ProgramScratchFolder() / "1_temp";
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override {
    fs::remove_all(folder_);
    OfflineStorefrontSession::TearDown();
  }
  std::string PathOf(const char* name) const { return (folder_ / name).string(); }

  fs::path folder_;
};

TEST_F(DiagnosticFiles, CountryFileHoldsTheThreeTextsAsTheStorefrontGivesThem) {
  Start(R"({"player": {"country": "NZ", "install_folder": "C:\\Games\\Store",
                       "persona_name": "100% %s%n%%d \"x\" \\"}})");
  const std::string path = PathOf("pais.txt");
  ASSERT_TRUE(WriteCountryFile(path.c_str()));
  ASSERT_TRUE(WriteCountryFile(path.c_str()));  // replaces, never appends
  EXPECT_EQ(ReadFileBytes(path), "NZ" + kLineEnd + "C:\\Games\\Store" + kLineEnd + "100% %s%n%%d \"x\" \\" + kLineEnd);
}

TEST_F(DiagnosticFiles, CountryFileIsLeftAloneWithoutARunningStorefront) {
  const std::string path = PathOf("pais.txt");
  test_support::WriteFileBytes(path, "earlier run");
  EXPECT_FALSE(WriteCountryFile(path.c_str()));
  EXPECT_EQ(ReadFileBytes(path), "earlier run");
}

TEST_F(DiagnosticFiles, NothingIsWrittenWhereTheFolderIsMissing) {
  Start();
  fs::remove_all(folder_);
  EXPECT_FALSE(WriteCountryFile(PathOf("pais.txt").c_str()));
  EXPECT_FALSE(WriteGreetingFile(PathOf("alog.txt").c_str()));
  EXPECT_FALSE(fs::exists(folder_));
}

// A file that cannot be replaced, here a folder in its place, stays as it was, and the text that
// was to replace it is not left beside it.
TEST_F(DiagnosticFiles, AFileThatCannotBeReplacedStaysAndLeavesNothingBeside) {
  Start();
  fs::create_directories(folder_ / "pais.txt" / "kept");
  fs::create_directories(folder_ / "alog.txt");
  EXPECT_FALSE(WriteCountryFile(PathOf("pais.txt").c_str()));
  EXPECT_FALSE(WriteGreetingFile(PathOf("alog.txt").c_str()));
  EXPECT_TRUE(fs::is_directory(folder_ / "pais.txt" / "kept"));
  EXPECT_EQ(test_support::EntryNames(folder_), (std::vector<std::string>{"alog.txt", "pais.txt"}));
}

TEST_F(DiagnosticFiles, GreetingFileHoldsHelloWithoutLineEnd) {
  const std::string path = PathOf("alog.txt");
  test_support::WriteFileBytes(path, "a much longer earlier greeting");
  ASSERT_TRUE(WriteGreetingFile(path.c_str()));
  EXPECT_EQ(ReadFileBytes(path), "HELLO");
}

// say_hello answers the raw 1 when it wrote its greeting, the raw 0 when not. On Windows it
// writes the machine's c:\1_temp, held against other test runs while a player's folder is set
// aside; natively the exports' folder lies in the current folder.
TEST_F(DiagnosticFiles, SayHelloAnswersWhetherItWrote) {
#ifdef _WIN32
  const test_support::DiagnosticFolderHeld held;
  const test_support::DiagnosticFolderSetAside playersFolder("say-hello");
  std::error_code refused;
  fs::create_directory(test_support::kDiagnosticFolder, refused);
  if (refused) GTEST_SKIP() << "needs a writable c:\\1_temp (" << refused.message() << ")";
  const fs::path exportsFolder = test_support::kDiagnosticFolder;
#else
  const fs::path exportsFolder = folder_;
  const fs::path before = fs::current_path();
  fs::current_path(test_support::ProgramScratchFolder().path());
#endif
  EXPECT_EQ(say_hello(), 1);
  EXPECT_EQ(ReadFileBytes(kGreetingFilePath), "HELLO");
  fs::remove_all(exportsFolder);
  EXPECT_EQ(say_hello(), 0);
#ifndef _WIN32
  fs::current_path(before);
#endif
}

class PlayerFacts : public kelvo::testing::OfflineStorefrontSession {};

TEST_F(PlayerFacts, UnsignedFactsFitAVarBelow2097152) {
  struct Case {
    const char* state;
    var user;
    var time;
    var gameId;
  };
  const Case cases[] = {
      {R"({"player": {"account_id": 1000, "app_id": 2500}})", 1024000, 0, 2560000},
      {R"({"player": {"account_id": 2097151}, "knobs": {"seconds_active_offset": 2097152}})", 2147482624,
       INT32_MIN, VarFromUnsigned(GAME_APP_ID)},
      {R"({"player": {"account_id": 4294967295, "app_id": 16777215}})", INT32_MIN, 0, INT32_MIN},
  };
  for (const Case& c : cases) {
    Start(c.state);
    EXPECT_EQ(steam_user(), c.user) << c.state;
    EXPECT_EQ(steam_time(), c.time) << c.state;
    EXPECT_EQ(steam_gameid(), c.gameId) << c.state;
    SteamAPI_Shutdown();
  }
  EXPECT_EQ(steam_user(), 0);  // not running
  EXPECT_EQ(steam_gameid(), 0);
}

}  // namespace
}  // namespace kelvo::storefront
