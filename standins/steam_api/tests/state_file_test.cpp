// The state file's format: what it keeps, and what it refuses with a message.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "offline_state.h"

namespace {

using ::testing::HasSubstr;

TEST(StateFile, KeepsEverythingThroughARoundTrip) {
  offline::State state = offline::DefaultState();
  state.player.accountId = 4000000000u;
  state.player.personaName = "100% \"quoted\" \\ name";
  state.player.appId = 2500;
  state.achievements = {{"WON", true}, {"LOST", false}};
  state.stats["kills"] = offline::Stat{false, -5, 0.0f};
  state.stats["distance"] = offline::Stat{true, 0, 0.3f};
  state.boards["Level1"].entries = {{1000, 77, {1, -2}}, {5, 3, {}}};
  state.boards["Laps"].ascending = true;
  state.knobs.lookupPumps = 4;
  state.knobs.storeResult = 2;
  state.knobs.secondsActiveOffset = 2097152;

  const offline::State back = offline::FromJson(offline::ToJson(state));
  EXPECT_EQ(back.player.accountId, state.player.accountId);
  EXPECT_EQ(back.player.personaName, state.player.personaName);
  EXPECT_EQ(back.player.appId, 2500u);
  EXPECT_EQ(back.achievements, state.achievements);
  EXPECT_EQ(back.stats, state.stats);
  ASSERT_EQ(back.boards.at("Level1").entries.size(), 2u);
  EXPECT_EQ(back.boards.at("Level1").entries[0].details, (std::vector<std::int32_t>{1, -2}));
  EXPECT_TRUE(back.boards.at("Laps").ascending);
  EXPECT_EQ(back.knobs, state.knobs);
}

TEST(StateFile, DefaultsListTheGamesBoardsAndItsApplicationNumber) {
  const offline::State state = offline::FromJson("{}");
  EXPECT_EQ(state.boards.size(), 9u);
  EXPECT_EQ(state.boards.count("Vorlan2"), 1u);
  EXPECT_EQ(state.boards.count("Level8"), 1u);
  EXPECT_EQ(state.player.appId, static_cast<std::uint32_t>(GAME_APP_ID));
}

TEST(StateFile, RefusesWhatItCannotHoldNamingTheProblem) {
  const std::pair<const char*, const char*> cases[] = {
      {"[1, 2]", "must be an object"},
      {R"({"player": {"account_id": -1}})", "account_id"},
      {R"({"player": {"account_id": 4294967296}})", "account_id"},
      {R"({"player": {"app_id": 16777216}})", "app_id"},
      {R"({"stats": {"kills": {"type": "int", "value": 1.5}}})", "kills"},
      {R"({"stats": {"kills": {"type": "text", "value": 1}}})", "kills"},
      {R"({"achievements": {"WON": "yes"}})", "WON"},
      {R"({"leaderboards": {"Level1": {"entries": [{"account_id": 1, "score": 1}, {"account_id": 1, "score": 2}]}}})",
       "twice"},
      {R"({"knobs": {"lookup_pumps": 0}})", "lookup_pumps"},
      {R"({"knobs": {"init_fail": true}})", "init_fail"},
      {R"({"achievments": {}})", "achievments"},
      {"{\"achievements\": {\"\": true}}", "achievement"},
      {"not json", "not valid JSON"},
  };
  for (const auto& [text, mentioned] : cases) {
    try {
      offline::FromJson(text);
      ADD_FAILURE() << "accepted " << text;
    } catch (const std::runtime_error& error) {
      EXPECT_THAT(error.what(), HasSubstr(mentioned)) << text;
    }
  }
}

TEST(StateFile, EnvironmentKnobsApplyOverTheFilesOnes) {
  offline::Knobs knobs;
  knobs.ioFailure = true;
  offline::ApplyKnobs(R"({"init_fails": true, "lookup_pumps": 2})", knobs);
  EXPECT_TRUE(knobs.initFails);
  EXPECT_TRUE(knobs.ioFailure);
  EXPECT_EQ(knobs.lookupPumps, 2);
  EXPECT_THROW(offline::ApplyKnobs("{\"lookup_pumps\": \"two\"}", knobs), std::runtime_error);
}

}  // namespace
