// The plug-in's export table: what game script (and, for A6_DLLAPI, the host engine) calls.
// Arguments and results are 32-bit values on the stack with the C calling convention.
#pragma once

#include <cstdint>

#include "c_calling_convention.h"
#include "value_conventions.h"

namespace kelvo::engine {
struct EngineInterface;
}

extern "C" {

std::int32_t KELVO_CDECL A6_DLLAPI(const kelvo::engine::EngineInterface* engine) noexcept;
kelvo::HostObject* KELVO_CDECL auflip(kelvo::HostObject* object) noexcept;
std::int32_t KELVO_CDECL say_hello() noexcept;
std::int32_t KELVO_CDECL start_steam() noexcept;
kelvo::var KELVO_CDECL steam_add_stat(const kelvo::STRING* name) noexcept;
kelvo::var KELVO_CDECL steam_callback() noexcept;
std::int32_t KELVO_CDECL steam_country() noexcept;
kelvo::var KELVO_CDECL steam_gameid() noexcept;
kelvo::var KELVO_CDECL steam_get_ach(const kelvo::STRING* name) noexcept;
kelvo::var KELVO_CDECL steam_get_stat(const kelvo::STRING* name) noexcept;
kelvo::var KELVO_CDECL steam_init() noexcept;
std::int32_t KELVO_CDECL steam_record() noexcept;
kelvo::var KELVO_CDECL steam_record_abre() noexcept;
kelvo::var KELVO_CDECL steam_record_abre_level(kelvo::var level) noexcept;
kelvo::var KELVO_CDECL steam_record_add(kelvo::var score) noexcept;
kelvo::var KELVO_CDECL steam_reset(const kelvo::STRING* name) noexcept;
kelvo::var KELVO_CDECL steam_stats() noexcept;
kelvo::var KELVO_CDECL steam_stop() noexcept;
std::int32_t KELVO_CDECL steam_store(const kelvo::STRING* name) noexcept;
kelvo::var KELVO_CDECL steam_store_stat(const kelvo::STRING* name, std::int32_t value) noexcept;
kelvo::var KELVO_CDECL steam_time() noexcept;
kelvo::var KELVO_CDECL steam_user() noexcept;

}  // extern "C"
