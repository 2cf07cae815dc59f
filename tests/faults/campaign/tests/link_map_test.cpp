// Call sites named from a linker map: functions in sections of their own (their names wrapped onto
// a second line when long), runtime objects named by their symbols, and addresses outside both.
#include <gtest/gtest.h>

#include <sstream>

#include "link_map.h"

namespace {

using fault_campaign::LinkMap;
using fault_campaign::ShortFunctionName;

constexpr char kMap[] =
    "                0x00400000                        __image_base__ = 0x400000\n"
    ".text           0x00401000    0x13800\n"
    " .text          0x00401000      0x4e0 /usr/lib/gcc/i686-w64-mingw32/12-posix/../lib/crt2.o\n"
    "                0x004014a0                WinMainCRTStartup\n"
    "                0x004014b0                mainCRTStartup\n"
    " .text          0x004015b0       0xc0 /usr/lib/libmingw32.a(lib32_libmingw32_a-gccmain.o)\n"
    " .text$WinMain  0x00406d40      0xd20 CMakeFiles/Starter.dir/objects.a(Starter.cpp.obj)\n"
    "                0x00406d40                WinMain@16\n"
    " .text$_ZN12_GLOBAL__N_112Form1Options12SetLoadTraceESt17basic_string_viewIcSt11char_traitsIcEE\n"
    "                0x00407a60      0x170 CMakeFiles/Starter.dir/objects.a(Starter.cpp.obj)\n"
    " .text$_ZN8launcher10LoadConfigERNS_13LaunchOptionsE\n"
    "                0x00408ac0       0xb0 liblauncher_logic.a(config_files.cpp.obj)\n"
    "                0x00408ac0                launcher::LoadConfig(launcher::LaunchOptions&)\n";

TEST(LinkMap, NamesFunctionsRuntimeSymbolsAndObjects) {
  std::istringstream text(kMap);
  const LinkMap map(text);
  EXPECT_EQ(map.ImageBase(), 0x400000u);
  EXPECT_EQ(map.NameAt(0x7a60 + 0x90), "Form1Options::SetLoadTrace+0x90");
  EXPECT_EQ(map.FunctionAt(0x8ac0 + 0x2f), "launcher::LoadConfig");
  EXPECT_EQ(map.NameAt(0x6d40 + 0xce6), "WinMain+0xce6");
  EXPECT_EQ(map.NameAt(0x14a0 + 4), "WinMainCRTStartup+0x4");
  EXPECT_EQ(map.NameAt(0x1000 + 0x2f0), "crt2.o+0x2f0") << "code before the object's first symbol";
  EXPECT_EQ(map.NameAt(0x15b0 + 8), "gccmain.o+0x8");
  EXPECT_EQ(map.NameAt(0x8ac0 + 0xb0), "?") << "past the last function";
  EXPECT_EQ(map.FunctionAt(0x10), "");
}

TEST(LinkMap, ShortNamesDropParametersAndTheAnonymousNamespace) {
  EXPECT_EQ(ShortFunctionName("(anonymous namespace)::Form1Options::SetToggleState(launcher::Toggle, int)"),
            "Form1Options::SetToggleState");
  EXPECT_EQ(ShortFunctionName("kelvo::storefront::Print(char const*, ...)"), "kelvo::storefront::Print");
  EXPECT_EQ(ShortFunctionName("Make<std::pair<int, int> >(int)"), "Make<std::pair<int, int> >");
  EXPECT_EQ(ShortFunctionName("WinMain@16"), "WinMain@16");
}

}  // namespace
