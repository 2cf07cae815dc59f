// The offline storefront's face in Microsoft's C++ ABI, built by clang for the MSVC target with no
// runtime library. The flat functions and the four interfaces are declared the way the storefront's
// own headers declare them for Microsoft's compiler, so the compiler itself decides what a caller
// has to match: overloaded operations in reverse declaration order, members with thiscall, a
// class-typed result through a hidden pointer. Callback objects are called through their operation
// tables as this compiler generates the calls. All work is forwarded to offline_storefront_core.dll.
#include <stdint.h>

#include "core_interface.h"
#include "standin_layout.h"

// The compiler asks for this symbol wherever floating point is used; the runtime library that
// would define it is not linked.
extern "C" int _fltused = 0;

using SteamAPICall_t = uint64_t;
using SteamLeaderboard_t = uint64_t;

// A class with a constructor: a member operation returns it through a hidden pointer.
class CSteamID {
 public:
  explicit CSteamID(uint64_t bits) : m_unAll64Bits(bits) {}
  uint64_t m_unAll64Bits;
};

enum ELeaderboardUploadScoreMethod {
  k_ELeaderboardUploadScoreMethodNone = 0,
  k_ELeaderboardUploadScoreMethodKeepBest = 1,
  k_ELeaderboardUploadScoreMethodForceUpdate = 2,
};

// A caller's callback object as the library sees it. The two Run forms are overloads: the one
// declared last, for a completed call, lands in slot 0.
class CCallbackBase {
 public:
  virtual void Run(void* param) = 0;
  virtual void Run(void* param, bool ioFailure, SteamAPICall_t call) = 0;
  virtual int GetCallbackSizeBytes() = 0;

  uint8_t m_nCallbackFlags;
  int m_iCallback;

 protected:
  ~CCallbackBase() = default;
};
static_assert(sizeof(CCallbackBase) == standin::layout::kThisBuild.callbackObjectSize,
              "operation table pointer, flags, notice id");

namespace {

void OFFLINE_CORE_CALL RunCompletion(void* object, void* record, int32_t ioFailure, uint64_t call) noexcept {
  static_cast<CCallbackBase*>(object)->Run(record, ioFailure != 0, call);
}
void OFFLINE_CORE_CALL RunNotice(void* object, void* record) noexcept { static_cast<CCallbackBase*>(object)->Run(record); }
int32_t OFFLINE_CORE_CALL RecordSizeBytes(void* object) noexcept {
  return static_cast<CCallbackBase*>(object)->GetCallbackSizeBytes();
}

constexpr OfflineCallbackCalls kCallbackCalls{&RunCompletion, &RunNotice, &RecordSizeBytes};

}  // namespace

// A position that the game is not expected to call: it stops the process with a report.
#define NOT_OFFERED(table, position) \
  virtual void NotOffered##position() { offline_unsupported(table, position); }

class ISteamUserStats {
 public:
  virtual bool RequestCurrentStats() { return offline_request_current_stats() != 0; }  // 0
  // Overloads, laid out in reverse: float GetStat at 1, int32 at 2; float SetStat at 3, int32 at 4.
  virtual bool GetStat(const char* name, int32_t* data) { return offline_get_stat_int32(name, data) != 0; }
  virtual bool GetStat(const char* name, float* data) { return offline_get_stat_float(name, data) != 0; }
  virtual bool SetStat(const char* name, int32_t data) { return offline_set_stat_int32(name, data) != 0; }
  virtual bool SetStat(const char* name, float data) { return offline_set_stat_float(name, data) != 0; }
  NOT_OFFERED("user stats", 5)
  virtual bool GetAchievement(const char* name, uint8_t* achieved) {  // 6
    return offline_get_achievement(name, achieved) != 0;
  }
  virtual bool SetAchievement(const char* name) { return offline_set_achievement(name) != 0; }      // 7
  virtual bool ClearAchievement(const char* name) { return offline_clear_achievement(name) != 0; }  // 8
  NOT_OFFERED("user stats", 9)
  virtual bool StoreStats() { return offline_store_stats() != 0; }  // 10
  NOT_OFFERED("user stats", 11)
  NOT_OFFERED("user stats", 12)
  NOT_OFFERED("user stats", 13)
  NOT_OFFERED("user stats", 14)
  NOT_OFFERED("user stats", 15)
  NOT_OFFERED("user stats", 16)
  NOT_OFFERED("user stats", 17)
  NOT_OFFERED("user stats", 18)
  NOT_OFFERED("user stats", 19)
  NOT_OFFERED("user stats", 20)
  virtual SteamAPICall_t FindLeaderboard(const char* name) { return offline_find_leaderboard(name); }  // 21
  NOT_OFFERED("user stats", 22)
  NOT_OFFERED("user stats", 23)
  NOT_OFFERED("user stats", 24)
  NOT_OFFERED("user stats", 25)
  NOT_OFFERED("user stats", 26)
  NOT_OFFERED("user stats", 27)
  virtual SteamAPICall_t UploadLeaderboardScore(SteamLeaderboard_t leaderboard,  // 28
                                                ELeaderboardUploadScoreMethod method, int32_t score,
                                                const int32_t* details, int detailCount) {
    return offline_upload_leaderboard_score(leaderboard, method, score, details, detailCount);
  }
};

class ISteamUser {
 public:
  NOT_OFFERED("user", 0)
  NOT_OFFERED("user", 1)
  virtual CSteamID GetSteamID() { return CSteamID(offline_user_id()); }  // 2
};

class ISteamUtils {
 public:
  virtual uint32_t GetSecondsSinceAppActive() { return offline_seconds_since_app_active(); }  // 0
  NOT_OFFERED("utils", 1)
  NOT_OFFERED("utils", 2)
  NOT_OFFERED("utils", 3)
  virtual const char* GetIPCountry() { return offline_ip_country(); }  // 4
  NOT_OFFERED("utils", 5)
  NOT_OFFERED("utils", 6)
  NOT_OFFERED("utils", 7)
  NOT_OFFERED("utils", 8)
  virtual uint32_t GetAppID() { return offline_app_id(); }  // 9
};

class ISteamFriends {
 public:
  virtual const char* GetPersonaName() { return offline_persona_name(); }  // 0
};

#undef NOT_OFFERED

// Built into the image: no code runs at load time to set up their operation table pointers.
constinit ISteamUserStats g_userStats;  // global
constinit ISteamUser g_user;            // global
constinit ISteamUtils g_utils;          // global
constinit ISteamFriends g_friends;      // global

template <class Interface>
Interface* WhileRunning(Interface& object) {
  return offline_running() != 0 ? &object : nullptr;
}

// The flat functions, with the C calling convention; exported by name through the plug-in's
// list of them.
extern "C" {

bool SteamAPI_Init() { return offline_init() != 0; }
void SteamAPI_RunCallbacks() { offline_run_callbacks(); }
void SteamAPI_Shutdown() { offline_shutdown(); }

void SteamAPI_RegisterCallback(CCallbackBase* callback, int noticeId) {
  offline_register_callback(callback, noticeId, &kCallbackCalls);
}
void SteamAPI_RegisterCallResult(CCallbackBase* callback, SteamAPICall_t call) {
  offline_register_call_result(callback, call, &kCallbackCalls);
}
void SteamAPI_UnregisterCallResult(CCallbackBase* callback, SteamAPICall_t call) {
  offline_unregister_call_result(callback, call);
}

const char* SteamAPI_GetSteamInstallPath() { return offline_install_folder(); }

ISteamUser* SteamUser() { return WhileRunning(g_user); }
ISteamUserStats* SteamUserStats() { return WhileRunning(g_userStats); }
ISteamUtils* SteamUtils() { return WhileRunning(g_utils); }
ISteamFriends* SteamFriends() { return WhileRunning(g_friends); }

}  // extern "C"
