// What the export layer asks of the storefront side for starting and stopping, stats,
// achievements and leaderboards (the player facts are in player_information.h). Each storefront
// export calls exactly one of these or of the player facts and only converts its answer to the
// script's number format, so the storefront work lives behind them and the export table stays
// as it is.
#pragma once

#include <cstdint>

namespace kelvo::storefront {

// Start, stop and notices.
bool SteamInit();   // starts the client and creates the stats and leaderboards objects
bool StartSteam();  // starts the client and, when it runs, the stats object alone
void SteamStop();
void RunCallbacks();

// Stats and achievements; names are never null here.
bool RequestStats();
void StoreAchievement(const char* name);
bool GetAchievement(const char* name);
bool ResetAchievement(const char* name);
float GetStat(const char* name);
float AddToStat(const char* name);  // the stat counted up by one
bool StoreStat(const char* name, std::int32_t value);

// Leaderboards; each answers the small status number that script receives as a var.
std::int32_t OpenMainLeaderboard();
std::int32_t OpenLevelLeaderboard(std::int32_t level);
std::int32_t SubmitScore(std::int32_t score);

}  // namespace kelvo::storefront
