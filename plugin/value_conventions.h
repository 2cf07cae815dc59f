// How numbers and strings cross between game script and the plug-in. Every export converts
// through these, so that all of them agree.
#pragma once

#include <cstddef>
#include <cstdint>

#include "address_width_layout.h"

namespace kelvo {

// The host's number: a signed 32-bit integer read as fixed point with 10 fraction bits.
using var = std::int32_t;

// The host's string record. Only the character pointer (at byte offset 12 in the 32-bit product)
// is ours to read.
struct STRING {
  std::int32_t hostFields[3];
  const char* chars;
};
static_assert(offsetof(STRING, chars) == layout::kThisBuild.stringChars, "the character pointer's offset");

// A host object record as script hands it to auflip. Only the var at byte offset 36 is ours.
struct HostObject {
  std::int32_t hostFields[9];
  var value;
};
static_assert(offsetof(HostObject, value) == 36, "the var field sits at byte offset 36");

// The answer for a product that does not fit a var (or is not a number).
constexpr var kVarOutOfRange = INT32_MIN;

// V1: an integer or truth value to var, as a 32-bit left shift by 10 bits (high bits drop out).
constexpr var VarFromInt(std::int32_t n) {
  return static_cast<var>(static_cast<std::uint32_t>(n) << 10);
}

// V2: a floating-point value to var: times 1024 in double precision, truncated toward zero.
constexpr var VarFromReal(double x) {
  const double product = x * 1024.0;
  // Negated test so that NaN lands here too; truncation keeps everything above -2^31-1 in range.
  if (!(product > -2147483649.0 && product < 2147483648.0)) return kVarOutOfRange;
  return static_cast<var>(product);
}

// V2 for unsigned counts: the full range 0 to 4294967295 is kept, never read as negative. Exactly
// VarFromReal of the count (whose product is exact in double precision and fits from 0 up to
// 2097151), in integer arithmetic: on x86-32 the floating-point path costs several nanoseconds.
constexpr var VarFromUnsigned(std::uint32_t u) {
  return u < 2097152u ? static_cast<var>(u << 10) : kVarOutOfRange;
}
static_assert(VarFromUnsigned(0u) == VarFromReal(0.0) && VarFromUnsigned(2097151u) == VarFromReal(2097151.0) &&
              VarFromUnsigned(2097152u) == VarFromReal(2097152.0) &&
              VarFromUnsigned(4294967295u) == VarFromReal(4294967295.0));

// V3: a var argument to its integer part, rounding toward minus infinity (arithmetic shift).
constexpr std::int32_t IntFromVar(var raw) { return raw >> 10; }

// V4: a STRING argument to its text; null when there is no record or it holds no characters.
inline const char* TextOf(const STRING* string) { return string ? string->chars : nullptr; }

}  // namespace kelvo
