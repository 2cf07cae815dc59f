#include "exports.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "expected_exports.h"
#include "support/kit_files.h"

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

// The export list's names in list order: ordinal n is the n-th.
#define EXPORT_NAME(export_name, ...) #export_name,
const std::vector<std::string> kListedNames = {KELVO_EXPORT_LIST(EXPORT_NAME)};
#undef EXPORT_NAME

// The names sorted byte by byte: the n-th is the name that ordinal n must have.
std::vector<std::string> InByteOrder(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());  // std::string compares as unsigned bytes
  return names;
}

// The export list, entry by entry, against the exports the library must have: each at its
// ordinal, and the ordinals running in the byte-wise order of the names.
TEST(Exports, ListHoldsEachExportAtItsOrdinalInTheByteOrderOfTheNames) {
  ASSERT_EQ(kListedNames.size(), std::size(kelvo_expected::kExports));
  std::vector<std::string> expectedNames;
  for (const kelvo_expected::Export& expected : kelvo_expected::kExports) {
    EXPECT_EQ(kListedNames[expected.ordinal - 1], expected.name) << "ordinal " << expected.ordinal;
    expectedNames.push_back(expected.name);
  }
  EXPECT_EQ(InByteOrder(expectedNames), expectedNames) << "the expected ordinals follow the names' byte order";

  const std::vector<std::string> byteOrder = InByteOrder(kListedNames);
  for (std::size_t i = 0; i < kListedNames.size(); ++i) {
    EXPECT_EQ(kListedNames[i], byteOrder[i]) << "ordinal " << i + 1 << " in the byte order of the names";
  }
}

// The module-definition file the library is linked with pins every expected export, and only
// those, to its ordinal.
TEST(Exports, ModuleDefinitionPinsEachExportToItsOrdinal) {
  std::vector<std::string> expected = {"LIBRARY kelvo.dll", "EXPORTS"};
  for (const kelvo_expected::Export& listed : kelvo_expected::kExports)
    expected.push_back("  " + std::string(listed.name) + " @" + std::to_string(listed.ordinal));

  std::ifstream def(test_support::BuiltFile(KELVO_DEF_FILE));
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
