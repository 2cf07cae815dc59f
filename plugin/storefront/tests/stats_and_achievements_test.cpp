// The stats object's notice handlers: what each notice prints and sends to the debugger output.
#include "stats_and_achievements.h"

#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "game_id.h"
#include "offline_storefront_session.h"

namespace kelvo::storefront {
namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

constexpr std::uint64_t kOtherGame = 2500;

#ifdef _WIN32
#ifndef DBG_PRINTEXCEPTION_WIDE_C
#define DBG_PRINTEXCEPTION_WIDE_C 0x4001000AL
#endif

// What reached the debugger output while a DebuggerOutput lives, in each form the system raised.
std::wstring* g_wideDebuggerText = nullptr;  // global: an exception handler takes no context
std::string* g_narrowDebuggerText = nullptr;  // global

// The system hands a debugger each text as an exception that the sending call catches itself
// when no debugger is attached; a first-chance handler sees it all the same.
LONG CALLBACK RecordDebuggerText(EXCEPTION_POINTERS* exception) {
  const EXCEPTION_RECORD& record = *exception->ExceptionRecord;
  if (record.NumberParameters < 2 || !g_wideDebuggerText) return EXCEPTION_CONTINUE_SEARCH;
  const std::size_t length = record.ExceptionInformation[0];  // counts the terminating NUL
  if (record.ExceptionCode == DBG_PRINTEXCEPTION_WIDE_C) {
    const auto* text = reinterpret_cast<const wchar_t*>(record.ExceptionInformation[1]);
    g_wideDebuggerText->append(text, wcsnlen(text, length));
  } else if (record.ExceptionCode == DBG_PRINTEXCEPTION_C) {
    const auto* text = reinterpret_cast<const char*>(record.ExceptionInformation[1]);
    g_narrowDebuggerText->append(text, strnlen(text, length));
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

// Records the debugger output of this process while it lives.
class DebuggerOutput {
 public:
  DebuggerOutput() : handler_(AddVectoredExceptionHandler(1, RecordDebuggerText)) {
    g_wideDebuggerText = &wide_;
    g_narrowDebuggerText = &narrow_;
  }
  ~DebuggerOutput() {
    RemoveVectoredExceptionHandler(handler_);
    g_wideDebuggerText = nullptr;
    g_narrowDebuggerText = nullptr;
  }
  // A system may pass a wide text on in 8-bit form as well: the wide form, where there is one.
  std::string Text() const {
    if (wide_.empty()) return narrow_;
    std::string text;
    for (wchar_t c : wide_) text += c < 0x80 ? static_cast<char>(c) : '?';
    return text;
  }

 private:
  void* handler_;
  std::wstring wide_;
  std::string narrow_;
};
#else
// Natively the plug-in sends its debugger output to standard error.
class DebuggerOutput {
 public:
  DebuggerOutput() { ::testing::internal::CaptureStderr(); }
  ~DebuggerOutput() { Text(); }
  std::string Text() {
    if (!captured_) text_ = ::testing::internal::GetCapturedStderr();
    captured_ = true;
    return text_;
  }

 private:
  bool captured_ = false;
  std::string text_;
};
#endif

class StatsObject : public kelvo::testing::OfflineStorefrontSession {
 protected:
  CStatsAndAchievements& Made() {
    CaptureStdout();
    CStatsAndAchievements& made = kelvo::testing::KeptForever(new CStatsAndAchievements);
    construction_ = GetCapturedStdout();
    return made;
  }
  std::string construction_;
};

TEST_F(StatsObject, PrintsItsConstructionLineWithTheValidFlag) {
  const CStatsAndAchievements& made = Made();
  EXPECT_EQ(construction_, "CStatsAndAchievements::CStatsAndAchievements() constructed; m_bStatsValid2=>0\n");
  EXPECT_EQ(made.StatsValid(), 0);
}

TEST_F(StatsObject, ReportsOnlyASuccessfulStoreOfThisGameToTheDebugger) {
  struct Case {
    std::uint64_t gameId;
    std::int32_t result;
    const char* debugger;
  };
  const Case cases[] = {
      {kGameId, k_EResultOK, "StoreStats - success\n"},
      {kOtherGame, k_EResultOK, ""},
      {kGameId, 2, ""},
      {kGameId | (std::uint64_t{1} << 32), k_EResultOK, ""},  // the whole 64-bit id must match
  };
  CStatsAndAchievements& stats = Made();
  for (const Case& c : cases) {
    UserStatsStored_t notice{c.gameId, c.result};
    CaptureStdout();
    DebuggerOutput debugger;
    stats.OnUserStatsStored(&notice);
    EXPECT_EQ(debugger.Text(), c.debugger) << "game " << c.gameId << ", result " << c.result;
    EXPECT_EQ(GetCapturedStdout(), "!!!!!!! - CStatsAndAchievements::OnUserStatsStored() callback.\n");
  }
}

TEST_F(StatsObject, GreetsOnlyAnUnlockOfThisGame) {
  struct Case {
    std::uint64_t gameId;
    std::uint32_t maxProgress;
    const char* printed;
  };
  const Case cases[] = {
      {kGameId, 0, "HI!"},
      {kGameId, 10, ""},  // progress towards an achievement
      {kOtherGame, 0, ""},
  };
  CStatsAndAchievements& stats = Made();
  for (const Case& c : cases) {
    UserAchievementStored_t notice{};
    notice.m_nGameID = c.gameId;
    std::strcpy(notice.m_rgchAchievementName, "ACH_WIN_ONE_GAME");
    notice.m_nCurProgress = 3;
    notice.m_nMaxProgress = c.maxProgress;
    CaptureStdout();
    stats.OnUserAchievementStored(&notice);
    EXPECT_EQ(GetCapturedStdout(), c.printed) << "game " << c.gameId << ", maximum " << c.maxProgress;
  }
}

TEST_F(StatsObject, ReportsEveryArrivalOfTheStats) {
  CStatsAndAchievements& stats = Made();
  UserStatsReceived_t notice{kOtherGame, 2, CSteamID{0}};
  CaptureStdout();
  stats.OnUserStatsReceived(&notice);
  EXPECT_EQ(GetCapturedStdout(), "CStatsAndAchievements::OnUserStatsReceived() callback.\n");
}

// Through the storefront: the object's three callbacks are registered for their notices.
TEST_F(StatsObject, HearsTheStorefrontsNoticesInsideThePump) {
  Made();
  Start(R"({"achievements": {"ACH_WIN_ONE_GAME": false}})");
  ISteamUserStats* userStats = SteamUserStats();
  userStats->SetAchievement("ACH_WIN_ONE_GAME");
  userStats->StoreStats();
  userStats->RequestCurrentStats();
  CaptureStdout();
  DebuggerOutput debugger;
  SteamAPI_RunCallbacks();
  const std::string printed = GetCapturedStdout();
  EXPECT_NE(printed.find("!!!!!!! - CStatsAndAchievements::OnUserStatsStored() callback.\n"), std::string::npos);
  EXPECT_NE(printed.find("HI!"), std::string::npos);
  EXPECT_NE(printed.find("CStatsAndAchievements::OnUserStatsReceived() callback.\n"), std::string::npos);
  EXPECT_NE(debugger.Text().find("StoreStats - success\n"), std::string::npos);
}

}  // namespace
}  // namespace kelvo::storefront
