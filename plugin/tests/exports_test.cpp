#include "exports.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

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

// The answer of an export given a STRING that names nothing; none for an export without a
// STRING argument.
template <auto Export>
std::optional<long long> AnswerWithoutName(const STRING* name) {
  using Function = decltype(Export);
  if constexpr (std::is_invocable_v<Function, const STRING*>) {
    return Export(name);
  } else if constexpr (std::is_invocable_v<Function, const STRING*, std::int32_t>) {
    return Export(name, 5120);
  } else {
    return std::nullopt;
  }
}

// A name that is missing, or holds no characters, must never be read through; every export that
// takes one answers what the export list says, and only those exports have such an answer.
TEST(Exports, AnswerTheListedValueForAMissingName) {
  const STRING noCharacters{{0, 0, 0}, nullptr};
  for (const STRING* name : {static_cast<const STRING*>(nullptr), &noCharacters}) {
#define NO_NAME std::nullopt
#define EXPECT_LISTED_ANSWER(export_name, result, parameters, unnamed) \
  EXPECT_EQ(AnswerWithoutName<&export_name>(name), std::optional<long long>(unnamed)) << #export_name;
    KELVO_EXPORT_LIST(EXPECT_LISTED_ANSWER)
#undef EXPECT_LISTED_ANSWER
#undef NO_NAME
  }
}

// The module-definition file the library is linked with pins every export of the list, and only
// those, to its place in the list.
TEST(Exports, ModuleDefinitionPinsEachListedExportToItsPlace) {
  std::vector<std::string> expected = {"LIBRARY kelvo.dll", "EXPORTS"};
#define DEF_LINE(export_name, ...) #export_name,
  const char* const names[] = {KELVO_EXPORT_LIST(DEF_LINE)};
#undef DEF_LINE
  for (std::size_t i = 0; i < kExportCount; ++i) {
    expected.push_back("  " + std::string(names[i]) + " @" + std::to_string(i + 1));
  }

  std::ifstream def(KELVO_DEF_FILE);
  ASSERT_TRUE(def) << KELVO_DEF_FILE;
  std::vector<std::string> lines;
  for (std::string line; std::getline(def, line);) lines.push_back(line);
  EXPECT_EQ(lines, expected);
}

// say_hello's raw 1 is checked with the diagnostic files, which it needs.
TEST(Exports, FixedAnswersKeepTheirScale) {
  EXPECT_EQ(steam_callback(), 1024);
  EXPECT_EQ(steam_stop(), 1024);
}

}  // namespace
}  // namespace kelvo
