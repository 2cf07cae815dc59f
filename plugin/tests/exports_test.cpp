#include "exports.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

namespace kelvo {
namespace {

TEST(Auflip, WritesOnlyTheVarAtOffset36AndAnswersTheSameRecord) {
  unsigned char record[48];
  std::memset(record, 0xA5, sizeof record);
  auto* object = reinterpret_cast<HostObject*>(record);
  EXPECT_EQ(auflip(object), object);

  std::int32_t value;
  std::memcpy(&value, record + 36, sizeof value);
  EXPECT_EQ(value, 184320);
  for (std::size_t i = 0; i < sizeof record; ++i) {
    if (i >= 36 && i < 40) continue;
    EXPECT_EQ(record[i], 0xA5) << "byte " << i;
  }

  object->value = -5;
  EXPECT_EQ(auflip(object), object);
  EXPECT_EQ(object->value, 184320);
}

TEST(Auflip, NullStaysNull) { EXPECT_EQ(auflip(nullptr), nullptr); }

// A name that is missing, or holds no characters, must never be read through.
TEST(Exports, AnswerTheFailureValueForAMissingName) {
  const STRING noCharacters{{0, 0, 0}, nullptr};
  for (const STRING* name : {static_cast<const STRING*>(nullptr), &noCharacters}) {
    EXPECT_EQ(steam_add_stat(name), 0);
    EXPECT_EQ(steam_get_ach(name), 0);
    EXPECT_EQ(steam_get_stat(name), 0);
    EXPECT_EQ(steam_reset(name), 0);
    EXPECT_EQ(steam_store(name), 0);
    EXPECT_EQ(steam_store_stat(name, 5120), 0);
  }
}

// say_hello's raw 1 is checked with the diagnostic files, which it needs.
TEST(Exports, FixedAnswersKeepTheirScale) {
  EXPECT_EQ(steam_callback(), 1024);
  EXPECT_EQ(steam_stop(), 1024);
}

}  // namespace
}  // namespace kelvo
