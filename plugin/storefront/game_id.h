// The game's storefront game id: its application number, set when the plug-in is built.
#pragma once

#include <cstdint>

namespace kelvo::storefront {

// The application number sits in the low 24 bits; the other 40 bits stay 0, so the whole id
// equals the number.
constexpr std::uint64_t kGameId = GAME_APP_ID;
static_assert(kGameId > 0 && kGameId < (std::uint64_t{1} << 24),
              "the application number must fit the game id's low 24 bits");

}  // namespace kelvo::storefront
