// The face hands the core its own view of each callback object, so what the library keeps in the
// caller's object (the registered flag, the notice id) and the record-id check on completions must
// still hold as seen from the caller's side.
#include <gtest/gtest.h>

#include "callback_base_fields.h"
#include "storefront_callbacks.h"
#include "support/environment.h"

namespace {

using kelvo::testing::CallbackFlags;
using kelvo::testing::CallbackNoticeId;
using kelvo::testing::kRegisteredFlag;

class Probe {
 public:
  void OnFound(LeaderboardFindResult_t*, bool) { ++found; }
  void OnStoredInstead(UserStatsStored_t*, bool) { ++misdelivered; }
  int found = 0;
  int misdelivered = 0;
};

class CallbackBookkeeping : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Boards are looked up, never written: the state file is never created.
    test_support::SetVariable("OFFLINE_STOREFRONT_STATE", "callback_bookkeeping_state.json");
  }
  void SetUp() override { ASSERT_TRUE(SteamAPI_Init()); }
  void TearDown() override { SteamAPI_Shutdown(); }

  // Objects stay registered with the library for the life of the process, as the plug-in's do.
  Probe& probe = *new Probe;
  ISteamUserStats* Stats() { return SteamUserStats(); }
};

TEST_F(CallbackBookkeeping, RegisteredFlagFollowsTheArmedCall) {
  auto& lookup = *new CCallResult<Probe, LeaderboardFindResult_t>;
  EXPECT_EQ(CallbackFlags(lookup), 0);
  lookup.Set(Stats()->FindLeaderboard("Level1"), &probe, &Probe::OnFound);
  EXPECT_EQ(CallbackFlags(lookup) & kRegisteredFlag, kRegisteredFlag);
  EXPECT_EQ(CallbackNoticeId(lookup), LeaderboardFindResult_t::k_iCallback);  // left as the object set it

  SteamAPI_RunCallbacks();
  EXPECT_EQ(probe.found, 1);
  EXPECT_EQ(CallbackFlags(lookup) & kRegisteredFlag, 0);  // released once completed

  lookup.Set(Stats()->FindLeaderboard("Level2"), &probe, &Probe::OnFound);
  EXPECT_EQ(CallbackFlags(lookup) & kRegisteredFlag, kRegisteredFlag);
  lookup.Set(0, &probe, &Probe::OnFound);  // dropped before it completed
  EXPECT_EQ(CallbackFlags(lookup) & kRegisteredFlag, 0);
  SteamAPI_RunCallbacks();
  EXPECT_EQ(probe.found, 1);
}

TEST_F(CallbackBookkeeping, CompletionReachesOnlyAnObjectForItsRecord) {
  // Same record size as a lookup's completion, another record id: a caller that armed the wrong
  // object must not have the lookup's record read as its own.
  // A rightly armed lookup completes in the same pump, so the pump did deliver.
  auto& wrong = *new CCallResult<Probe, UserStatsStored_t>;
  auto& right = *new CCallResult<Probe, LeaderboardFindResult_t>;
  static_assert(sizeof(UserStatsStored_t) == sizeof(LeaderboardFindResult_t));
  wrong.Set(Stats()->FindLeaderboard("Level1"), &probe, &Probe::OnStoredInstead);
  right.Set(Stats()->FindLeaderboard("Level2"), &probe, &Probe::OnFound);
  SteamAPI_RunCallbacks();
  EXPECT_EQ(probe.found, 1);
  EXPECT_EQ(probe.misdelivered, 0);
  EXPECT_EQ(CallbackFlags(wrong) & kRegisteredFlag, 0) << "its call completed, undelivered";
}

}  // namespace
