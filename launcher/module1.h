#pragma once
#include <cstdint>

// The launcher's one piece of shared state.
namespace Module1 {

// Settings-changed flag: 0 at start, set to 1 by every change notification, never reset.
extern int16_t g_settingsChanged;  // global

}  // namespace Module1
