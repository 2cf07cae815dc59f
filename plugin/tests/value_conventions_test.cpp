#include "value_conventions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace kelvo {
namespace {

TEST(VarFromInt, ShiftsByTenBitsAndWrapsLikeThe32BitShift) {
  EXPECT_EQ(VarFromInt(true), 1024);
  EXPECT_EQ(VarFromInt(false), 0);
  EXPECT_EQ(VarFromInt(21), 21504);
  EXPECT_EQ(VarFromInt(-1), -1024);
  EXPECT_EQ(VarFromInt(2097151), 2147482624);
  EXPECT_EQ(VarFromInt(-2097152), INT32_MIN);
  // Past the var range the high bits drop out, as in the 32-bit shift.
  EXPECT_EQ(VarFromInt(2097152), INT32_MIN);
  EXPECT_EQ(VarFromInt(INT32_MAX), -1024);
}

TEST(VarFromReal, TruncatesTowardZero) {
  EXPECT_EQ(VarFromReal(2.5), 2560);
  EXPECT_EQ(VarFromReal(-0.3), -307);
  EXPECT_EQ(VarFromReal(0.0001), 0);
  EXPECT_EQ(VarFromReal(-0.0001), 0);
  EXPECT_EQ(VarFromReal(0.3f), 307);  // the single-precision stat value, taken exactly
  EXPECT_EQ(VarFromReal(3.5f), 3584);
}

TEST(VarFromReal, AnswersTheLowestVarOutsideTheRangeAndForNaN) {
  EXPECT_EQ(VarFromReal(2097151.999), 2147483646);
  EXPECT_EQ(VarFromReal(2147483647.0 / 1024.0), INT32_MAX);
  EXPECT_EQ(VarFromReal(2097152.0), INT32_MIN);
  EXPECT_EQ(VarFromReal(3000000.0f), INT32_MIN);
  EXPECT_EQ(VarFromReal(-2097152.0), INT32_MIN);
  EXPECT_EQ(VarFromReal(-2097152.0009765625), INT32_MIN);
  EXPECT_EQ(VarFromReal(-2097153.0), INT32_MIN);
  EXPECT_EQ(VarFromReal(std::numeric_limits<double>::quiet_NaN()), INT32_MIN);
  EXPECT_EQ(VarFromReal(std::numeric_limits<double>::infinity()), INT32_MIN);
  EXPECT_EQ(VarFromReal(-std::numeric_limits<double>::infinity()), INT32_MIN);
  EXPECT_EQ(VarFromReal(1e300), INT32_MIN);
}

TEST(VarFromUnsigned, KeepsTheFullUnsignedRange) {
  EXPECT_EQ(VarFromUnsigned(1000), 1024000);
  EXPECT_EQ(VarFromUnsigned(2500), 2560000);
  EXPECT_EQ(VarFromUnsigned(2000000), 2048000000);
  EXPECT_EQ(VarFromUnsigned(2097151), 2147482624);
  EXPECT_EQ(VarFromUnsigned(2097152), INT32_MIN);
  EXPECT_EQ(VarFromUnsigned(2147483648u), INT32_MIN);
  EXPECT_EQ(VarFromUnsigned(4294967295u), INT32_MIN);  // never read as -1
}

TEST(IntFromVar, RoundsTowardMinusInfinity) {
  EXPECT_EQ(IntFromVar(2969), 2);
  EXPECT_EQ(IntFromVar(1023), 0);
  EXPECT_EQ(IntFromVar(1024), 1);
  EXPECT_EQ(IntFromVar(1536), 1);
  EXPECT_EQ(IntFromVar(-512), -1);
  EXPECT_EQ(IntFromVar(-1), -1);
  EXPECT_EQ(IntFromVar(-1024), -1);
  EXPECT_EQ(IntFromVar(-1025), -2);
  EXPECT_EQ(IntFromVar(INT32_MAX), 2097151);
  EXPECT_EQ(IntFromVar(INT32_MIN), -2097152);
}

TEST(TextOf, ReadsTheCharacterPointerAtItsOffset) {
  const char* name = "ACH_WIN_ONE_GAME";
  STRING string{{-1, -1, -1}, name};
  EXPECT_EQ(TextOf(&string), name);  // the pointer itself, not a copy
  string.chars = nullptr;
  EXPECT_EQ(TextOf(&string), nullptr);
  EXPECT_EQ(TextOf(nullptr), nullptr);

  // The pointer is read from the record's bytes at the offset the host uses (12 in the 32-bit product).
  alignas(STRING) unsigned char raw[sizeof(STRING)] = {};
  const std::uintptr_t planted = 0x12345678u;
  std::memcpy(raw + layout::kThisBuild.stringChars, &planted, sizeof planted);
  EXPECT_EQ(reinterpret_cast<std::uintptr_t>(TextOf(reinterpret_cast<const STRING*>(raw))), planted);
}

}  // namespace
}  // namespace kelvo
