// The face hands the core its own view of each callback object, so what the library keeps in the
// caller's object (the registered flag, the notice id) and the record-id check on completions must
// still hold as seen from the caller's side.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "storefront_callbacks.h"

namespace {

constexpr std::uint8_t kRegistered = 0x01;

class Probe {
 public:
  void OnFound(LeaderboardFindResult_t*, bool) { ++found; }
  void OnStoredInstead(UserStatsStored_t*, bool) { ++misdelivered; }
  int found = 0;
  int misdelivered = 0;
};

template <class Field>
Field ReadAt(const CCallbackBase& object, std::size_t offset) {
  Field field;
  std::memcpy(&field, reinterpret_cast<const unsigned char*>(&object) + offset, sizeof field);
  return field;
}

std::uint8_t Flags(const CCallbackBase& object) {
  return ReadAt<std::uint8_t>(object, kelvo::layout::kThisBuild.callbackFlags);
}

class CallbackBookkeeping : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // Boards are looked up, never written: the state file is never created.
    _putenv_s("OFFLINE_STOREFRONT_STATE", "callback_bookkeeping_state.json");
  }
  void SetUp() override { ASSERT_TRUE(SteamAPI_Init()); }
  void TearDown() override { SteamAPI_Shutdown(); }

  // Objects stay registered with the library for the life of the process, as the plug-in's do.
  Probe& probe = *new Probe;
  ISteamUserStats* Stats() { return SteamUserStats(); }
};

TEST_F(CallbackBookkeeping, RegisteredFlagFollowsTheArmedCall) {
  auto& lookup = *new CCallResult<Probe, LeaderboardFindResult_t>;
  EXPECT_EQ(Flags(lookup), 0);
  lookup.Set(Stats()->FindLeaderboard("Level1"), &probe, &Probe::OnFound);
  EXPECT_EQ(Flags(lookup) & kRegistered, kRegistered);
  EXPECT_EQ(ReadAt<std::int32_t>(lookup, kelvo::layout::kThisBuild.callbackNoticeId),
            LeaderboardFindResult_t::k_iCallback);  // left as the object set it

  SteamAPI_RunCallbacks();
  EXPECT_EQ(probe.found, 1);
  EXPECT_EQ(Flags(lookup) & kRegistered, 0);  // released once completed

  lookup.Set(Stats()->FindLeaderboard("Level2"), &probe, &Probe::OnFound);
  EXPECT_EQ(Flags(lookup) & kRegistered, kRegistered);
  lookup.Set(0, &probe, &Probe::OnFound);  // dropped before it completed
  EXPECT_EQ(Flags(lookup) & kRegistered, 0);
  SteamAPI_RunCallbacks();
  EXPECT_EQ(probe.found, 1);
}

TEST_F(CallbackBookkeeping, CompletionReachesOnlyAnObjectForItsRecord) {
  // Same record size as a lookup's completion, another record id: a caller that armed the wrong
  // object must not have the lookup's record read as its own.
  auto& wrong = *new CCallResult<Probe, UserStatsStored_t>;
  static_assert(sizeof(UserStatsStored_t) == sizeof(LeaderboardFindResult_t));
  wrong.Set(Stats()->FindLeaderboard("Level1"), &probe, &Probe::OnStoredInstead);
  SteamAPI_RunCallbacks();
  EXPECT_EQ(probe.misdelivered, 0);
}

}  // namespace
