// What each call the products make answers when it fails, as the platform documents it: the
// result, the last error and errno it leaves, and what else a failure does. A call that is not
// listed, or whose arguments no entry accepts, has no failure to give (it returns nothing, or
// cannot fail, or its every answer is a valid one) and is only counted.
#pragma once

#include <cstdint>
#include <string_view>

namespace fault_injection {

// What a failing call does besides answering.
enum class Effect {
  kAnswerOnly,          // the function is not entered
  kStreamError,         // not entered; the C runtime stream among the arguments gets its error mark
  kStreamClosedAnyway,  // fclose: the stream is closed all the same, and the close answers failure
  kHandleClosedAnyway,  // CloseHandle: the handle is closed all the same (a write it held back failed)
};

struct DocumentedFailure {
  std::string_view import;     // "DLL!function", or "Interface::operation" for a storefront interface
  std::uint16_t argumentBytes; // 32-bit x86: the argument bytes the function removes (stdcall, thiscall)
  std::intptr_t result;        // the answer; a 64-bit answer on 32-bit x86 has a high half of 0
  std::uint32_t lastError;     // kLastErrorKept: as it was
  int errorNumber;             // errno; 0: as it was
  Effect effect;
  std::uint8_t streamArgument; // kStreamError, k...ClosedAnyway: which argument is the stream or handle
  // Whether this entry covers a call with these arguments; null: every call.
  bool (*covers)(const std::uintptr_t* arguments);
  std::string_view answer;     // the answer as the campaign table shows it
};

constexpr std::uint32_t kLastErrorKept = 0xFFFFFFFFu;

// The failure of a call of `import` with `arguments`, or null when it has none.
const DocumentedFailure* FindFailure(std::string_view import, const std::uintptr_t* arguments);

// Calls that must be given a real object where they are given a null: a null there is a failed
// result used as if it had succeeded.
struct NeedsObject {
  std::string_view import;
  std::uint8_t argument;
  std::string_view what;  // "a null window"
};

// The first argument of a call of `import` that is null where it must not be, or null.
const NeedsObject* FindMisuse(std::string_view import, const std::uintptr_t* arguments);

// The whole table, for the check of its argument sizes against the system's import libraries.
struct FailureTable {
  const DocumentedFailure* entries;
  std::size_t count;
};
FailureTable AllFailures();

}  // namespace fault_injection
