// The leaderboards object's current board through lookups and uploads, against the offline
// storefront.
#include "steam_leaderboards.h"

#include <gtest/gtest.h>

#include "offline_storefront_session.h"

namespace kelvo::storefront {
namespace {

class Leaderboards : public kelvo::testing::OfflineStorefrontSession {
 protected:
  CSteamLeaderboards& boards = kelvo::testing::KeptForever(new CSteamLeaderboards);
};

TEST_F(Leaderboards, ABoardOpensOnlyWhenItsLookupCompletes) {
  Start();
  boards.OpenLeaderboard("Level3");
  EXPECT_EQ(boards.CurrentLeaderboard(), 0u);
  EXPECT_FALSE(boards.SubmitScore(10));
  SteamAPI_RunCallbacks();
  EXPECT_NE(boards.CurrentLeaderboard(), 0u);
  EXPECT_TRUE(boards.SubmitScore(10));
}

TEST_F(Leaderboards, OpeningAnotherBoardDropsTheOpenOneAtOnce) {
  Start();
  boards.OpenLeaderboard("Level3");
  SteamAPI_RunCallbacks();
  const SteamLeaderboard_t level3 = boards.CurrentLeaderboard();
  ASSERT_NE(level3, 0u);
  boards.OpenLeaderboard(kMainLeaderboard);
  EXPECT_EQ(boards.CurrentLeaderboard(), 0u);
  EXPECT_FALSE(boards.SubmitScore(10));
  SteamAPI_RunCallbacks();
  EXPECT_NE(boards.CurrentLeaderboard(), 0u);
  EXPECT_NE(boards.CurrentLeaderboard(), level3);
}

TEST_F(Leaderboards, ANewLookupDropsThePendingOne) {
  test_support::SetVariable("OFFLINE_STOREFRONT_KNOBS", R"({"lookup_pumps": 2})");
  Start();
  boards.OpenLeaderboard("Level3");
  boards.OpenLeaderboard("NoSuchBoard");
  SteamAPI_RunCallbacks();
  SteamAPI_RunCallbacks();
  EXPECT_EQ(boards.CurrentLeaderboard(), 0u) << "the dropped lookup of Level3 was delivered";
}

TEST_F(Leaderboards, AFailedLookupLeavesNoBoard) {
  struct Case {
    const char* knobs;
    const char* board;
  };
  const Case cases[] = {
      {R"({"io_failure": false})", "NoSuchBoard"},  // not found
      {R"({"io_failure": true})", "Level3"},        // found, but the call failed
  };
  for (const Case& c : cases) {
    test_support::SetVariable("OFFLINE_STOREFRONT_KNOBS", c.knobs);
    Start();
    boards.OpenLeaderboard(c.board);
    SteamAPI_RunCallbacks();
    EXPECT_EQ(boards.CurrentLeaderboard(), 0u) << c.knobs;
    EXPECT_FALSE(boards.SubmitScore(10)) << c.knobs;
    SteamAPI_Shutdown();
  }
}

TEST_F(Leaderboards, NothingIsSentWithoutARunningStorefront) {
  Start();
  boards.OpenLeaderboard("Level3");
  SteamAPI_RunCallbacks();
  ASSERT_NE(boards.CurrentLeaderboard(), 0u);
  SteamAPI_Shutdown();
  EXPECT_FALSE(boards.SubmitScore(10));
  boards.OpenLeaderboard("Level3");
  EXPECT_EQ(boards.CurrentLeaderboard(), 0u);
}

TEST(LevelLeaderboard, NamesTheEightLevelBoardsOnly) {
  EXPECT_STREQ(LevelLeaderboard(1), "Level1");
  EXPECT_STREQ(LevelLeaderboard(8), "Level8");
  for (std::int32_t level : {0, 9, -1, INT32_MIN, INT32_MAX}) EXPECT_EQ(LevelLeaderboard(level), nullptr) << level;
}

}  // namespace
}  // namespace kelvo::storefront
