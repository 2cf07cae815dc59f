// The callback objects against a recording stand-in for the library's registration functions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "callback_base_fields.h"
#include "storefront_callbacks.h"

namespace {

struct Registration {
  std::string what;  // "callback", "register", "unregister"
  const CCallbackBase* object;
  std::uint64_t value;
  bool operator==(const Registration& other) const {
    return what == other.what && object == other.object && value == other.value;
  }
};
std::vector<Registration> g_registrations;  // global: what the objects asked of the library

}  // namespace

extern "C" {
void SteamAPI_RegisterCallback(CCallbackBase* callback, int noticeId) {
  g_registrations.push_back({"callback", callback, static_cast<std::uint64_t>(noticeId)});
}
void SteamAPI_RegisterCallResult(CCallbackBase* callback, SteamAPICall_t call) {
  g_registrations.push_back({"register", callback, call});
}
void SteamAPI_UnregisterCallResult(CCallbackBase* callback, SteamAPICall_t call) {
  g_registrations.push_back({"unregister", callback, call});
}
}

namespace {

constexpr SteamAPICall_t kFirstCall = 0x0000000700000001ull;
constexpr SteamAPICall_t kSecondCall = 0x0000000800000001ull;  // same low half as the first

class Owner {
 public:
  void OnStored(UserStatsStored_t* record) { notices.push_back(record); }
  void OnFound(LeaderboardFindResult_t* record, bool ioFailure) {
    completions.push_back({record, ioFailure});
    if (rearmWith != 0) found->Set(rearmWith, this, &Owner::OnFound);
  }

  std::vector<UserStatsStored_t*> notices;
  std::vector<std::pair<LeaderboardFindResult_t*, bool>> completions;
  CCallResult<Owner, LeaderboardFindResult_t>* found = nullptr;
  SteamAPICall_t rearmWith = 0;
};

using kelvo::testing::CallbackFlags;
using kelvo::testing::CallbackNoticeId;

class CallbackObjects : public ::testing::Test {
 protected:
  void SetUp() override { g_registrations.clear(); }
  Owner owner;
};

TEST_F(CallbackObjects, CallbackRegistersItsNoticeIdAtConstructionAndKeepsItsIdFieldZero) {
  CCallback<Owner, UserStatsStored_t, 0> stored(&owner, &Owner::OnStored);
  EXPECT_THAT(g_registrations, ::testing::ElementsAre(Registration{"callback", &stored, 1102}));
  EXPECT_EQ(CallbackFlags(stored), 0);
  EXPECT_EQ(CallbackNoticeId(stored), 0);

  CCallback<Owner, UserStatsStored_t, 0> withoutOwner(nullptr, &Owner::OnStored);
  CCallback<Owner, UserStatsStored_t, 0> withoutHandler(&owner, nullptr);
  EXPECT_EQ(g_registrations.size(), 1u);
}

TEST_F(CallbackObjects, CallbackForwardsBothRunFormsToItsHandler) {
  CCallback<Owner, UserStatsStored_t, 0> stored(&owner, &Owner::OnStored);
  CCallbackBase& asLibrarySeesIt = stored;
  UserStatsStored_t first{}, second{};
  asLibrarySeesIt.Run(&first);
  asLibrarySeesIt.Run(&second, true, kFirstCall);
  EXPECT_THAT(owner.notices, ::testing::ElementsAre(&first, &second));
}

TEST_F(CallbackObjects, CallResultStartsIdleWithItsRecordIdAndRegistersNothing) {
  CCallResult<Owner, LeaderboardFindResult_t> found;
  EXPECT_EQ(CallbackNoticeId(found), 1104);
  EXPECT_EQ(CallbackFlags(found), 0);
  found.Set(0, &owner, &Owner::OnFound);
  EXPECT_TRUE(g_registrations.empty());
}

TEST_F(CallbackObjects, SetUnregistersTheOldCallBeforeRegisteringTheNewOne) {
  CCallResult<Owner, LeaderboardFindResult_t> found;
  found.Set(kFirstCall, &owner, &Owner::OnFound);
  found.Set(kSecondCall, &owner, &Owner::OnFound);
  found.Set(0, &owner, &Owner::OnFound);
  EXPECT_THAT(g_registrations, ::testing::ElementsAre(Registration{"register", &found, kFirstCall},
                                                      Registration{"unregister", &found, kFirstCall},
                                                      Registration{"register", &found, kSecondCall},
                                                      Registration{"unregister", &found, kSecondCall}));
}

TEST_F(CallbackObjects, CompletionOfTheArmedCallDisarmsAndPassesTheIoFailureFlag) {
  CCallResult<Owner, LeaderboardFindResult_t> found;
  CCallbackBase& asLibrarySeesIt = found;
  LeaderboardFindResult_t record{};
  found.Set(kFirstCall, &owner, &Owner::OnFound);
  asLibrarySeesIt.Run(&record, true, kFirstCall);
  asLibrarySeesIt.Run(&record, false, kFirstCall);  // the same call again: already idle
  ASSERT_EQ(owner.completions.size(), 1u);
  EXPECT_EQ(owner.completions[0], std::make_pair(&record, true));
  found.Set(kSecondCall, &owner, &Owner::OnFound);  // idle: nothing to unregister
  EXPECT_EQ(g_registrations.back(), (Registration{"register", &found, kSecondCall}));
  EXPECT_EQ(g_registrations.size(), 2u);
}

TEST_F(CallbackObjects, CompletionOfAnotherCallIsIgnoredAndLeavesTheObjectArmed) {
  CCallResult<Owner, LeaderboardFindResult_t> found;
  CCallbackBase& asLibrarySeesIt = found;
  LeaderboardFindResult_t record{};
  found.Set(kSecondCall, &owner, &Owner::OnFound);
  asLibrarySeesIt.Run(&record, false, kSecondCall & 0xFFFFFFFFu);  // differs only in the high half
  asLibrarySeesIt.Run(&record, false, kFirstCall);
  EXPECT_TRUE(owner.completions.empty());
  asLibrarySeesIt.Run(&record, false, kSecondCall);
  EXPECT_EQ(owner.completions.size(), 1u);
}

TEST_F(CallbackObjects, HandlerMayArmTheObjectAgain) {
  CCallResult<Owner, LeaderboardFindResult_t> found;
  CCallbackBase& asLibrarySeesIt = found;
  owner.found = &found;
  owner.rearmWith = kSecondCall;
  LeaderboardFindResult_t record{};
  found.Set(kFirstCall, &owner, &Owner::OnFound);
  asLibrarySeesIt.Run(&record, false, kFirstCall);
  // Disarmed before the handler ran, so re-arming registers without unregistering anything.
  EXPECT_THAT(g_registrations, ::testing::ElementsAre(Registration{"register", &found, kFirstCall},
                                                      Registration{"register", &found, kSecondCall}));
  owner.rearmWith = 0;
  asLibrarySeesIt.Run(&record, false, kSecondCall);
  EXPECT_EQ(owner.completions.size(), 2u);
}

TEST_F(CallbackObjects, NoticeFormAlwaysCallsTheHandlerWithoutIoFailureAndDisarms) {
  CCallResult<Owner, LeaderboardFindResult_t> found;
  CCallbackBase& asLibrarySeesIt = found;
  LeaderboardFindResult_t record{};
  found.Set(kFirstCall, &owner, &Owner::OnFound);
  asLibrarySeesIt.Run(&record);
  asLibrarySeesIt.Run(&record, true, kFirstCall);  // idle now
  EXPECT_THAT(owner.completions, ::testing::ElementsAre(std::make_pair(&record, false)));
}

TEST_F(CallbackObjects, NeverArmedCallResultIgnoresWhateverTheLibraryDelivers) {
  CCallResult<Owner, LeaderboardScoresDownloaded_t> downloaded;
  CCallbackBase& asLibrarySeesIt = downloaded;
  LeaderboardScoresDownloaded_t record{};
  asLibrarySeesIt.Run(&record);
  asLibrarySeesIt.Run(&record, false, 0);
  EXPECT_TRUE(owner.completions.empty());
}

TEST_F(CallbackObjects, EachObjectReportsItsRecordSize) {
  class Stats {
   public:
    void OnReceived(UserStatsReceived_t*) {}
    void OnStored(UserStatsStored_t*) {}
    void OnAchievement(UserAchievementStored_t*) {}
  } stats;
  CCallback<Stats, UserStatsReceived_t, 0> received(&stats, &Stats::OnReceived);
  CCallback<Stats, UserStatsStored_t, 0> stored(&stats, &Stats::OnStored);
  CCallback<Stats, UserAchievementStored_t, 0> achievement(&stats, &Stats::OnAchievement);
  CCallResult<Owner, LeaderboardFindResult_t> found;
  CCallResult<Owner, LeaderboardScoresDownloaded_t> downloaded;
  CCallResult<Owner, LeaderboardScoreUploaded_t> uploaded;
  const std::vector<CCallbackBase*> objects{&received, &stored, &achievement, &found, &downloaded, &uploaded};
  std::vector<int> sizes;
  for (CCallbackBase* object : objects) sizes.push_back(object->GetCallbackSizeBytes());
  EXPECT_THAT(sizes, ::testing::ElementsAre(24, 16, 152, 16, 24, 32));
}

}  // namespace
