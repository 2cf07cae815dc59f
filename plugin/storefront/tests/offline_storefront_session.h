// Tests of the plug-in's storefront side against the real offline storefront (in-process natively,
// steam_api.dll beside the test under Wine), each on a state file and knobs of its own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "storefront_api.h"
#include "support/environment.h"
#include "support/files.h"
#include "support/scratch_folder.h"

namespace kelvo::testing {

// Keeps an object the storefront may still call for the life of the process, as the plug-in
// keeps its own objects.
template <class Object>
Object& KeptForever(Object* object) {
  static auto* kept = new std::vector<Object*>;  // global, never destroyed either
  kept->push_back(object);
  return *object;
}

class OfflineStorefrontSession : public ::testing::Test {
 protected:
  // The storefront reads where its state file is once per process, before anything registers.
  static void SetUpTestSuite() {
    test_support::SetVariable("OFFLINE_STOREFRONT_STATE", StatePath().string());
  }

  void SetUp() override {
    std::filesystem::remove(StatePath());
    test_support::SetVariable("OFFLINE_STOREFRONT_KNOBS", "");
  }
  void TearDown() override { SteamAPI_Shutdown(); }

  static std::filesystem::path StatePath() { return test_support::ProgramScratchFolder() / "state.json"; }

  // Starts the storefront on this state (JSON, as in the state file).
  void Start(const std::string& stateJson = "{}") {
    test_support::WriteFileBytes(StatePath(), stateJson);
    ASSERT_TRUE(SteamAPI_Init());
  }
};

}  // namespace kelvo::testing
