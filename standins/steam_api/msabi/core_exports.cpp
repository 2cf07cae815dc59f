// offline_storefront_core.dll: the offline storefront's core behind a plain C interface, for a face
// built by another compiler. Callback objects stay the caller's: the core reaches them only through
// the calls their face hands over with each registration.
#include <cstring>
#include <map>
#include <memory>

#include "core_interface.h"
#include "process_storefront.h"

namespace offline {
namespace {

// The core's view of one caller's callback object. It forwards the core's calls to the face that
// registered the object and mirrors the two fields the library keeps into the caller's object,
// where the caller (and a debugger) expects them: before every call into the object, since the
// core may have released a registration just before (a completion it then finds the object
// cannot take still ends the registration).
class ForeignObject final : public CallbackObject {
 public:
  ForeignObject(void* object, const OfflineCallbackCalls& calls) : object_(static_cast<unsigned char*>(object)),
                                                                    calls_(calls) {
    flags = 0;
    noticeId = 0;
  }

  void RunCompletion(void* record, bool ioFailure, std::uint64_t call) override {
    Publish();
    calls_.runCompletion(object_, record, ioFailure ? 1 : 0, call);
  }
  void RunNotice(void* record) override {
    Publish();
    calls_.runNotice(object_, record);
  }
  int RecordSizeBytes() override {
    Publish();
    return calls_.recordSizeBytes(object_);
  }

  void Use(const OfflineCallbackCalls& calls) { calls_ = calls; }
  // A call-result object names its record's id itself.
  void AdoptNoticeId() { std::memcpy(&noticeId, object_ + kNoticeIdOffset, sizeof noticeId); }
  void Publish() {
    std::memcpy(object_ + kFlagsOffset, &flags, sizeof flags);
    std::memcpy(object_ + kNoticeIdOffset, &noticeId, sizeof noticeId);
  }

 private:
  static constexpr std::size_t kFlagsOffset = standin::layout::kThisBuild.callbackFlags;
  static constexpr std::size_t kNoticeIdOffset = standin::layout::kThisBuild.callbackNoticeId;

  unsigned char* object_;
  OfflineCallbackCalls calls_;
};

// One stand-in per caller object for the life of the process, as the core keeps registrations.
std::map<void*, std::unique_ptr<ForeignObject>>& ForeignObjects() {
  static std::map<void*, std::unique_ptr<ForeignObject>> objects;  // global
  return objects;
}

ForeignObject* Register(void* object, const OfflineCallbackCalls* calls) {
  if (object == nullptr || calls == nullptr) return nullptr;
  auto& slot = ForeignObjects()[object];
  if (slot == nullptr)
    slot = std::make_unique<ForeignObject>(object, *calls);
  else
    slot->Use(*calls);
  return slot.get();
}

ForeignObject* Registered(void* object) {
  const auto found = ForeignObjects().find(object);
  return found == ForeignObjects().end() ? nullptr : found->second.get();
}

}  // namespace
}  // namespace offline

using offline::Storefront;

extern "C" {

int32_t OFFLINE_CORE_CALL offline_init(void) noexcept { return Storefront().Init(); }
void OFFLINE_CORE_CALL offline_run_callbacks(void) noexcept { Storefront().RunCallbacks(); }
void OFFLINE_CORE_CALL offline_shutdown(void) noexcept { Storefront().Shutdown(); }
int32_t OFFLINE_CORE_CALL offline_running(void) noexcept { return Storefront().Running(); }

void OFFLINE_CORE_CALL offline_register_callback(void* object, int32_t noticeId,
                                                 const OfflineCallbackCalls* calls) noexcept {
  offline::ForeignObject* foreign = offline::Register(object, calls);
  if (foreign == nullptr) return;
  Storefront().RegisterCallback(foreign, noticeId);
  foreign->Publish();
}

void OFFLINE_CORE_CALL offline_register_call_result(void* object, uint64_t call,
                                                    const OfflineCallbackCalls* calls) noexcept {
  offline::ForeignObject* foreign = offline::Register(object, calls);
  if (foreign == nullptr) return;
  foreign->AdoptNoticeId();
  Storefront().RegisterCallResult(foreign, call);
  foreign->Publish();
}

void OFFLINE_CORE_CALL offline_unregister_call_result(void* object, uint64_t call) noexcept {
  offline::ForeignObject* foreign = offline::Registered(object);
  if (foreign == nullptr) return;
  Storefront().UnregisterCallResult(foreign, call);
  foreign->Publish();
}

const char* OFFLINE_CORE_CALL offline_install_folder(void) noexcept { return Storefront().InstallFolder(); }

int32_t OFFLINE_CORE_CALL offline_request_current_stats(void) noexcept { return Storefront().RequestCurrentStats(); }
int32_t OFFLINE_CORE_CALL offline_get_stat_float(const char* name, float* value) noexcept {
  return Storefront().GetStat(name, value);
}
int32_t OFFLINE_CORE_CALL offline_get_stat_int32(const char* name, int32_t* value) noexcept {
  return Storefront().GetStat(name, value);
}
int32_t OFFLINE_CORE_CALL offline_set_stat_float(const char* name, float value) noexcept {
  return Storefront().SetStat(name, value);
}
int32_t OFFLINE_CORE_CALL offline_set_stat_int32(const char* name, int32_t value) noexcept {
  return Storefront().SetStat(name, value);
}
int32_t OFFLINE_CORE_CALL offline_get_achievement(const char* name, uint8_t* unlocked) noexcept {
  return Storefront().GetAchievement(name, unlocked);
}
int32_t OFFLINE_CORE_CALL offline_set_achievement(const char* name) noexcept { return Storefront().SetAchievement(name); }
int32_t OFFLINE_CORE_CALL offline_clear_achievement(const char* name) noexcept {
  return Storefront().ClearAchievement(name);
}
int32_t OFFLINE_CORE_CALL offline_store_stats(void) noexcept { return Storefront().StoreStats(); }
uint64_t OFFLINE_CORE_CALL offline_find_leaderboard(const char* name) noexcept {
  return Storefront().FindLeaderboard(name);
}
uint64_t OFFLINE_CORE_CALL offline_upload_leaderboard_score(uint64_t board, int32_t method, int32_t score,
                                                            const int32_t* details, int32_t detailCount) noexcept {
  return Storefront().UploadLeaderboardScore(board, method, score, details, detailCount);
}

uint64_t OFFLINE_CORE_CALL offline_user_id(void) noexcept { return Storefront().UserId(); }
uint32_t OFFLINE_CORE_CALL offline_seconds_since_app_active(void) noexcept {
  return Storefront().SecondsSinceAppActive();
}
uint32_t OFFLINE_CORE_CALL offline_app_id(void) noexcept { return Storefront().AppId(); }
const char* OFFLINE_CORE_CALL offline_ip_country(void) noexcept { return Storefront().Country(); }
const char* OFFLINE_CORE_CALL offline_persona_name(void) noexcept { return Storefront().PersonaName(); }

void OFFLINE_CORE_CALL offline_unsupported(const char* table, int32_t position) noexcept {
  offline::Unsupported(table, position);
}

}  // extern "C"
