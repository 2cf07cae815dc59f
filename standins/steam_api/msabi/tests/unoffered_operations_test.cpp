// A storefront face ends the process with a report naming the operation when a caller reaches a
// position it does not offer, instead of returning into a stack the caller's declarations got
// wrong. Reached through the plug-in's own declarations, so the placeholders' positions count too.
#include <gtest/gtest.h>

#include "storefront_api.h"
#include "support/environment.h"

namespace {

class UnofferedOperation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // A state file that is never written: nothing here stores.
    test_support::SetVariable("OFFLINE_STOREFRONT_STATE", "unoffered_operations_state.json");
    ASSERT_TRUE(SteamAPI_Init());
  }
  static void TearDownTestSuite() { SteamAPI_Shutdown(); }
};

TEST_F(UnofferedOperation, EndsTheProcessNamingTableAndPosition) {
  EXPECT_DEATH(SteamUserStats()->Unused5(), "operation 5 of the user stats interface is not offered");
  EXPECT_DEATH(SteamUserStats()->Unused9(), "operation 9 of the user stats interface");
  EXPECT_DEATH(SteamUserStats()->Unused27(), "operation 27 of the user stats interface");
  EXPECT_DEATH(SteamUser()->Unused1(), "operation 1 of the user interface");
  EXPECT_DEATH(SteamUtils()->Unused8(), "operation 8 of the utils interface");
}

}  // namespace
