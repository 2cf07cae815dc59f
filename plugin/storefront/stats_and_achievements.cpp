#include "stats_and_achievements.h"

#include "console_output.h"
#include "game_id.h"

using kelvo::storefront::Print;

CStatsAndAchievements::CStatsAndAchievements()
    : m_CallbackUserStatsReceived(this, &CStatsAndAchievements::OnUserStatsReceived),
      m_CallbackUserStatsStored(this, &CStatsAndAchievements::OnUserStatsStored),
      m_CallbackAchievementStored(this, &CStatsAndAchievements::OnUserAchievementStored),
      m_GameID(kelvo::storefront::kGameId) {
  m_bStatsValid2 = 0;
  Print("CStatsAndAchievements::CStatsAndAchievements() constructed; m_bStatsValid2=>%d\n",
        m_bStatsValid2);
}

// Every arrival of the current stats is only reported.
void CStatsAndAchievements::OnUserStatsReceived(UserStatsReceived_t*) {
  Print("CStatsAndAchievements::OnUserStatsReceived() callback.\n");
}

// A successful store for this game also goes to the debugger output.
void CStatsAndAchievements::OnUserStatsStored(UserStatsStored_t* notice) {
  Print("!!!!!!! - CStatsAndAchievements::OnUserStatsStored() callback.\n");
  if (notice->m_nGameID == m_GameID && notice->m_eResult == k_EResultOK)
    kelvo::storefront::SendToDebugger(L"StoreStats - success\n");
}

// An achievement of this game unlocked (no progress maximum) is greeted; progress is not.
void CStatsAndAchievements::OnUserAchievementStored(UserAchievementStored_t* notice) {
  if (notice->m_nGameID == m_GameID && notice->m_nMaxProgress == 0) Print("HI!");
}
