// Tests of the plug-in's storefront side against the real offline storefront (in-process natively,
// steam_api.dll beside the test under Wine), each on a state file and knobs of its own.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "storefront_api.h"

namespace kelvo::testing {

inline void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

// A folder of this process's own, made on first use.
inline const std::filesystem::path& ScratchFolder() {
  static const std::filesystem::path folder = [] {
    std::random_device random;
    auto path = std::filesystem::temp_directory_path() /
                ("kelvo-storefront-" + std::to_string(random()) + "-" +
                 std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    std::filesystem::create_directories(path);
    return path;
  }();
  return folder;
}

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
    SetVariable("OFFLINE_STOREFRONT_STATE", (ScratchFolder() / "state.json").string());
  }

  void SetUp() override {
    std::filesystem::remove(ScratchFolder() / "state.json");
    SetVariable("OFFLINE_STOREFRONT_KNOBS", "");
  }
  void TearDown() override { SteamAPI_Shutdown(); }

  // Starts the storefront on this state (JSON, as in the state file).
  void Start(const std::string& stateJson = "{}") {
    std::ofstream(ScratchFolder() / "state.json") << stateJson;
    ASSERT_TRUE(SteamAPI_Init());
  }
};

}  // namespace kelvo::testing
