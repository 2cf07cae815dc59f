// The plug-in's stats object: it listens for the storefront's user-stats notices and reports
// them on standard output and the debugger output.
#pragma once

#include <cstdint>

#include "storefront_callbacks.h"

class CStatsAndAchievements {
 public:
  // Registers the three notices at once and prints the construction line.
  CStatsAndAchievements();
  CStatsAndAchievements(const CStatsAndAchievements&) = delete;
  CStatsAndAchievements& operator=(const CStatsAndAchievements&) = delete;

  int StatsValid() const { return m_bStatsValid2; }

  void OnUserStatsReceived(UserStatsReceived_t* notice);
  void OnUserStatsStored(UserStatsStored_t* notice);
  void OnUserAchievementStored(UserAchievementStored_t* notice);

 private:
  std::int32_t m_bStatsValid2;  // 0 from construction on: nothing here waits for the stats
  CCallback<CStatsAndAchievements, UserStatsReceived_t, 0> m_CallbackUserStatsReceived;
  CCallback<CStatsAndAchievements, UserStatsStored_t, 0> m_CallbackUserStatsStored;
  CCallback<CStatsAndAchievements, UserAchievementStored_t, 0> m_CallbackAchievementStored;
  std::uint64_t m_GameID;
};
