// The table of documented failures: its argument sizes against the system's import libraries,
// which declare each 32-bit stdcall function with the bytes it removes (name@bytes), and the
// entries that depend on a call's arguments.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>

#include "documented_failures.h"

namespace {

using fault_injection::FindFailure;
using fault_injection::FindMisuse;

// The stdcall functions the import library of `dll` declares, with their argument bytes.
std::map<std::string, int> DeclaredArgumentBytes(const std::string& dll) {
  std::string library = dll.substr(0, dll.find('.'));
  for (char& c : library) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const std::string command = std::string(MINGW_I686_NM) + " " + MINGW_I686_LIBRARIES + "/lib" + library + ".a 2>/dev/null";
  std::map<std::string, int> declared;
  std::FILE* symbols = popen(command.c_str(), "r");
  if (!symbols) return declared;
  char line[512];
  while (std::fgets(line, sizeof line, symbols)) {
    const std::string text(line);
    const std::size_t name = text.find("__imp__"), at = text.rfind('@');
    if (name == std::string::npos || at == std::string::npos || at < name) continue;
    declared[text.substr(name + 7, at - name - 7)] = std::stoi(text.substr(at + 1));
  }
  pclose(symbols);
  return declared;
}

TEST(DocumentedFailures, ArgumentBytesAreThoseTheImportLibrariesDeclare) {
  const std::set<std::string> cdeclLibraries = {"msvcrt.dll", "steam_api.dll"};
  // Exported by 64-bit Windows only, where no function removes its arguments.
  const std::set<std::string> only64Bit = {"USER32.dll!SetWindowLongPtrA"};
  const auto table = fault_injection::AllFailures();
  std::map<std::string, std::map<std::string, int>> declaredBy;
  int checked = 0;
  for (std::size_t i = 0; i < table.count; ++i) {
    const auto& failure = table.entries[i];
    const std::string import(failure.import);
    const std::size_t bang = import.find('!');
    if (bang == std::string::npos) continue;  // an interface operation: no import library declares it
    const std::string dll = import.substr(0, bang), function = import.substr(bang + 1);
    if (only64Bit.count(import)) continue;
    if (cdeclLibraries.count(dll)) {
      EXPECT_EQ(failure.argumentBytes, 0) << import << ": the caller removes the arguments";
      continue;
    }
    if (!declaredBy.count(dll)) declaredBy[dll] = DeclaredArgumentBytes(dll);
    const auto declared = declaredBy[dll].find(function);
    if (declared == declaredBy[dll].end()) {
      ADD_FAILURE() << import << " is not declared by the import library of " << dll;
      continue;
    }
    EXPECT_EQ(failure.argumentBytes, declared->second) << import;
    ++checked;
  }
  EXPECT_GT(checked, 50);
}

TEST(DocumentedFailures, ModuleNamesCompareWithoutCaseAndMessagesChooseTheEntry) {
  std::uintptr_t addString[4] = {1, 0x143, 0, 0};     // CB_ADDSTRING
  std::uintptr_t setHeight[4] = {1, 0x153, 0, 0};     // CB_SETITEMHEIGHT
  std::uintptr_t getSelection[4] = {1, 0x147, 0, 0};  // CB_GETCURSEL: every answer is a valid one
  ASSERT_NE(FindFailure("user32.dll!SendMessageA", addString), nullptr);
  EXPECT_EQ(FindFailure("USER32.dll!SendMessageA", addString)->result, -2);
  EXPECT_EQ(FindFailure("USER32.dll!SendMessageA", setHeight)->result, -1);
  EXPECT_EQ(FindFailure("USER32.dll!SendMessageA", getSelection), nullptr);
  EXPECT_EQ(FindFailure("KERNEL32.dll!GetLastError", getSelection), nullptr);
}

TEST(DocumentedFailures, NullObjectsWhereTheSystemNeedsOnesAreMisuses) {
  std::uintptr_t nullWindow[4] = {0, 0x147, 0, 0};
  std::uintptr_t window[4] = {0x10020, 0x147, 0, 0};
  std::uintptr_t nullSource[9] = {0x1, 0, 0, 10, 10, 0, 0, 0, 0xCC0020};
  ASSERT_NE(FindMisuse("USER32.dll!SendMessageA", nullWindow), nullptr);
  EXPECT_EQ(FindMisuse("USER32.dll!SendMessageA", nullWindow)->what, "a null window");
  EXPECT_EQ(FindMisuse("USER32.dll!SendMessageA", window), nullptr);
  ASSERT_NE(FindMisuse("GDI32.dll!BitBlt", nullSource), nullptr);
  EXPECT_EQ(FindMisuse("GDI32.dll!BitBlt", nullSource)->what, "a null source device context");
}

}  // namespace
