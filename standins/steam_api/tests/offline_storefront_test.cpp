// The offline storefront's own behaviour: delivery, order, the state file across runs, the knobs.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "offline_storefront.h"
#include "support/files.h"
#include "support/scratch_folder.h"

namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using test_support::ReadFileBytes;

// A callback object that logs every delivery as a short text.
class Recorder : public offline::CallbackObject {
 public:
  Recorder(std::vector<std::string>& log, int size) : log_(log), size_(size) {
    flags = 0;
    noticeId = 0;
  }
  void RunCompletion(void* record, bool ioFailure, std::uint64_t call) override {
    log_.push_back("completion " + std::to_string(noticeId) + (ioFailure ? " io-failure" : "") + Describe(record));
    calls.push_back(call);
  }
  void RunNotice(void* record) override { log_.push_back("notice " + std::to_string(noticeId) + Describe(record)); }
  int RecordSizeBytes() override { return size_; }

  std::vector<std::uint64_t> calls;

 private:
  std::string Describe(void* record) const {
    switch (noticeId) {
      case offline::StatsStoredRecord::kId:
        return " result " + std::to_string(static_cast<offline::StatsStoredRecord*>(record)->result);
      case offline::AchievementStoredRecord::kId:
        return std::string(" ") + static_cast<offline::AchievementStoredRecord*>(record)->name;
      case offline::BoardFoundRecord::kId:
        return static_cast<offline::BoardFoundRecord*>(record)->found ? " found" : " not found";
      case offline::ScoreUploadedRecord::kId: {
        const auto* uploaded = static_cast<offline::ScoreUploadedRecord*>(record);
        return " score " + std::to_string(uploaded->score) + (uploaded->changed ? " changed" : " kept") + " rank " +
               std::to_string(uploaded->rankNew);
      }
      default:
        return "";
    }
  }
  std::vector<std::string>& log_;
  int size_;
};

class OfflineStorefrontTest : public ::testing::Test {
 protected:
  void WriteState(const std::string& json) { test_support::WriteFileBytes(path_, json); }

  // One run of the game: a client with the usual three notice objects and two call objects.
  struct Run {
    Run(const std::string& path, std::ostream& errors)
        : storefront(path, errors),
          received(log, sizeof(offline::StatsReceivedRecord)),
          stored(log, sizeof(offline::StatsStoredRecord)),
          achievement(log, sizeof(offline::AchievementStoredRecord)),
          find(log, sizeof(offline::BoardFoundRecord)),
          upload(log, sizeof(offline::ScoreUploadedRecord)) {
      storefront.RegisterCallback(&received, offline::StatsReceivedRecord::kId);
      storefront.RegisterCallback(&stored, offline::StatsStoredRecord::kId);
      storefront.RegisterCallback(&achievement, offline::AchievementStoredRecord::kId);
      find.noticeId = offline::BoardFoundRecord::kId;
      upload.noticeId = offline::ScoreUploadedRecord::kId;
    }
    std::uint64_t Find(const char* name) {
      const std::uint64_t call = storefront.FindLeaderboard(name);
      storefront.RegisterCallResult(&find, call);
      return call;
    }
    std::uint64_t Upload(std::uint64_t board, std::int32_t score) {
      const std::uint64_t call = storefront.UploadLeaderboardScore(board, offline::kUploadKeepBest, score, nullptr, 0);
      storefront.RegisterCallResult(&upload, call);
      return call;
    }
    std::vector<std::string> log;
    offline::OfflineStorefront storefront;
    Recorder received, stored, achievement, find, upload;
  };

  test_support::ScratchFolder folder_;
  std::string path_ = (folder_ / "storefront_state.json").string();
  std::ostringstream errors_;
};

TEST_F(OfflineStorefrontTest, NoticesWaitForThePumpAndArriveInTheOrderTheyArose) {
  Run run(path_, errors_);
  ASSERT_TRUE(run.storefront.Init());
  EXPECT_TRUE(run.storefront.SetAchievement("B_SECOND"));
  EXPECT_TRUE(run.storefront.SetAchievement("A_FIRST"));
  EXPECT_TRUE(run.storefront.RequestCurrentStats());
  EXPECT_TRUE(run.storefront.StoreStats());
  run.Find("Vorlan2");
  EXPECT_TRUE(run.log.empty());
  run.storefront.RunCallbacks();
  EXPECT_THAT(run.log, ElementsAre("notice 1101", "notice 1102 result 1", "notice 1103 A_FIRST", "notice 1103 B_SECOND",
                                   "completion 1104 found"));
  run.storefront.RunCallbacks();
  EXPECT_EQ(run.log.size(), 5u);  // each delivered once
  EXPECT_EQ(run.received.flags & offline::kRegisteredFlag, offline::kRegisteredFlag);
  EXPECT_EQ(run.received.noticeId, 1101);
}

TEST_F(OfflineStorefrontTest, OnlyNewlyUnlockedAchievementsAreNotifiedAtAStore) {
  Run run(path_, errors_);
  ASSERT_TRUE(run.storefront.Init());
  run.storefront.SetAchievement("A");
  run.storefront.StoreStats();
  run.storefront.SetAchievement("A");
  run.storefront.SetAchievement("B");
  run.storefront.StoreStats();
  run.storefront.RunCallbacks();
  EXPECT_THAT(run.log, ElementsAre("notice 1102 result 1", "notice 1103 A", "notice 1102 result 1", "notice 1103 B"));
}

TEST_F(OfflineStorefrontTest, WhatAHandlerStartsWaitsForTheNextPump) {
  Run run(path_, errors_);
  ASSERT_TRUE(run.storefront.Init());
  struct Chained : Recorder {
    Chained(std::vector<std::string>& log, offline::OfflineStorefront& storefront)
        : Recorder(log, sizeof(offline::StatsReceivedRecord)), storefront_(storefront) {}
    void RunNotice(void* record) override {
      Recorder::RunNotice(record);
      storefront_.RequestCurrentStats();
    }
    offline::OfflineStorefront& storefront_;
  } chained(run.log, run.storefront);
  run.storefront.RegisterCallback(&chained, offline::StatsReceivedRecord::kId);
  run.storefront.RequestCurrentStats();
  run.storefront.RunCallbacks();
  EXPECT_EQ(run.log.size(), 2u);  // both objects for 1101, once
  run.storefront.RunCallbacks();
  EXPECT_EQ(run.log.size(), 4u);
}

TEST_F(OfflineStorefrontTest, CompletionsReachOnlyTheObjectStillRegisteredForTheCall) {
  Run run(path_, errors_);
  ASSERT_TRUE(run.storefront.Init());
  const std::uint64_t dropped = run.Find("Level1");
  run.storefront.UnregisterCallResult(&run.find, dropped);
  EXPECT_EQ(run.find.flags & offline::kRegisteredFlag, 0);
  const std::uint64_t kept = run.Find("Level2");
  run.storefront.FindLeaderboard("Level3");  // nobody registered
  EXPECT_NE(dropped >> 32, 0u);               // handles use all 64 bits
  run.storefront.RunCallbacks();
  EXPECT_THAT(run.log, ElementsAre("completion 1104 found"));
  EXPECT_THAT(run.find.calls, ElementsAre(kept));
}

TEST_F(OfflineStorefrontTest, ObjectWithTheWrongRecordSizeIsReportedNotDelivered) {
  Run run(path_, errors_);
  ASSERT_TRUE(run.storefront.Init());
  Recorder wrong(run.log, 12);
  run.storefront.RegisterCallback(&wrong, offline::StatsStoredRecord::kId);
  run.storefront.StoreStats();
  run.storefront.RunCallbacks();
  EXPECT_THAT(run.log, ElementsAre("notice 1102 result 1"));
  EXPECT_THAT(errors_.str(), HasSubstr("record 1102 not delivered"));
}

TEST_F(OfflineStorefrontTest, ASecondRunSeesTheFirstRunsAchievementsStatsAndScores) {
  {
    Run first(path_, errors_);
    ASSERT_TRUE(first.storefront.Init());
    first.storefront.SetAchievement("WON");
    first.storefront.SetStat("kills", std::int32_t{7});
    first.storefront.SetStat("distance", 2.5f);
    first.storefront.StoreStats();
    first.storefront.SetStat("kills", std::int32_t{99});  // never stored: lost at shutdown
    first.Find("Level3");
    first.storefront.RunCallbacks();
    first.Upload(offline::OfflineStorefront::BoardHandle("Level3"), 500);
    first.storefront.RunCallbacks();
    first.storefront.Shutdown();
  }
  Run second(path_, errors_);
  ASSERT_TRUE(second.storefront.Init());
  std::uint8_t won = 0;
  std::int32_t kills = 0;
  float distance = 0;
  EXPECT_TRUE(second.storefront.GetAchievement("WON", &won));
  EXPECT_TRUE(won);
  EXPECT_TRUE(second.storefront.GetStat("kills", &kills));
  EXPECT_EQ(kills, 7);
  EXPECT_TRUE(second.storefront.GetStat("distance", &distance));
  EXPECT_EQ(distance, 2.5f);
  second.Find("Level3");
  second.storefront.RunCallbacks();
  second.Upload(offline::OfflineStorefront::BoardHandle("Level3"), 400);
  second.storefront.RunCallbacks();
  EXPECT_THAT(second.log, ElementsAre("completion 1104 found", "completion 1106 score 400 kept rank 1"));
  EXPECT_TRUE(errors_.str().empty()) << errors_.str();
}

TEST_F(OfflineStorefrontTest, CorruptStateFileIsKeptAsideAndReported) {
  const std::string garbage = "{\"achievements\": {\"WON\": tru";
  WriteState(garbage);
  Run run(path_, errors_);
  ASSERT_TRUE(run.storefront.Init());
  EXPECT_THAT(errors_.str(), HasSubstr("unusable"));
  EXPECT_THAT(errors_.str(), HasSubstr(path_ + ".corrupt-1"));
  EXPECT_EQ(ReadFileBytes(path_ + ".corrupt-1"), garbage);
  std::uint8_t won = 1;
  EXPECT_FALSE(run.storefront.GetAchievement("WON", &won));  // defaults
  run.storefront.StoreStats();                               // a fresh file, the old one untouched
  EXPECT_TRUE(fs::exists(path_));
  EXPECT_TRUE(fs::exists(path_ + ".corrupt-1"));
}

TEST_F(OfflineStorefrontTest, KnobsShapeInitLookupsAndStores) {
  WriteState(R"({"knobs": {"init_fails": true}})");
  {
    Run run(path_, errors_);
    EXPECT_FALSE(run.storefront.Init());
    EXPECT_FALSE(run.storefront.Running());
  }
  const std::string state = R"({"knobs": {"lookup_pumps": 3, "store_result": 5}})";
  WriteState(state);
  Run run(path_, errors_);
  ASSERT_TRUE(run.storefront.Init());
  run.Find("Level1");
  run.storefront.SetAchievement("WON");
  run.storefront.StoreStats();
  run.storefront.RunCallbacks();
  run.storefront.RunCallbacks();
  EXPECT_THAT(run.log, ElementsAre("notice 1102 result 5"));  // no 1103: nothing was stored
  run.storefront.RunCallbacks();
  EXPECT_THAT(run.log, ElementsAre("notice 1102 result 5", "completion 1104 found"));
  EXPECT_EQ(ReadFileBytes(path_), state) << "a store that did not succeed wrote the file";
}

TEST_F(OfflineStorefrontTest, UnlistedBoardsAreNotFoundUnlessCreatedOnFind) {
  WriteState(R"({"leaderboards": {"Vorlan2": {}}})");
  Run run(path_, errors_);
  ASSERT_TRUE(run.storefront.Init());
  run.Find("Level1");
  run.storefront.RunCallbacks();
  EXPECT_EQ(run.storefront.UploadLeaderboardScore(offline::OfflineStorefront::BoardHandle("Level1"),
                                                  offline::kUploadKeepBest, 1, nullptr, 0),
            0u);  // never found: not a board of this run
  run.storefront.Shutdown();
  WriteState(R"({"leaderboards": {"Vorlan2": {}}, "knobs": {"create_boards_on_find": true}})");
  ASSERT_TRUE(run.storefront.Init());
  run.Find("Level1");
  run.storefront.RunCallbacks();
  EXPECT_THAT(run.log, ElementsAre("completion 1104 not found", "completion 1104 found"));
}

// A lookup that would create its board fails instead, and no board is created.
TEST_F(OfflineStorefrontTest, IoFailureKnobFailsCompletionsAndChangesNothing) {
  const std::string state = R"({"knobs": {"io_failure": true, "create_boards_on_find": true}})";
  WriteState(state);
  Run run(path_, errors_);
  ASSERT_TRUE(run.storefront.Init());
  run.Find("Unlisted");
  run.storefront.RunCallbacks();
  EXPECT_THAT(run.log, ElementsAre("completion 1104 io-failure not found"));
  EXPECT_EQ(run.storefront.UploadLeaderboardScore(offline::OfflineStorefront::BoardHandle("Unlisted"),
                                                  offline::kUploadKeepBest, 1, nullptr, 0),
            0u);
  run.storefront.Shutdown();
  EXPECT_EQ(ReadFileBytes(path_), state);
}

TEST_F(OfflineStorefrontTest, KeepBestHonoursTheBoardsSortOrder) {
  WriteState(R"({"leaderboards": {"Laps": {"sort": "ascending", "entries": [{"account_id": 7, "score": 50}]}},
                 "player": {"account_id": 1000}})");
  Run run(path_, errors_);
  ASSERT_TRUE(run.storefront.Init());
  run.Find("Laps");
  run.storefront.RunCallbacks();
  const std::uint64_t laps = offline::OfflineStorefront::BoardHandle("Laps");
  for (std::int32_t score : {60, 70, 40}) {
    run.Upload(laps, score);
    run.storefront.RunCallbacks();
  }
  EXPECT_THAT(run.log, ElementsAre("completion 1104 found", "completion 1106 score 60 changed rank 2",
                                   "completion 1106 score 70 kept rank 2", "completion 1106 score 40 changed rank 1"));
}

TEST_F(OfflineStorefrontTest, RefusesWhatItCannotKeep) {
  Run run(path_, errors_);
  EXPECT_EQ(run.storefront.FindLeaderboard("Level1"), 0u);  // not running
  ASSERT_TRUE(run.storefront.Init());
  const std::string longName(128, 'x');
  EXPECT_FALSE(run.storefront.SetAchievement(longName.c_str()));
  EXPECT_FALSE(run.storefront.SetAchievement("bad\xff"));
  EXPECT_FALSE(run.storefront.SetAchievement(nullptr));
  EXPECT_FALSE(run.storefront.SetStat("distance", std::numeric_limits<float>::quiet_NaN()));
  EXPECT_TRUE(run.storefront.SetStat("distance", 1.0f));
  EXPECT_FALSE(run.storefront.SetStat("distance", std::int32_t{1}));  // declared as a float
  EXPECT_EQ(run.storefront.FindLeaderboard(longName.c_str()), 0u);
}

}  // namespace
