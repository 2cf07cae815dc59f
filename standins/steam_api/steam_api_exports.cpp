// The offline storefront's face: the flat functions and the four interfaces, with the binary
// conventions of the storefront library built by Microsoft's compiler on 32-bit Windows (member
// operations take `this` in ECX and clean their own arguments, which is what GCC does for
// members on this target; a class-typed result goes through a hidden pointer after `this`).
#include <cstdint>

#include "process_storefront.h"

namespace offline {
namespace {

struct SteamId {
  alignas(8) std::uint64_t bits;
};

class UserStats {
 public:
  virtual bool RequestCurrentStats() { return Storefront().RequestCurrentStats(); }
  virtual bool GetStatFloat(const char* name, float* data) { return Storefront().GetStat(name, data); }
  virtual bool GetStatInt32(const char* name, std::int32_t* data) { return Storefront().GetStat(name, data); }
  virtual bool SetStatFloat(const char* name, float data) { return Storefront().SetStat(name, data); }
  virtual bool SetStatInt32(const char* name, std::int32_t data) { return Storefront().SetStat(name, data); }
  virtual void Position5() { Unsupported("user stats", 5); }
  virtual bool GetAchievement(const char* name, std::uint8_t* achieved) {
    return Storefront().GetAchievement(name, achieved);
  }
  virtual bool SetAchievement(const char* name) { return Storefront().SetAchievement(name); }
  virtual bool ClearAchievement(const char* name) { return Storefront().ClearAchievement(name); }
  virtual void Position9() { Unsupported("user stats", 9); }
  virtual bool StoreStats() { return Storefront().StoreStats(); }
  virtual void Position11() { Unsupported("user stats", 11); }
  virtual void Position12() { Unsupported("user stats", 12); }
  virtual void Position13() { Unsupported("user stats", 13); }
  virtual void Position14() { Unsupported("user stats", 14); }
  virtual void Position15() { Unsupported("user stats", 15); }
  virtual void Position16() { Unsupported("user stats", 16); }
  virtual void Position17() { Unsupported("user stats", 17); }
  virtual void Position18() { Unsupported("user stats", 18); }
  virtual void Position19() { Unsupported("user stats", 19); }
  virtual void Position20() { Unsupported("user stats", 20); }
  virtual std::uint64_t FindLeaderboard(const char* name) { return Storefront().FindLeaderboard(name); }
  virtual void Position22() { Unsupported("user stats", 22); }
  virtual void Position23() { Unsupported("user stats", 23); }
  virtual void Position24() { Unsupported("user stats", 24); }
  virtual void Position25() { Unsupported("user stats", 25); }
  virtual void Position26() { Unsupported("user stats", 26); }
  virtual void Position27() { Unsupported("user stats", 27); }
  virtual std::uint64_t UploadLeaderboardScore(std::uint64_t board, std::int32_t method, std::int32_t score,
                                               const std::int32_t* details, int detailCount) {
    return Storefront().UploadLeaderboardScore(board, method, score, details, detailCount);
  }
};

class User {
 public:
  virtual void Position0() { Unsupported("user", 0); }
  virtual void Position1() { Unsupported("user", 1); }
  virtual SteamId* GetSteamID(SteamId* result) {
    result->bits = Storefront().UserId();
    return result;
  }
};

class Utils {
 public:
  virtual std::uint32_t GetSecondsSinceAppActive() { return Storefront().SecondsSinceAppActive(); }
  virtual void Position1() { Unsupported("utils", 1); }
  virtual void Position2() { Unsupported("utils", 2); }
  virtual void Position3() { Unsupported("utils", 3); }
  virtual const char* GetIPCountry() { return Storefront().Country(); }
  virtual void Position5() { Unsupported("utils", 5); }
  virtual void Position6() { Unsupported("utils", 6); }
  virtual void Position7() { Unsupported("utils", 7); }
  virtual void Position8() { Unsupported("utils", 8); }
  virtual std::uint32_t GetAppID() { return Storefront().AppId(); }
};

class Friends {
 public:
  virtual const char* GetPersonaName() { return Storefront().PersonaName(); }
};

UserStats g_userStats;  // global
User g_user;            // global
Utils g_utils;          // global
Friends g_friends;      // global

template <class Interface>
Interface* WhileRunning(Interface& object) {
  return Storefront().Running() ? &object : nullptr;
}

}  // namespace
}  // namespace offline

using offline::CallbackObject;
using offline::Storefront;

extern "C" {

bool SteamAPI_Init() noexcept { return Storefront().Init(); }
void SteamAPI_RunCallbacks() noexcept { Storefront().RunCallbacks(); }
void SteamAPI_Shutdown() noexcept { Storefront().Shutdown(); }

void SteamAPI_RegisterCallback(CallbackObject* object, int noticeId) noexcept {
  Storefront().RegisterCallback(object, noticeId);
}
void SteamAPI_RegisterCallResult(CallbackObject* object, std::uint64_t call) noexcept {
  Storefront().RegisterCallResult(object, call);
}
void SteamAPI_UnregisterCallResult(CallbackObject* object, std::uint64_t call) noexcept {
  Storefront().UnregisterCallResult(object, call);
}

const char* SteamAPI_GetSteamInstallPath() noexcept { return Storefront().InstallFolder(); }

void* SteamUser() noexcept { return offline::WhileRunning(offline::g_user); }
void* SteamUserStats() noexcept { return offline::WhileRunning(offline::g_userStats); }
void* SteamUtils() noexcept { return offline::WhileRunning(offline::g_utils); }
void* SteamFriends() noexcept { return offline::WhileRunning(offline::g_friends); }

}  // extern "C"

#ifdef OFFLINE_STOREFRONT_SANITIZER_SUPPRESSIONS
// In one process with the plug-in, the plug-in calls these objects through its own declarations of
// the storefront's classes: the same layout, other classes. The sanitizer's dynamic type check is
// told to let calls on this storefront's objects be, and only those.
extern "C" const char* __ubsan_default_options() {
  return "suppressions=" OFFLINE_STOREFRONT_SANITIZER_SUPPRESSIONS;
}
#endif
