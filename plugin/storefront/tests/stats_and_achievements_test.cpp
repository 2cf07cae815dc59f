// The stats object's notice handlers: what each notice prints and sends to the debugger output.
#include "stats_and_achievements.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "game_id.h"
#include "offline_storefront_session.h"

namespace kelvo::storefront {
namespace {

using ::testing::internal::CaptureStderr;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStderr;
using ::testing::internal::GetCapturedStdout;

constexpr std::uint64_t kOtherGame = 2500;

// Natively the debugger output goes to standard error; under Windows the end-to-end game-flow
// cases watch the real one.
#ifdef _WIN32
constexpr bool kDebuggerOutputOnStandardError = false;
#else
constexpr bool kDebuggerOutputOnStandardError = true;
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
    CaptureStderr();
    stats.OnUserStatsStored(&notice);
    const std::string debugger = GetCapturedStderr();
    if (kDebuggerOutputOnStandardError) {
      EXPECT_EQ(debugger, c.debugger) << "game " << c.gameId << ", result " << c.result;
    }
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
  CaptureStderr();
  SteamAPI_RunCallbacks();
  const std::string printed = GetCapturedStdout();
  EXPECT_NE(printed.find("!!!!!!! - CStatsAndAchievements::OnUserStatsStored() callback.\n"), std::string::npos);
  EXPECT_NE(printed.find("HI!"), std::string::npos);
  EXPECT_NE(printed.find("CStatsAndAchievements::OnUserStatsReceived() callback.\n"), std::string::npos);
  const std::string debugger = GetCapturedStderr();
  if (kDebuggerOutputOnStandardError) {
    EXPECT_NE(debugger.find("StoreStats - success\n"), std::string::npos);
  }
}

}  // namespace
}  // namespace kelvo::storefront
