#pragma once
// The Steam client library as the plug-in calls it: the flat functions, the four interfaces and the
// records it delivers. The library on players' machines is built with Microsoft's compiler, so
// every declaration here matches that compiler's binary conventions on 32-bit Windows:
// - each interface operation sits at its fixed position in the operation table; positions the
//   plug-in never calls are kept as placeholders, and every slot has its own name because
//   Microsoft's compiler lays out overloaded virtual functions in reverse declaration order;
// - a class-typed result of a member function travels through a hidden pointer passed after
//   `this`, so such operations are declared with that pointer spelled out;
// - 64-bit members of records are aligned to 8 bytes, which the native -m32 build would not do
//   by itself.
#include <cstddef>
#include <cstdint>

using SteamAPICall_t = std::uint64_t;       // API-call handle; 0 = none
using SteamLeaderboard_t = std::uint64_t;   // leaderboard handle; 0 = none

// The storefront's 64-bit user id; the low 32 bits are the player's account number.
struct alignas(8) CSteamID {
  std::uint64_t m_unAll64Bits;
  std::uint32_t GetAccountID() const { return static_cast<std::uint32_t>(m_unAll64Bits); }
};
static_assert(sizeof(CSteamID) == 8 && alignof(CSteamID) == 8);

enum ELeaderboardUploadScoreMethod : std::int32_t {
  k_ELeaderboardUploadScoreMethodNone = 0,
  k_ELeaderboardUploadScoreMethodKeepBest = 1,
  k_ELeaderboardUploadScoreMethodForceUpdate = 2,
};

constexpr std::int32_t k_EResultOK = 1;

// Notice 1101: the current stats arrived.
struct UserStatsReceived_t {
  static constexpr int k_iCallback = 1101;
  alignas(8) std::uint64_t m_nGameID;
  std::int32_t m_eResult;
  CSteamID m_steamIDUser;
};
static_assert(sizeof(UserStatsReceived_t) == 24);
static_assert(offsetof(UserStatsReceived_t, m_steamIDUser) == 16);

// Notice 1102: a store of stats finished; result code 1 means success.
struct UserStatsStored_t {
  static constexpr int k_iCallback = 1102;
  alignas(8) std::uint64_t m_nGameID;
  std::int32_t m_eResult;
};
static_assert(sizeof(UserStatsStored_t) == 16);
static_assert(offsetof(UserStatsStored_t, m_eResult) == 8);

// Notice 1103: an achievement was stored; maximum progress 0 means it was unlocked.
struct UserAchievementStored_t {
  static constexpr int k_iCallback = 1103;
  alignas(8) std::uint64_t m_nGameID;
  bool m_bGroupAchievement;
  char m_rgchAchievementName[128];
  std::uint32_t m_nCurProgress;
  std::uint32_t m_nMaxProgress;
};
static_assert(sizeof(UserAchievementStored_t) == 152);
static_assert(offsetof(UserAchievementStored_t, m_rgchAchievementName) == 9);
static_assert(offsetof(UserAchievementStored_t, m_nCurProgress) == 140);
static_assert(offsetof(UserAchievementStored_t, m_nMaxProgress) == 144);

// Completion 1104 of FindLeaderboard.
struct LeaderboardFindResult_t {
  static constexpr int k_iCallback = 1104;
  alignas(8) SteamLeaderboard_t m_hSteamLeaderboard;
  std::uint8_t m_bLeaderboardFound;
};
static_assert(sizeof(LeaderboardFindResult_t) == 16);
static_assert(offsetof(LeaderboardFindResult_t, m_bLeaderboardFound) == 8);

// Completion 1105 of a download of entries (the plug-in never starts one).
struct LeaderboardScoresDownloaded_t {
  static constexpr int k_iCallback = 1105;
  alignas(8) SteamLeaderboard_t m_hSteamLeaderboard;
  alignas(8) std::uint64_t m_hSteamLeaderboardEntries;
  std::int32_t m_cEntryCount;
};
static_assert(sizeof(LeaderboardScoresDownloaded_t) == 24);

// Completion 1106 of UploadLeaderboardScore.
struct LeaderboardScoreUploaded_t {
  static constexpr int k_iCallback = 1106;
  std::uint8_t m_bSuccess;
  alignas(8) SteamLeaderboard_t m_hSteamLeaderboard;
  std::int32_t m_nScore;
  std::uint8_t m_bScoreChanged;
  std::int32_t m_nGlobalRankNew;
  std::int32_t m_nGlobalRankPrevious;
};
static_assert(sizeof(LeaderboardScoreUploaded_t) == 32);
static_assert(offsetof(LeaderboardScoreUploaded_t, m_hSteamLeaderboard) == 8);
static_assert(offsetof(LeaderboardScoreUploaded_t, m_nScore) == 16);

// One entry of a leaderboard: the user, then three signed 32-bit fields.
struct LeaderboardEntry_t {
  CSteamID m_steamIDUser;
  std::int32_t m_nGlobalRank;
  std::int32_t m_nScore;
  std::int32_t m_cDetails;
};
static_assert(sizeof(LeaderboardEntry_t) == 24);

// Operation tables. Positions are counted from 0; `UnusedN` keeps position N free. The library owns
// the objects: the plug-in never creates or destroys them.
class ISteamUserStats {
 public:
  virtual bool RequestCurrentStats() = 0;                                  // 0
  virtual bool GetStatFloat(const char* name, float* data) = 0;            // 1
  virtual bool GetStatInt32(const char* name, std::int32_t* data) = 0;     // 2
  virtual bool SetStatFloat(const char* name, float data) = 0;             // 3
  virtual bool SetStatInt32(const char* name, std::int32_t data) = 0;      // 4
  virtual void Unused5() = 0;                                              // 5
  // The flag is one byte; a library built otherwise may write any non-zero byte for unlocked.
  virtual bool GetAchievement(const char* name, std::uint8_t* achieved) = 0;  // 6
  virtual bool SetAchievement(const char* name) = 0;                       // 7
  virtual bool ClearAchievement(const char* name) = 0;                     // 8
  virtual void Unused9() = 0;                                              // 9
  virtual bool StoreStats() = 0;                                           // 10
  virtual void Unused11() = 0;
  virtual void Unused12() = 0;
  virtual void Unused13() = 0;
  virtual void Unused14() = 0;
  virtual void Unused15() = 0;
  virtual void Unused16() = 0;
  virtual void Unused17() = 0;
  virtual void Unused18() = 0;
  virtual void Unused19() = 0;
  virtual void Unused20() = 0;
  virtual SteamAPICall_t FindLeaderboard(const char* name) = 0;            // 21
  virtual void Unused22() = 0;
  virtual void Unused23() = 0;
  virtual void Unused24() = 0;
  virtual void Unused25() = 0;
  virtual void Unused26() = 0;
  virtual void Unused27() = 0;
  virtual SteamAPICall_t UploadLeaderboardScore(SteamLeaderboard_t leaderboard,  // 28
                                                ELeaderboardUploadScoreMethod method,
                                                std::int32_t score, const std::int32_t* details,
                                                int detailCount) = 0;

 protected:
  ~ISteamUserStats() = default;
};

class ISteamUser {
 public:
  virtual void Unused0() = 0;
  virtual void Unused1() = 0;
  // Position 2. The user id is a class, so it comes back through `result`, which is also answered.
  virtual CSteamID* GetSteamID(CSteamID* result) = 0;

 protected:
  ~ISteamUser() = default;
};

class ISteamUtils {
 public:
  virtual std::uint32_t GetSecondsSinceAppActive() = 0;  // 0
  virtual void Unused1() = 0;
  virtual void Unused2() = 0;
  virtual void Unused3() = 0;
  virtual const char* GetIPCountry() = 0;                // 4
  virtual void Unused5() = 0;
  virtual void Unused6() = 0;
  virtual void Unused7() = 0;
  virtual void Unused8() = 0;
  virtual std::uint32_t GetAppID() = 0;                  // 9

 protected:
  ~ISteamUtils() = default;
};

class ISteamFriends {
 public:
  virtual const char* GetPersonaName() = 0;  // 0

 protected:
  ~ISteamFriends() = default;
};

class CCallbackBase;

// The flat functions, with the C calling convention. The accessors answer null while the client
// is not running.
extern "C" {
bool SteamAPI_Init();
void SteamAPI_RunCallbacks();
void SteamAPI_Shutdown();
void SteamAPI_RegisterCallback(CCallbackBase* callback, int noticeId);
void SteamAPI_RegisterCallResult(CCallbackBase* callback, SteamAPICall_t call);
void SteamAPI_UnregisterCallResult(CCallbackBase* callback, SteamAPICall_t call);
const char* SteamAPI_GetSteamInstallPath();
ISteamUser* SteamUser();
ISteamUserStats* SteamUserStats();
ISteamUtils* SteamUtils();
ISteamFriends* SteamFriends();
}
