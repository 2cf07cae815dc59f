#include "steam_leaderboards.h"

CSteamLeaderboards::CSteamLeaderboards() {
  for (LeaderboardEntry_t& entry : m_leaderboardEntries) entry.m_steamIDUser = CSteamID{0};
}

void CSteamLeaderboards::OpenLeaderboard(const char* name) {
  m_CurrentLeaderboard = 0;
  // A storefront that is not running finds nothing, as a lookup that could not be started.
  ISteamUserStats* userStats = SteamUserStats();
  const SteamAPICall_t lookup = userStats ? userStats->FindLeaderboard(name) : 0;
  m_callResultFindLeaderboard.Set(lookup, this, &CSteamLeaderboards::OnLeaderboardFindResult);
}

bool CSteamLeaderboards::SubmitScore(std::int32_t score) {
  if (m_CurrentLeaderboard == 0) return false;
  ISteamUserStats* userStats = SteamUserStats();
  if (!userStats) return false;
  const SteamAPICall_t upload = userStats->UploadLeaderboardScore(
      m_CurrentLeaderboard, k_ELeaderboardUploadScoreMethodKeepBest, score, nullptr, 0);
  m_callResultUploadScore.Set(upload, this, &CSteamLeaderboards::OnLeaderboardScoreUploaded);
  // The request was made; how it ends is not examined.
  return true;
}

void CSteamLeaderboards::OnLeaderboardFindResult(LeaderboardFindResult_t* result, bool ioFailure) {
  if (result->m_bLeaderboardFound != 0 && !ioFailure)
    m_CurrentLeaderboard = result->m_hSteamLeaderboard;
}

void CSteamLeaderboards::OnLeaderboardScoreUploaded(LeaderboardScoreUploaded_t*, bool) {}

namespace kelvo::storefront {

const char* LevelLeaderboard(std::int32_t level) {
  static constexpr const char* kLevelBoards[] = {"Level1", "Level2", "Level3", "Level4",
                                                 "Level5", "Level6", "Level7", "Level8"};
  constexpr std::int32_t kLevels = sizeof kLevelBoards / sizeof kLevelBoards[0];
  return level >= 1 && level <= kLevels ? kLevelBoards[level - 1] : nullptr;
}

}  // namespace kelvo::storefront
