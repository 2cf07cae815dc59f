// The plug-in's declarations and callback objects against the offline storefront: as a DLL under
// Wine (through the import library), or linked in-process natively. The two sides declare the
// operation tables and records independently, so a wrong position, convention or offset fails here.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "callback_base_fields.h"
#include "storefront_callbacks.h"
#include "support/environment.h"
#include "support/files.h"
#include "support/scratch_folder.h"

namespace {

using test_support::SetVariable;

// Records what the storefront delivers. Lives as long as the process: the library keeps the
// registrations, as the plug-in's own objects are never destroyed either.
class Probe {
 public:
  void OnReceived(UserStatsReceived_t* record) { received.push_back(*record); }
  void OnStored(UserStatsStored_t* record) { stored.push_back(*record); }
  void OnAchievement(UserAchievementStored_t* record) {
    achievements.push_back(record->m_rgchAchievementName);
    maxProgress.push_back(record->m_nMaxProgress);
  }
  void OnFound(LeaderboardFindResult_t* record, bool ioFailure) { found.push_back({*record, ioFailure}); }
  void OnUploaded(LeaderboardScoreUploaded_t* record, bool ioFailure) { uploaded.push_back({*record, ioFailure}); }

  void Clear() {
    received.clear();
    stored.clear();
    achievements.clear();
    maxProgress.clear();
    found.clear();
    uploaded.clear();
  }

  std::vector<UserStatsReceived_t> received;
  std::vector<UserStatsStored_t> stored;
  std::vector<std::string> achievements;
  std::vector<std::uint32_t> maxProgress;
  std::vector<std::pair<LeaderboardFindResult_t, bool>> found;
  std::vector<std::pair<LeaderboardScoreUploaded_t, bool>> uploaded;
};

struct Objects {
  Probe probe;
  CCallback<Probe, UserStatsReceived_t, 0> received{&probe, &Probe::OnReceived};
  CCallback<Probe, UserStatsStored_t, 0> stored{&probe, &Probe::OnStored};
  CCallback<Probe, UserAchievementStored_t, 0> achievement{&probe, &Probe::OnAchievement};
  CCallResult<Probe, LeaderboardFindResult_t> find;
  CCallResult<Probe, LeaderboardScoreUploaded_t> upload;
};

Objects& Registered() {
  static Objects* objects = new Objects;  // never destroyed: stays registered
  return *objects;
}

class StorefrontContract : public ::testing::Test {
 protected:
  // The storefront reads where its state file is once per process.
  static void SetUpTestSuite() { SetVariable("OFFLINE_STOREFRONT_STATE", StatePath().string()); }

  void SetUp() override {
    std::filesystem::remove(StatePath());
    SetVariable("OFFLINE_STOREFRONT_KNOBS", "");
    Registered().probe.Clear();
  }
  void TearDown() override { SteamAPI_Shutdown(); }

  static std::filesystem::path StatePath() { return test_support::ProgramScratchFolder() / "state.json"; }
  void WriteState(const std::string& json) { test_support::WriteFileBytes(StatePath(), json); }

  Objects& objects = Registered();
  Probe& probe = Registered().probe;
};

TEST_F(StorefrontContract, AccessorsAnswerOnlyWhileTheClientRuns) {
  objects.find.Set(0, &probe, &Probe::OnFound);
  EXPECT_EQ(SteamUserStats(), nullptr);
  ASSERT_TRUE(SteamAPI_Init());
  EXPECT_NE(SteamUserStats(), nullptr);
  EXPECT_NE(SteamUser(), nullptr);
  EXPECT_NE(SteamUtils(), nullptr);
  EXPECT_NE(SteamFriends(), nullptr);
  SteamAPI_Shutdown();
  EXPECT_EQ(SteamUserStats(), nullptr);
  EXPECT_EQ(SteamUser(), nullptr);
  EXPECT_EQ(SteamUtils(), nullptr);
  EXPECT_EQ(SteamFriends(), nullptr);
}

TEST_F(StorefrontContract, InitFailsWhenTheKnobSaysTheClientIsNotRunning) {
  SetVariable("OFFLINE_STOREFRONT_KNOBS", R"({"init_fails": true})");
  EXPECT_FALSE(SteamAPI_Init());
  EXPECT_EQ(SteamUserStats(), nullptr);
}

TEST_F(StorefrontContract, PlayerFactsCrossTheTablesAtTheirPositions) {
  WriteState(R"({"player": {"account_id": 2097152, "persona_name": "100% %s%n", "country": "NZ", "app_id": 2500},
                 "knobs": {"seconds_active_offset": 2097152}})");
  ASSERT_TRUE(SteamAPI_Init());
  CSteamID id{0};
  EXPECT_EQ(SteamUser()->GetSteamID(&id), &id);
  EXPECT_EQ(id.GetAccountID(), 2097152u);
  EXPECT_NE(id.m_unAll64Bits >> 32, 0u);
  EXPECT_EQ(SteamUtils()->GetAppID(), 2500u);
  EXPECT_STREQ(SteamUtils()->GetIPCountry(), "NZ");
  EXPECT_STREQ(SteamFriends()->GetPersonaName(), "100% %s%n");
  const std::uint32_t seconds = SteamUtils()->GetSecondsSinceAppActive();
  EXPECT_GE(seconds, 2097152u);
  EXPECT_LT(seconds, 2097152u + 60);
  EXPECT_NE(SteamAPI_GetSteamInstallPath(), nullptr);
}

TEST_F(StorefrontContract, StatsKeepTheirTypeAndValue) {
  ASSERT_TRUE(SteamAPI_Init());
  ISteamUserStats* stats = SteamUserStats();
  EXPECT_TRUE(stats->SetStatFloat("distance", 2.5f));
  EXPECT_TRUE(stats->SetStatInt32("kills", 5120));
  float distance = 0;
  std::int32_t kills = 0;
  EXPECT_TRUE(stats->GetStatFloat("distance", &distance));
  EXPECT_TRUE(stats->GetStatInt32("kills", &kills));
  EXPECT_EQ(distance, 2.5f);
  EXPECT_EQ(kills, 5120);
  distance = -1;
  EXPECT_FALSE(stats->GetStatFloat("kills", &distance));  // an int stat is not read as a float
  EXPECT_FALSE(stats->GetStatFloat("nothing", &distance));
  EXPECT_EQ(distance, -1.0f);
}

TEST_F(StorefrontContract, StoringAnAchievementNotifiesOnlyInsideThePump) {
  ASSERT_TRUE(SteamAPI_Init());
  // The library marked it registered and recorded the id.
  EXPECT_EQ(kelvo::testing::CallbackFlags(objects.stored) & kelvo::testing::kRegisteredFlag,
            kelvo::testing::kRegisteredFlag);
  EXPECT_EQ(kelvo::testing::CallbackNoticeId(objects.stored), 1102);
  ISteamUserStats* stats = SteamUserStats();
  EXPECT_TRUE(stats->SetAchievement("FIRST_WIN"));
  std::uint8_t unlocked = 0;
  EXPECT_TRUE(stats->GetAchievement("FIRST_WIN", &unlocked));
  EXPECT_TRUE(unlocked);
  EXPECT_TRUE(stats->StoreStats());
  EXPECT_TRUE(stats->RequestCurrentStats());
  EXPECT_TRUE(probe.stored.empty());
  SteamAPI_RunCallbacks();
  ASSERT_EQ(probe.stored.size(), 1u);
  EXPECT_EQ(probe.stored[0].m_eResult, k_EResultOK);
  EXPECT_EQ(probe.stored[0].m_nGameID, SteamUtils()->GetAppID());
  EXPECT_THAT(probe.achievements, ::testing::ElementsAre("FIRST_WIN"));
  EXPECT_THAT(probe.maxProgress, ::testing::ElementsAre(0u));
  ASSERT_EQ(probe.received.size(), 1u);
  EXPECT_EQ(probe.received[0].m_eResult, k_EResultOK);

  EXPECT_TRUE(stats->ClearAchievement("FIRST_WIN"));
  EXPECT_TRUE(stats->GetAchievement("FIRST_WIN", &unlocked));
  EXPECT_FALSE(unlocked);
}

TEST_F(StorefrontContract, LeaderboardLookupAndUploadCompleteThroughTheCallResults) {
  ASSERT_TRUE(SteamAPI_Init());
  ISteamUserStats* stats = SteamUserStats();
  const SteamAPICall_t lookup = stats->FindLeaderboard("Level3");
  ASSERT_NE(lookup, 0u);
  objects.find.Set(lookup, &probe, &Probe::OnFound);
  SteamAPI_RunCallbacks();
  ASSERT_EQ(probe.found.size(), 1u);
  EXPECT_FALSE(probe.found[0].second);
  EXPECT_NE(probe.found[0].first.m_bLeaderboardFound, 0);
  const SteamLeaderboard_t board = probe.found[0].first.m_hSteamLeaderboard;
  ASSERT_NE(board, 0u);

  for (std::int32_t score : {1234, 99}) {
    const SteamAPICall_t upload =
        stats->UploadLeaderboardScore(board, k_ELeaderboardUploadScoreMethodKeepBest, score, nullptr, 0);
    ASSERT_NE(upload, 0u);
    objects.upload.Set(upload, &probe, &Probe::OnUploaded);
    SteamAPI_RunCallbacks();
  }
  ASSERT_EQ(probe.uploaded.size(), 2u);
  EXPECT_EQ(probe.uploaded[0].first.m_nScore, 1234);
  EXPECT_EQ(probe.uploaded[0].first.m_hSteamLeaderboard, board);
  EXPECT_EQ(probe.uploaded[0].first.m_bScoreChanged, 1);
  EXPECT_EQ(probe.uploaded[0].first.m_nGlobalRankNew, 1);
  EXPECT_EQ(probe.uploaded[1].first.m_nScore, 99);
  EXPECT_EQ(probe.uploaded[1].first.m_bScoreChanged, 0);  // the better score stays

  const SteamAPICall_t missing = stats->FindLeaderboard("NoSuchBoard");
  objects.find.Set(missing, &probe, &Probe::OnFound);
  SteamAPI_RunCallbacks();
  ASSERT_EQ(probe.found.size(), 2u);
  EXPECT_EQ(probe.found[1].first.m_bLeaderboardFound, 0);
}

TEST_F(StorefrontContract, ReplacedLookupNeverReachesItsObject) {
  ASSERT_TRUE(SteamAPI_Init());
  ISteamUserStats* stats = SteamUserStats();
  objects.find.Set(stats->FindLeaderboard("Level1"), &probe, &Probe::OnFound);
  objects.find.Set(stats->FindLeaderboard("NoSuchBoard"), &probe, &Probe::OnFound);
  SteamAPI_RunCallbacks();
  ASSERT_EQ(probe.found.size(), 1u);
  EXPECT_EQ(probe.found[0].first.m_bLeaderboardFound, 0);
}

}  // namespace
