// The storefront side of the exports: the plug-in-wide objects and the two shared result cells,
// and what each export asks of the storefront, in the order the game relies on.
//
// The storefront's accessors answer null while its client is not running (never started, a
// failed start, or after a stop). Nothing is then called through them: each operation answers as
// the storefront answers a call it cannot carry out, and the shared cells keep their values.
#include "storefront_bridge.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#include "console_output.h"
#include "stats_and_achievements.h"
#include "steam_leaderboards.h"

namespace kelvo::storefront {
namespace {

CStatsAndAchievements* g_statsAndAchievements = nullptr;  // global: the current stats object
CSteamLeaderboards* g_steamLeaderboards = nullptr;        // global: the current leaderboards object
// Written by the storefront's GetStat and GetAchievement and deliberately never reset: a call
// the storefront refuses answers what the previous call left. The flag is the byte the storefront
// writes, read as a byte: any byte but 0 means unlocked.
float g_statValue = 0.0f;              // global
std::uint8_t g_achievementFlag = 0;    // global

// Status numbers of the leaderboard exports.
constexpr std::int32_t kNoLeaderboards = 1;
constexpr std::int32_t kMainBoardOpening = 2;
constexpr std::int32_t kNoLevelBoard = 20;
constexpr std::int32_t kLevelBoardOpening = 20;  // level n's board opening answers this plus n
constexpr std::int32_t kScoreNotSent = 3;
constexpr std::int32_t kScoreSent = 33;

// Objects are made for each start and never freed: the storefront keeps their registrations.
// Their memory comes straight from the C runtime, so the library carries none of the C++
// runtime's exception machinery. Null when memory has run out: the plug-in then goes without the
// object, as before the first start, and the game goes on.
template <typename Object>
Object* MakeForTheProcess() {
  void* memory = std::malloc(sizeof(Object));
  return memory ? new (memory) Object : nullptr;
}

}  // namespace

bool SteamInit() {
  const bool running = SteamAPI_Init();
  g_statsAndAchievements = MakeForTheProcess<CStatsAndAchievements>();
  g_steamLeaderboards = MakeForTheProcess<CSteamLeaderboards>();
  return running;
}

// A start whose stats object cannot be made fails as one without a client does, and keeps the
// stats object it had.
bool StartSteam() {
  CStatsAndAchievements* const made = SteamAPI_Init() ? MakeForTheProcess<CStatsAndAchievements>() : nullptr;
  if (!made) {
    Print("native_start_steam() -> Error -1!\n");
    return false;
  }
  g_statsAndAchievements = made;
  // The number heading this line is part of its text, whatever game id the build is given.
  Print("1523254. m_bStatsValid2 -> %d\n", g_statsAndAchievements->StatsValid());
  Print("native_start_steam() -> Okay!\n");
  return true;
}

void SteamStop() { SteamAPI_Shutdown(); }

void RunCallbacks() { SteamAPI_RunCallbacks(); }

bool RequestStats() {
  ISteamUserStats* userStats = SteamUserStats();
  return userStats && userStats->RequestCurrentStats();
}

void StoreAchievement(const char* name) {
  ISteamUserStats* userStats = SteamUserStats();
  if (!userStats) return;
  userStats->SetAchievement(name);
  userStats->StoreStats();
  userStats->RequestCurrentStats();
}

bool GetAchievement(const char* name) {
  if (ISteamUserStats* userStats = SteamUserStats())
    userStats->GetAchievement(name, &g_achievementFlag);
  return g_achievementFlag != 0;
}

bool ResetAchievement(const char* name) {
  ISteamUserStats* userStats = SteamUserStats();
  return userStats && userStats->ClearAchievement(name);
}

float GetStat(const char* name) {
  if (ISteamUserStats* userStats = SteamUserStats()) userStats->GetStatFloat(name, &g_statValue);
  return g_statValue;
}

// Nothing can be counted without a running storefront: the stat value is answered as it stands.
float AddToStat(const char* name) {
  ISteamUserStats* userStats = SteamUserStats();
  if (!userStats) return g_statValue;
  userStats->GetStatFloat(name, &g_statValue);
  const float counted = g_statValue + 1.0f;  // a single-precision value, as stored
  userStats->SetStatFloat(name, counted);
  userStats->StoreStats();
  return counted;
}

bool StoreStat(const char* name, std::int32_t value) {
  ISteamUserStats* userStats = SteamUserStats();
  if (!userStats) return false;
  userStats->SetStatInt32(name, value);
  return userStats->StoreStats();
}

std::int32_t OpenMainLeaderboard() {
  if (!g_steamLeaderboards) return kNoLeaderboards;
  g_steamLeaderboards->OpenLeaderboard(kMainLeaderboard);
  return kMainBoardOpening;
}

std::int32_t OpenLevelLeaderboard(std::int32_t level) {
  if (!g_steamLeaderboards) return kNoLeaderboards;
  const char* board = LevelLeaderboard(level);
  if (!board) return kNoLevelBoard;
  g_steamLeaderboards->OpenLeaderboard(board);
  return kLevelBoardOpening + level;
}

std::int32_t SubmitScore(std::int32_t score) {
  if (!g_steamLeaderboards) return kNoLeaderboards;
  return g_steamLeaderboards->SubmitScore(score) ? kScoreSent : kScoreNotSent;
}

}  // namespace kelvo::storefront
