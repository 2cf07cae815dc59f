// The plug-in's leaderboards object: it opens one of the game's boards by name and uploads the
// player's score to the board opened last. Both are storefront calls whose completions arrive
// through the call results while the storefront's notices are pumped.
#pragma once

#include <cstdint>

#include "storefront_callbacks.h"

class CSteamLeaderboards {
 public:
  // Starts with no board; registers nothing until a call is made.
  CSteamLeaderboards();
  CSteamLeaderboards(const CSteamLeaderboards&) = delete;
  CSteamLeaderboards& operator=(const CSteamLeaderboards&) = delete;

  // Drops the current board at once and looks up the named one; an earlier lookup still
  // pending is dropped too.
  void OpenLeaderboard(const char* name);
  // Uploads the score to the current board, keeping the player's better score. False when no
  // board is open yet, or when the storefront is not running: nothing is sent then.
  bool SubmitScore(std::int32_t score);

  SteamLeaderboard_t CurrentLeaderboard() const { return m_CurrentLeaderboard; }

  void OnLeaderboardFindResult(LeaderboardFindResult_t* result, bool ioFailure);
  void OnLeaderboardScoreUploaded(LeaderboardScoreUploaded_t* result, bool ioFailure);

 private:
  static constexpr int kEntrySlots = 10;

  SteamLeaderboard_t m_CurrentLeaderboard = 0;
  // Room for a download of entries, which the game does not make.
  std::int32_t m_nLeaderboardEntries = 0;
  LeaderboardEntry_t m_leaderboardEntries[kEntrySlots];
  CCallResult<CSteamLeaderboards, LeaderboardFindResult_t> m_callResultFindLeaderboard;
  CCallResult<CSteamLeaderboards, LeaderboardScoreUploaded_t> m_callResultUploadScore;
  CCallResult<CSteamLeaderboards, LeaderboardScoresDownloaded_t> m_callResultDownloadScore;
};

namespace kelvo::storefront {

// The game's main board, and the board of a level from 1 to 8 (null for any other level).
constexpr const char* kMainLeaderboard = "Vorlan2";
const char* LevelLeaderboard(std::int32_t level);

}  // namespace kelvo::storefront
