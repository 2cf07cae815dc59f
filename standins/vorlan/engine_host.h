// The host engine's side of the binding: a real engine interface record whose function lookup
// answers from a small table of the host's own functions and records every name it is asked for.
#pragma once

#include <string>
#include <vector>

namespace vorlan {

// The engine interface record, valid for the life of the process.
const void* EngineInterfaceRecord();

// Every name the function lookup was asked for, in the order of the requests.
const std::vector<std::string>& FunctionRequests();

}  // namespace vorlan
