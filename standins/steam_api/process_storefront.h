#pragma once
// What every face of the offline storefront shares: the one client of the process, and the stop
// for an operation that a face does not offer.
#include "offline_storefront.h"

namespace offline {

// The client of this process, created on first use. Its state file is named by the environment,
// else it lies beside the library that holds this code (in the game's folder).
OfflineStorefront& Storefront();

// The game called an operation it is not expected to use: its declarations are out of step with
// the library, and going on would corrupt its stack. Reports which one and ends the process.
[[noreturn]] void Unsupported(const char* table, int position);

}  // namespace offline
