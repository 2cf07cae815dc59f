// Interim storefront side: the plug-in does not talk to the storefront client yet, so every
// operation does nothing and answers a fixed value (a stopped client's answers: false, zero).
#include "storefront_bridge.h"

namespace kelvo::storefront {

bool SteamInit() { return false; }
bool StartSteam() { return false; }
void SteamStop() {}
void RunCallbacks() {}

bool RequestStats() { return false; }
void StoreAchievement(const char*) {}
bool GetAchievement(const char*) { return false; }
bool ResetAchievement(const char*) { return false; }
float GetStat(const char*) { return 0.0f; }
float AddToStat(const char*) { return 1.0f; }
bool StoreStat(const char*, std::int32_t) { return false; }

std::int32_t OpenMainLeaderboard() { return 1; }
std::int32_t OpenLevelLeaderboard(std::int32_t) { return 1; }
std::int32_t SubmitScore(std::int32_t) { return 1; }

std::uint32_t AccountNumber() { return 0; }
std::uint32_t SecondsSinceAppActive() { return 0; }
std::uint32_t AppId() { return 0; }
void WriteCountryFile() {}
void WriteGreetingFile() {}

}  // namespace kelvo::storefront
