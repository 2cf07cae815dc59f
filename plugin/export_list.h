// The plug-in's exports, written once. Ordinal n is the n-th entry: the first 22 run in the
// byte-wise order of their names, and a new export is appended so that no ordinal ever given
// changes. The module-definition file, the export-table check, the fuzzer's dispatch and the
// test of missing names are all made from this list.
//
//   X(name, result, parameters, answer for a STRING argument that names nothing)
//
// A STRING argument that is null, or whose character pointer is null, names nothing: such a call
// does not reach the storefront and answers the last column. NO_NAME marks exports without a
// STRING argument.
#pragma once

#define KELVO_EXPORT_LIST(X)                                                                   \
  X(A6_DLLAPI, std::int32_t, (const kelvo::engine::EngineInterface* engine), NO_NAME)          \
  X(auflip, kelvo::HostObject*, (kelvo::HostObject * object), NO_NAME)                         \
  X(say_hello, std::int32_t, (), NO_NAME)                                                      \
  X(start_steam, std::int32_t, (), NO_NAME)                                                    \
  X(steam_add_stat, kelvo::var, (const kelvo::STRING* name), 0)                                \
  X(steam_callback, kelvo::var, (), NO_NAME)                                                   \
  X(steam_country, std::int32_t, (), NO_NAME)                                                  \
  X(steam_gameid, kelvo::var, (), NO_NAME)                                                     \
  X(steam_get_ach, kelvo::var, (const kelvo::STRING* name), 0)                                 \
  X(steam_get_stat, kelvo::var, (const kelvo::STRING* name), 0)                                \
  X(steam_init, kelvo::var, (), NO_NAME)                                                       \
  X(steam_record, std::int32_t, (), NO_NAME)                                                   \
  X(steam_record_abre, kelvo::var, (), NO_NAME)                                                \
  X(steam_record_abre_level, kelvo::var, (kelvo::var level), NO_NAME)                          \
  X(steam_record_add, kelvo::var, (kelvo::var score), NO_NAME)                                 \
  X(steam_reset, kelvo::var, (const kelvo::STRING* name), 0)                                   \
  X(steam_stats, kelvo::var, (), NO_NAME)                                                      \
  X(steam_stop, kelvo::var, (), NO_NAME)                                                       \
  X(steam_store, std::int32_t, (const kelvo::STRING* name), 0)                                 \
  X(steam_store_stat, kelvo::var, (const kelvo::STRING* name, std::int32_t value), 0)          \
  X(steam_time, kelvo::var, (), NO_NAME)                                                       \
  X(steam_user, kelvo::var, (), NO_NAME)
