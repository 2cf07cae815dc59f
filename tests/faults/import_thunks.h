// The thunks that stand in for a watched module's imports (import_thunks_*.S) and what they call.
// Included by the assembly too, so only what the preprocessor can read outside C++.
#pragma once

// How many calls can be watched: the module's imports, the functions it looks up by name and the
// interface operations it is handed.
#define FAULT_THUNK_COUNT 1024

#ifdef __cplusplus
#include <cstdint>

// A call made to fail: the answer, its high half where the answer is wider than a register (a
// 64-bit answer on 32-bit x86), and the argument bytes the function removes from the stack.
struct FailedCall {
  std::uintptr_t result;
  std::uintptr_t resultHigh;
  std::uintptr_t argumentBytes;
};

extern "C" {
extern void* const fault_thunks[FAULT_THUNK_COUNT];  // thunk n's address
extern void* fault_originals[FAULT_THUNK_COUNT];     // where thunk n passes a call that goes through
// Whether the call that entered thunk n from `returnAddress` fails: null to let it through, else
// its answer. `arguments` holds the call's arguments, one machine word each.
const FailedCall* fault_decide(std::uintptr_t n, void* returnAddress, std::uintptr_t* arguments);
}
#endif
