// The stats and achievement exports against the offline storefront: the shared stat value and
// achievement flag, single-precision counting, and the answers without a running storefront.
#include <gtest/gtest.h>

#include <string>

#include "exports.h"
#include "offline_storefront_session.h"

namespace kelvo {
namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

// Calls an export with the name in a STRING record, as the host passes it.
template <class Export, class... Rest>
auto Call(Export function, const char* name, Rest... rest) {
  const STRING record{{0, 0, 0}, name};
  return function(&record, rest...);
}

class StorefrontExports : public kelvo::testing::OfflineStorefrontSession {
 protected:
  // steam_init as script calls it; its printed line is not of interest here.
  void Init(const std::string& state) {
    test_support::WriteFileBytes(StatePath(), state);
    CaptureStdout();
    EXPECT_EQ(steam_init(), 1024);
    GetCapturedStdout();
  }
};

TEST_F(StorefrontExports, TheAchievementFlagIsKeptWhenTheStorefrontRefusesTheName) {
  Init(R"({"achievements": {"ACH_WIN_ONE_GAME": true, "ACH_TRAVEL_FAR": false}})");
  EXPECT_EQ(Call(steam_get_ach, "ACH_WIN_ONE_GAME"), 1024);
  EXPECT_EQ(Call(steam_get_ach, "NO_SUCH_ACHIEVEMENT"), 1024);
  EXPECT_EQ(Call(steam_get_ach, "ACH_TRAVEL_FAR"), 0);
  EXPECT_EQ(Call(steam_get_ach, "NO_SUCH_ACHIEVEMENT"), 0);
  EXPECT_EQ(Call(steam_get_ach, "ACH_WIN_ONE_GAME"), 1024);
  steam_stop();
  EXPECT_EQ(Call(steam_get_ach, "ACH_TRAVEL_FAR"), 1024);  // nothing asked, nothing changed
}

// A library built by another compiler may write any byte but 0 for an unlocked achievement.
TEST_F(StorefrontExports, AnyByteButZeroReadsAsUnlocked) {
  Init(R"({"achievements": {"ACH_WIN_ONE_GAME": true, "ACH_TRAVEL_FAR": false},
           "knobs": {"unlocked_byte": 130}})");
  EXPECT_EQ(Call(steam_get_ach, "ACH_WIN_ONE_GAME"), 1024);
  EXPECT_EQ(Call(steam_get_ach, "ACH_TRAVEL_FAR"), 0);
}

TEST_F(StorefrontExports, AStatCountsUpInSinglePrecision) {
  // 2^-10 - 2^-30: one more is 1.0009765625 in single precision, just below it in any wider one.
  Init(R"({"stats": {"Fraction": {"type": "float", "value": 0.0009765615686774254},
                     "FeetTraveled": {"type": "float", "value": 2.5}}})");
  EXPECT_EQ(Call(steam_add_stat, "Fraction"), 1025);
  EXPECT_EQ(Call(steam_add_stat, "FeetTraveled"), 3584);
  EXPECT_EQ(Call(steam_get_stat, "FeetTraveled"), 3584);
  // Counting a stat the storefront does not have starts from the shared value, 3.5.
  EXPECT_EQ(Call(steam_add_stat, "NoSuchStat"), 4608);
}

TEST_F(StorefrontExports, AnIntegerStatTakesThePlainValue) {
  Init(R"({"stats": {"NumGames": {"type": "int", "value": 0}}})");
  EXPECT_EQ(Call(steam_store_stat, "NumGames", 5120), 1024);
  std::int32_t stored = 0;
  ASSERT_TRUE(SteamUserStats()->GetStatInt32("NumGames", &stored));
  EXPECT_EQ(stored, 5120);
}

TEST_F(StorefrontExports, WithoutARunningStorefrontNothingIsAskedAndTheSharedValuesStay) {
  Init(R"({"stats": {"FeetTraveled": {"type": "float", "value": 2.5}},
           "achievements": {"ACH_WIN_ONE_GAME": false}})");
  EXPECT_EQ(Call(steam_get_stat, "FeetTraveled"), 2560);
  steam_stop();
  EXPECT_EQ(Call(steam_get_stat, "FeetTraveled"), 2560);
  EXPECT_EQ(Call(steam_add_stat, "FeetTraveled"), 2560);
  EXPECT_EQ(Call(steam_store_stat, "FeetTraveled", 7), 0);
  EXPECT_EQ(steam_stats(), 0);
  EXPECT_EQ(Call(steam_reset, "ACH_WIN_ONE_GAME"), 0);
  EXPECT_EQ(Call(steam_store, "ACH_WIN_ONE_GAME"), 0);
  EXPECT_EQ(steam_record_abre_level(VarFromInt(3)), 23552);
  EXPECT_EQ(steam_record_add(VarFromInt(3)), 3072);
  EXPECT_EQ(steam_callback(), 1024);

  // Started again, the storefront shows that nothing was counted or unlocked meanwhile.
  ASSERT_TRUE(SteamAPI_Init());
  float feet = 0;
  std::uint8_t unlocked = 1;
  EXPECT_TRUE(SteamUserStats()->GetStatFloat("FeetTraveled", &feet));
  EXPECT_TRUE(SteamUserStats()->GetAchievement("ACH_WIN_ONE_GAME", &unlocked));
  EXPECT_EQ(feet, 2.5f);
  EXPECT_FALSE(unlocked);
}

TEST_F(StorefrontExports, StartSteamReportsItsStart) {
  test_support::SetVariable("OFFLINE_STOREFRONT_KNOBS", R"({"init_fails": true})");
  CaptureStdout();
  EXPECT_EQ(start_steam(), -1024);
  EXPECT_EQ(GetCapturedStdout(), "native_start_steam() -> Error -1!\n");

  test_support::SetVariable("OFFLINE_STOREFRONT_KNOBS", "");
  CaptureStdout();
  EXPECT_EQ(start_steam(), 0);
  EXPECT_EQ(GetCapturedStdout(),
            "CStatsAndAchievements::CStatsAndAchievements() constructed; m_bStatsValid2=>0\n"
            "1523254. m_bStatsValid2 -> 0\n"
            "native_start_steam() -> Okay!\n");
}

}  // namespace
}  // namespace kelvo
