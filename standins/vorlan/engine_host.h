// The host engine's side of the binding: a real engine interface record whose function lookup
// answers from a small table of the host's own functions and records every name it is asked for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vorlan {

// One value as game script and the engine entries pass it: 32 bits in the 32-bit product, as wide
// as an address in a 64-bit build, so that the addresses it carries pass whole.
using ScriptValue = std::intptr_t;

// The engine interface record, valid for the life of the process.
const void* EngineInterfaceRecord();

// Every name the function lookup was asked for, in the order of the requests.
const std::vector<std::string>& FunctionRequests();

}  // namespace vorlan
