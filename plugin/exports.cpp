// The exports of export_list.h. Each converts its arguments and its answer by the value
// conventions and hands the work to the engine binding or to the storefront side. A STRING
// argument that names nothing answers the value the list gives it.
//
// While the storefront is not running (never started, its start failed, or after steam_stop)
// its interfaces are unavailable. Nothing is then asked of them, the shared stat value and
// achievement flag keep what they hold, and the exports answer:
//
//   steam_add_stat                         the shared stat value, not counted up
//   steam_get_ach                          the shared achievement flag
//   steam_get_stat                         the shared stat value
//   steam_reset, steam_store_stat          0 (false)
//   steam_store                            0 (its only answer)
//   steam_stats                            0 (false)
//   steam_record_abre                      as usual; the lookup finds no board
//   steam_record_abre_level                as usual; the lookup finds no board
//   steam_record_add                       the var 3: no score is sent
//   steam_user, steam_time, steam_gameid   0
//   steam_country                          raw 0: the file is not touched
//
// steam_country and say_hello answer the raw 0, and leave their file as it was, when it cannot be
// written whole; steam_init, start_steam, steam_stop, steam_callback and steam_record answer as
// usual. When memory runs out, steam_init goes without the object it cannot make (the leaderboard
// exports then answer the var 1) and start_steam answers as a failed start.
#include "exports.h"

#include "engine/engine_binding.h"
#include "storefront/player_information.h"
#include "storefront/storefront_bridge.h"

using kelvo::HostObject;
using kelvo::IntFromVar;
using kelvo::STRING;
using kelvo::TextOf;
using kelvo::var;
using kelvo::VarFromInt;
using kelvo::VarFromReal;
using kelvo::VarFromUnsigned;
namespace storefront = kelvo::storefront;

namespace {

// The value auflip leaves in a host object: 180 as a var.
constexpr var kFlippedValue = VarFromInt(180);

}  // namespace

extern "C" {

// Binds the host engine; 630 once bound.
std::int32_t KELVO_CDECL A6_DLLAPI(const kelvo::engine::EngineInterface* engine) noexcept {
  return kelvo::engine::Bind(engine);
}

// Sets the object's var to 180 and answers the object; null stays null.
HostObject* KELVO_CDECL auflip(HostObject* object) noexcept {
  if (object) object->value = kFlippedValue;
  return object;
}

std::int32_t KELVO_CDECL say_hello() noexcept { return storefront::WriteGreetingFile() ? 1 : 0; }

std::int32_t KELVO_CDECL start_steam() noexcept {
  return storefront::StartSteam() ? 0 : VarFromInt(-1);
}

var KELVO_CDECL steam_add_stat(const STRING* name) noexcept {
  const char* text = TextOf(name);
  return text ? VarFromReal(storefront::AddToStat(text)) : 0;
}

var KELVO_CDECL steam_callback() noexcept {
  storefront::RunCallbacks();
  return VarFromInt(1);
}

std::int32_t KELVO_CDECL steam_country() noexcept { return storefront::WriteCountryFile() ? 1 : 0; }

var KELVO_CDECL steam_gameid() noexcept { return VarFromUnsigned(storefront::AppId()); }

var KELVO_CDECL steam_get_ach(const STRING* name) noexcept {
  const char* text = TextOf(name);
  return text ? VarFromInt(storefront::GetAchievement(text)) : 0;
}

var KELVO_CDECL steam_get_stat(const STRING* name) noexcept {
  const char* text = TextOf(name);
  return text ? VarFromReal(storefront::GetStat(text)) : 0;
}

var KELVO_CDECL steam_init() noexcept { return VarFromInt(storefront::SteamInit()); }

// Does nothing; its answer means nothing to script.
std::int32_t KELVO_CDECL steam_record() noexcept { return 0; }

var KELVO_CDECL steam_record_abre() noexcept {
  return VarFromInt(storefront::OpenMainLeaderboard());
}

var KELVO_CDECL steam_record_abre_level(var level) noexcept {
  return VarFromInt(storefront::OpenLevelLeaderboard(IntFromVar(level)));
}

var KELVO_CDECL steam_record_add(var score) noexcept {
  return VarFromInt(storefront::SubmitScore(IntFromVar(score)));
}

var KELVO_CDECL steam_reset(const STRING* name) noexcept {
  const char* text = TextOf(name);
  return text ? VarFromInt(storefront::ResetAchievement(text)) : 0;
}

var KELVO_CDECL steam_stats() noexcept { return VarFromInt(storefront::RequestStats()); }

var KELVO_CDECL steam_stop() noexcept {
  storefront::SteamStop();
  return VarFromInt(1);
}

std::int32_t KELVO_CDECL steam_store(const STRING* name) noexcept {
  if (const char* text = TextOf(name)) storefront::StoreAchievement(text);
  return 0;
}

// The value is a plain integer and reaches the storefront unscaled.
var KELVO_CDECL steam_store_stat(const STRING* name, std::int32_t value) noexcept {
  const char* text = TextOf(name);
  return text ? VarFromInt(storefront::StoreStat(text, value)) : 0;
}

var KELVO_CDECL steam_time() noexcept {
  return VarFromUnsigned(storefront::SecondsSinceAppActive());
}

var KELVO_CDECL steam_user() noexcept { return VarFromUnsigned(storefront::AccountNumber()); }

}  // extern "C"
