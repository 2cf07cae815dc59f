#pragma once
// The offline storefront's core as a plain C interface, exported by offline_storefront_core.dll.
// Both sides of it may be built by different compilers with different C++ conventions, so only
// C functions with the C calling convention and plain types cross it: truth values as 32-bit
// numbers (0 = false), whose upper bits no compiler leaves undefined; no classes, no memory handed
// over for the other side to free. Nothing is thrown across it.
#include <stdint.h>

#define OFFLINE_CORE_CALL __cdecl

extern "C" {

// How the core reaches a caller's callback object: the face that registered the object knows its
// operation table, the core does not. `object` is the address that was registered.
struct OfflineCallbackCalls {
  void(OFFLINE_CORE_CALL* runCompletion)(void* object, void* record, int32_t ioFailure, uint64_t call);
  void(OFFLINE_CORE_CALL* runNotice)(void* object, void* record);
  int32_t(OFFLINE_CORE_CALL* recordSizeBytes)(void* object);
};

// The library keeps an object's flags byte and notice id (offsets 4 and 8 in the 32-bit product),
// as on every callback object; the core writes them in the caller's object when it registers or releases it.
int32_t OFFLINE_CORE_CALL offline_init(void) noexcept;
void OFFLINE_CORE_CALL offline_run_callbacks(void) noexcept;
void OFFLINE_CORE_CALL offline_shutdown(void) noexcept;
int32_t OFFLINE_CORE_CALL offline_running(void) noexcept;
void OFFLINE_CORE_CALL offline_register_callback(void* object, int32_t noticeId, const OfflineCallbackCalls* calls) noexcept;
void OFFLINE_CORE_CALL offline_register_call_result(void* object, uint64_t call, const OfflineCallbackCalls* calls) noexcept;
void OFFLINE_CORE_CALL offline_unregister_call_result(void* object, uint64_t call) noexcept;
const char* OFFLINE_CORE_CALL offline_install_folder(void) noexcept;

int32_t OFFLINE_CORE_CALL offline_request_current_stats(void) noexcept;
int32_t OFFLINE_CORE_CALL offline_get_stat_float(const char* name, float* value) noexcept;
int32_t OFFLINE_CORE_CALL offline_get_stat_int32(const char* name, int32_t* value) noexcept;
int32_t OFFLINE_CORE_CALL offline_set_stat_float(const char* name, float value) noexcept;
int32_t OFFLINE_CORE_CALL offline_set_stat_int32(const char* name, int32_t value) noexcept;
int32_t OFFLINE_CORE_CALL offline_get_achievement(const char* name, uint8_t* unlocked) noexcept;
int32_t OFFLINE_CORE_CALL offline_set_achievement(const char* name) noexcept;
int32_t OFFLINE_CORE_CALL offline_clear_achievement(const char* name) noexcept;
int32_t OFFLINE_CORE_CALL offline_store_stats(void) noexcept;
uint64_t OFFLINE_CORE_CALL offline_find_leaderboard(const char* name) noexcept;
uint64_t OFFLINE_CORE_CALL offline_upload_leaderboard_score(uint64_t board, int32_t method, int32_t score,
                                                            const int32_t* details, int32_t detailCount) noexcept;

uint64_t OFFLINE_CORE_CALL offline_user_id(void) noexcept;
uint32_t OFFLINE_CORE_CALL offline_seconds_since_app_active(void) noexcept;
uint32_t OFFLINE_CORE_CALL offline_app_id(void) noexcept;
const char* OFFLINE_CORE_CALL offline_ip_country(void) noexcept;
const char* OFFLINE_CORE_CALL offline_persona_name(void) noexcept;

// Reports the operation at `position` of `table` as not offered and ends the process.
void OFFLINE_CORE_CALL offline_unsupported(const char* table, int32_t position) noexcept;

}  // extern "C"
