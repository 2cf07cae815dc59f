// Starts the real Starter.exe in a game folder of its own and drives its window from outside.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "config_files.h"
#include "expected_form1.h"
#include "expected_launch_options.h"
#include "form1_layout.h"
#include "launch_options.h"
#include "process_start_win32.h"
#include "resource.h"
#include "starter_remote.h"
#include "starter_tests.h"
#include "support/files.h"

namespace {

// The launcher's own table tells which controls there are; what each must be comes from the
// expected tables.
namespace form1 = launcher::form1;
namespace expected = launcher_expected;
using form1::ControlKind;
using form1::ControlSpec;
using starter_remote::StarterRun;
using starter_tests::BuiltFile;
using test_support::WaitUntil;

constexpr int kTwipsPerPixel = form1::kTwipsPerInch / 96;  // the test display runs at 96 dots per inch
constexpr int kNarrowWidth = expected::kNarrowOuterWidth;
constexpr int kWideWidth = expected::kWideOuterWidth;

// What the control of this id must be; the test stops when the launcher has a control not listed.
const expected::Control& Expected(int id) {
  const expected::Control* listed = expected::FindControl(id);
  if (!listed) throw std::runtime_error("control " + std::to_string(id) + " is not among the expected controls");
  return *listed;
}

// A fresh game folder for the running test, with an optional "xconfig.dat".
std::string GameFolder(bool withGame, const std::string* config = nullptr) {
  const std::string folder = starter_tests::GameFolder(GAME_ROOT, withGame);
  if (config) test_support::WriteFileBytes(folder + "\\xconfig.dat", *config);
  return folder;
}

std::string ClassName(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

// The window class that a control of this kind is made of, as the system names it.
std::string ClassOf(ControlKind kind) {
  switch (kind) {
    case ControlKind::TextBox: return "Edit";
    case ControlKind::DropDownList: return "ComboBox";
    case ControlKind::Label: return "Static";
    default: return "Button";
  }
}

// The controls on the options panel: on the window, beyond the narrow window's right edge.
std::vector<int> PanelControls() {
  std::vector<int> ids;
  for (const ControlSpec& control : form1::kControls) {
    const expected::Control& listed = Expected(control.id);
    if (listed.parentId == expected::kOnForm && listed.left >= expected::kClientWidth) ids.push_back(control.id);
  }
  return ids;
}

// The X server activates a new window a moment after it is shown, and the focus passes through
// other windows until then: answers where it is once it reaches `expected`, or at the deadline.
HWND WaitForFocus(const StarterRun& run, HWND expected) {
  WaitUntil([&] { return run.FocusedWindow() == expected; });
  return run.FocusedWindow();
}

// Waits until the window's outer width is `twips` and answers the width it has then, in twips.
int WaitForOuterWidth(const StarterRun& run, int twips) {
  WaitUntil([&] { return run.OuterSize().cx * kTwipsPerPixel == twips; });
  return run.OuterSize().cx * kTwipsPerPixel;
}

bool InsideClient(const StarterRun& run, int id) {
  const RECT rect = run.RectInParent(run.Control(id));
  return rect.right <= run.ClientSize().cx;
}

TEST(StarterWindow, OpensNarrowShowingOnlyThePictureAndTwoButtons) {
  StarterRun run(GameFolder(false));
  const HWND form = run.Form();
  const LONG style = GetWindowLongA(form, GWL_STYLE);
  const LONG exStyle = GetWindowLongA(form, GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_SYSMENU) << "close box";
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
  EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
  EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
  EXPECT_NE(GetWindow(form, GW_OWNER), nullptr) << "an owned window gets no taskbar button";
  EXPECT_EQ(GetMenu(form), nullptr);
  EXPECT_EQ(run.Text(form), expected::kCaption);
  EXPECT_EQ(run.ClientSize().cx, expected::kClientWidth / kTwipsPerPixel);
  EXPECT_EQ(run.ClientSize().cy, expected::kClientHeight / kTwipsPerPixel);
  EXPECT_LT(run.OuterSize().cx * kTwipsPerPixel, kWideWidth);

  EXPECT_TRUE(IsWindowVisible(run.Control(IDC_COMMAND1)) && InsideClient(run, IDC_COMMAND1));
  EXPECT_TRUE(IsWindowVisible(run.Control(IDC_COMMAND2)) && InsideClient(run, IDC_COMMAND2));
  for (const ControlSpec& control : form1::kControls) {
    if (!expected::IsShown(Expected(control.id))) {
      EXPECT_FALSE(IsWindowVisible(run.Control(control.id))) << Expected(control.id).name;
    }
  }
  for (int id : PanelControls()) {
    EXPECT_TRUE(IsWindowVisible(run.Control(id))) << id << " is cut off, not hidden";
    EXPECT_GE(run.RectInParent(run.Control(id)).left, run.ClientSize().cx) << id;
  }
  EXPECT_EQ(WaitForFocus(run, run.Control(IDC_COMMAND1)), run.Control(IDC_COMMAND1)) << "focus on Play";
}

// Every control of the launcher's control table, as a window of its kind with its text, place
// and visibility; among the children of one parent, earlier ones lie above later ones.
TEST(StarterWindow, ControlsHaveTheirKindTextPlaceAndStacking) {
  StarterRun run(GameFolder(false));
  std::map<HWND, HWND> lowestOfParent;
  for (const ControlSpec& entry : form1::kControls) {
    const expected::Control& listed = Expected(entry.id);
    SCOPED_TRACE(listed.name);
    const HWND control = run.Control(entry.id);
    ASSERT_NE(control, nullptr);
    const HWND parent = listed.parentId == expected::kOnForm ? run.Form() : run.Control(listed.parentId);
    EXPECT_EQ(GetParent(control), parent);
    EXPECT_EQ(ClassName(control), ClassOf(listed.kind));
    // The text box shows the load trace, the list its entries.
    if (listed.kind != ControlKind::TextBox && listed.kind != ControlKind::DropDownList) {
      EXPECT_EQ(run.Text(control), listed.text);
    }
    const RECT rect = run.RectInParent(control);
    EXPECT_EQ(rect.left, listed.left / kTwipsPerPixel);
    EXPECT_EQ(rect.top, listed.top / kTwipsPerPixel);
    EXPECT_EQ(rect.right - rect.left, listed.width / kTwipsPerPixel);
    EXPECT_EQ(rect.bottom - rect.top, listed.height / kTwipsPerPixel);
    EXPECT_EQ(IsWindowVisible(control) != FALSE, expected::IsShown(listed));
    EXPECT_TRUE(IsWindowEnabled(control));
    if (const HWND above = lowestOfParent[parent]) {
      EXPECT_EQ(GetWindow(above, GW_HWNDNEXT), control) << "stacking follows creation order";
    } else {
      EXPECT_EQ(GetWindow(parent, GW_CHILD), control) << "the first control lies on top";
    }
    lowestOfParent[parent] = control;
  }
  for (const auto& [parent, lowest] : lowestOfParent)
    EXPECT_EQ(GetWindow(lowest, GW_HWNDNEXT), nullptr) << "no other control in " << run.Text(parent);

  const HWND list = run.Control(IDC_COMBO1);
  EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), static_cast<LRESULT>(std::size(expected::kResolutions)));
  for (int i = 0; i < static_cast<int>(std::size(expected::kResolutions)); ++i) {
    const char* const listed = expected::kResolutions[i].text;
    // The wide-character form: Wine hands only one byte of the 8-bit form to another process.
    wchar_t wide[64] = {};
    ASSERT_EQ(SendMessageW(list, CB_GETLBTEXTLEN, i, 0), static_cast<LRESULT>(strlen(listed))) << "entry " << i;
    SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
    char text[64] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    EXPECT_STREQ(text, listed) << "entry " << i;
  }
}

TEST(StarterWindow, VideoSetupAndBackArrowToggleTheOuterWidth) {
  const std::string config = "1 1 0 0 1 0 0 0 1 7 ";
  StarterRun run(GameFolder(false, &config));
  const int narrowHeight = run.OuterSize().cy;
  const auto states = run.Checks();

  run.Click(IDC_COMMAND2);
  EXPECT_EQ(WaitForOuterWidth(run, kWideWidth), kWideWidth);
  EXPECT_EQ(run.OuterSize().cy, narrowHeight);
  for (int id : PanelControls()) EXPECT_TRUE(InsideClient(run, id)) << id << " uncovered";
  EXPECT_GE(run.ClientSize().cx, (expected::kShape1.left + expected::kShape1.width) / kTwipsPerPixel)
      << "the panel's rectangle is uncovered";

  run.ClickLabel(IDC_LABEL1);
  EXPECT_EQ(WaitForOuterWidth(run, kNarrowWidth), kNarrowWidth);
  run.Click(IDC_COMMAND2);
  EXPECT_EQ(WaitForOuterWidth(run, kWideWidth), kWideWidth);
  run.Click(IDC_COMMAND2);
  EXPECT_EQ(WaitForOuterWidth(run, kNarrowWidth), kNarrowWidth) << "after two toggles";

  // The wide width counts as wide; one pixel less as narrow.
  SetWindowPos(run.Form(), nullptr, 0, 0, kWideWidth / kTwipsPerPixel, narrowHeight, SWP_NOMOVE | SWP_NOZORDER);
  run.Click(IDC_COMMAND2);
  EXPECT_EQ(WaitForOuterWidth(run, kNarrowWidth), kNarrowWidth);
  SetWindowPos(run.Form(), nullptr, 0, 0, kWideWidth / kTwipsPerPixel - 1, narrowHeight, SWP_NOMOVE | SWP_NOZORDER);
  run.Click(IDC_COMMAND2);
  EXPECT_EQ(WaitForOuterWidth(run, kWideWidth), kWideWidth);

  EXPECT_EQ(run.Checks(), states) << "toggling keeps the options";
  EXPECT_EQ(run.Selection(), 7);
}

// Tab, once round from "Play", visits the shown controls that take the focus in tab-index order.
TEST(StarterWindow, TabMovesThroughTheTabStopsInTabIndexOrder) {
  std::vector<const expected::Control*> stops;
  for (const expected::Control& control : expected::kControls)
    if (expected::IsTabStop(control) && expected::IsShown(control)) stops.push_back(&control);
  std::sort(stops.begin(), stops.end(),
            [](const expected::Control* a, const expected::Control* b) { return a->tabIndex < b->tabIndex; });
  ASSERT_EQ(stops.front()->id, IDC_COMMAND1);

  StarterRun run(GameFolder(false));
  ASSERT_EQ(WaitForFocus(run, run.Control(IDC_COMMAND1)), run.Control(IDC_COMMAND1));
  for (std::size_t press = 1; press <= stops.size(); ++press) {
    const expected::Control& next = *stops[press % stops.size()];
    run.PressKey(VK_TAB);
    ASSERT_EQ(GetDlgCtrlID(WaitForFocus(run, run.Control(next.id))), next.id) << "Tab " << press << " to " << next.name;
  }
}

struct LoadCase {
  const char* name;
  std::string config;  // "xconfig.dat", or empty with `missing`
  bool missing;
  std::array<int, 6> checks;  // Check1 .. Check6 after start-up
  int selection;
  std::optional<std::string> trace;  // Text2, byte for byte, where the case is about the trace
};

void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

class StarterLoad : public ::testing::TestWithParam<LoadCase> {};

TEST_P(StarterLoad, ShowsTheStoredChoicesAndTheTrace) {
  const LoadCase& c = GetParam();
  StarterRun run(GameFolder(false, c.missing ? nullptr : &c.config));
  EXPECT_EQ(run.Checks(), c.checks);
  EXPECT_EQ(run.Selection(), c.selection);
  if (c.trace) {
    EXPECT_EQ(run.Text(run.Control(IDC_TEXT2)), *c.trace);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Configs, StarterLoad,
    ::testing::Values(
        LoadCase{"Missing", "", true, starter_tests::InitialChecks(), launcher::kStartResolution,
                 std::string(launcher::kFailureTrace)},
        LoadCase{"Empty", "", false, starter_tests::InitialChecks(), launcher::kStartResolution, ""},
        // A byte of the upper half, CR and LF travel into the value and the trace unchanged.
        LoadCase{"OneValueWithLineEnd",
                 "\xE9\r\n1 ",
                 false,
                 {0, 0, 0, 1, 1, 1},
                 1,
                 "\xE9( 233)\r( 13)\n( 10)1( 49) ( 32)Opcao =  1:\xE9\r\n1\r\n"},
        LoadCase{"TenValues", "1 0 1 1 1 0 0 0 1 4 ", false, {1, 1, 0, 1, 1, 1}, 4, std::nullopt},
        LoadCase{"NoEntrySelected", "0 0 0 0 0 0 0 0 0 -1 ", false, {0, 0, 0, 0, 0, 0}, -1, std::nullopt},
        LoadCase{"IndexOutOfRange", "0 1 0 0 0 0 0 0 1 12 ", false, {1, 0, 1, 0, 0, 0}, launcher::kStartResolution,
                 std::string(launcher::kFailureTrace)},
        // The edit control ends its text at a NUL byte; the value still counts whole.
        LoadCase{"NulByte", std::string("a\0b ", 4), false, {0, 0, 0, 1, 1, 1}, 1, "a( 97)"}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

TEST(StarterLoad, TraceLongerThanAnEditControlsDefaultLimitIsKeptWhole) {
  std::string config;
  for (int i = 0; i < 3000; ++i) config += "0 ";
  StarterRun run(GameFolder(false, &config));
  const std::string trace = run.Text(run.Control(IDC_TEXT2));
  const std::string last = "0( 48) ( 32)Opcao =  3000:0\r\n";
  ASSERT_GT(trace.size(), 32767u);
  EXPECT_EQ(trace.substr(trace.size() - last.size()), last);
}

TEST(StarterPlay, StartsTheGameMinimizedWithTheChosenOptionsAndEnds) {
  const std::string config = "1 0 1 1 1 0 0 0 0 1 ";
  const std::string folder = GameFolder(true, &config);
  test_support::WriteFileBytes(folder + "\\vorlan2.wav", test_support::ReadFileBytes(BuiltFile(START_SOUND)));
  StarterRun run(folder);
  run.Click(IDC_COMMAND2);
  run.Click(IDC_CHECK1);
  run.SelectEntry(10);
  EXPECT_TRUE(WaitUntil([&] { return run.Check(IDC_CHECK1) == 1; }));
  run.Click(IDC_COMMAND1);
  EXPECT_EQ(run.WaitForExit(), 0u);
  EXPECT_EQ(starter_remote::WaitForFile(folder + "\\vorlan_started.txt"),
            "command line=vorlan.exe -nc -d v10  -d winmode -d noshadow -d saveme\nshow window=2\n");
}

TEST(StarterPlay, EnterOnTheFocusedPlayButtonStartsTheGame) {
  const std::string folder = GameFolder(true);
  StarterRun run(folder);
  ASSERT_EQ(WaitForFocus(run, run.Control(IDC_COMMAND1)), run.Control(IDC_COMMAND1));
  run.PressKey(VK_RETURN);
  EXPECT_EQ(run.WaitForExit(), 0u);
  EXPECT_EQ(starter_remote::WaitForFile(folder + "\\vorlan_started.txt"),
            "command line=vorlan.exe -nc -d v1  -d noshadow -d saveme\nshow window=2\n");
}

TEST(StarterPlay, CloseBoxEndsWithoutStartingAnything) {
  const std::string folder = GameFolder(true);
  ASSERT_TRUE(WaitUntil([] { return !starter_remote::ProcessRuns("vorlan.exe"); }))
      << "a game started by an earlier test still runs";
  StarterRun run(folder);
  run.CloseBox();
  EXPECT_EQ(run.WaitForExit(), 0u);
  // A game started by the launcher would be running by the time the launcher has ended.
  EXPECT_FALSE(starter_remote::ProcessRuns("vorlan.exe"));
  EXPECT_EQ(GetFileAttributesA((folder + "\\vorlan_started.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributesA((folder + "\\xconfig2.dat").c_str()), INVALID_FILE_ATTRIBUTES) << "nothing saved";
}

TEST(StarterPlay, MissingGameGivesTheSystemsErrorReportAndAFailingExit) {
  StarterRun run(GameFolder(false));
  run.Click(IDC_COMMAND1);
  const HWND report = run.WaitForReport();
  ASSERT_NE(report, nullptr) << "no error report";
  std::string texts;
  bool hasIcon = false;
  for (HWND child = GetWindow(report, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    texts += run.Text(child) + "\n";
    hasIcon |= ClassName(child) == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
  }
  EXPECT_NE(texts.find(launcher::SystemMessage(ERROR_FILE_NOT_FOUND)), std::string::npos) << texts;
  EXPECT_TRUE(hasIcon) << "the report shows an icon";
  PostMessageA(report, WM_COMMAND, IDOK, 0);
  EXPECT_NE(run.WaitForExit(), 0u);
}

// The program file itself: six icon images, the background picture, the version block, and no
// manifest asking for styled controls.
TEST(StarterFile, CarriesTheIconPictureAndVersionBlock) {
  const std::string exe = BuiltFile(STARTER_EXE);
  const HMODULE file = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(file, nullptr);
  const HRSRC group = FindResourceA(file, MAKEINTRESOURCEA(IDI_STARTER), MAKEINTRESOURCEA(14));  // icon group
  ASSERT_NE(group, nullptr);
  const auto* directory = static_cast<const unsigned char*>(LockResource(LoadResource(file, group)));
  ASSERT_EQ(directory[4], 6) << "images in the icon";
  std::set<std::pair<int, int>> images;  // (size, bits per pixel)
  for (int i = 0; i < 6; ++i) {
    const unsigned char* entry = directory + 6 + 14 * i;
    images.insert({entry[0], entry[6] | entry[7] << 8});
  }
  EXPECT_EQ(images, (std::set<std::pair<int, int>>{{16, 8}, {16, 24}, {32, 4}, {32, 8}, {32, 24}, {48, 24}}));

  const HRSRC picture = FindResourceA(file, MAKEINTRESOURCEA(IDB_BACKGROUND), MAKEINTRESOURCEA(2));  // bitmap
  ASSERT_NE(picture, nullptr);
  EXPECT_EQ(SizeofResource(file, picture), 588056u - 14) << "the picture file less its file header";
  const auto* info = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(file, picture)));
  EXPECT_EQ(info->biWidth, 560);
  EXPECT_EQ(info->biHeight, 350);
  EXPECT_EQ(info->biBitCount, 24);
  EXPECT_EQ(info->biCompression, static_cast<DWORD>(BI_RGB));

  const HRSRC manifest = FindResourceA(file, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  if (manifest) {
    const std::string text(static_cast<const char*>(LockResource(LoadResource(file, manifest))),
                           SizeofResource(file, manifest));
    EXPECT_EQ(text.find("Common-Controls"), std::string::npos);
  }
  FreeLibrary(file);

  std::string version(GetFileVersionInfoSizeA(exe.c_str(), nullptr), '\0');
  ASSERT_FALSE(version.empty());
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, static_cast<DWORD>(version.size()), version.data()));
  for (const auto& [name, value] : {std::pair{"ProductName", "Starter"}, {"InternalName", "Starter"},
                                     {"OriginalFilename", "Starter.exe"}, {"FileVersion", "1.00"},
                                     {"ProductVersion", "1.00"}}) {
    char* text = nullptr;
    UINT length = 0;
    const std::string key = std::string("\\StringFileInfo\\040904b0\\") + name;
    ASSERT_TRUE(VerQueryValueA(version.data(), key.c_str(), reinterpret_cast<void**>(&text), &length)) << name;
    EXPECT_STREQ(text, value);
  }
}

}  // namespace
