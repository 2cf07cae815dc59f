// The library's exports with their ordinals, written out once more for the tests, by hand and not
// from the export list.
#pragma once

namespace kelvo_expected {

struct Export {
  int ordinal;
  const char* name;
};
constexpr Export kExports[] = {
    {1, "A6_DLLAPI"},
    {2, "auflip"},
    {3, "say_hello"},
    {4, "start_steam"},
    {5, "steam_add_stat"},
    {6, "steam_callback"},
    {7, "steam_country"},
    {8, "steam_gameid"},
    {9, "steam_get_ach"},
    {10, "steam_get_stat"},
    {11, "steam_init"},
    {12, "steam_record"},
    {13, "steam_record_abre"},
    {14, "steam_record_abre_level"},
    {15, "steam_record_add"},
    {16, "steam_reset"},
    {17, "steam_stats"},
    {18, "steam_stop"},
    {19, "steam_store"},
    {20, "steam_store_stat"},
    {21, "steam_time"},
    {22, "steam_user"},
};

}  // namespace kelvo_expected
