// Starts the real Starter.exe in a game folder of its own and drives its window from outside.
#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <set>
#include <utility>
#include <string>

#include "process_start_win32.h"
#include "resource.h"
#include "starter_remote.h"

namespace {

using starter_remote::StarterRun;

constexpr int kTwipsPerPixel = 15;  // the test display runs at 96 dots per inch
constexpr char kNoFileTrace[] = "No FILE!xconfig.dat";

std::string BuiltFile(const char* path) { return starter_remote::WindowsPath(path); }

std::string TestName() { return ::testing::UnitTest::GetInstance()->current_test_info()->name(); }

// A fresh game folder named after the running test, with an optional "xconfig.dat".
std::string GameFolder(bool withGame, const std::string* config = nullptr) {
  std::string name = TestName();
  for (char& c : name)
    if (c == '/') c = '_';
  const std::string folder = starter_remote::MakeGameFolder(BuiltFile(GAME_ROOT), name, BuiltFile(STARTER_EXE),
                                                            withGame ? BuiltFile(VORLAN_EXE) : std::string());
  if (config) starter_remote::WriteFile(folder + "\\xconfig.dat", *config);
  return folder;
}

struct ExpectedControl {
  int id;
  const char* className;
  const char* text;
  int left, top, width, height;  // twips
  bool shown;
};

// Creation order, which is also the order from top to bottom where controls overlap.
constexpr std::array<ExpectedControl, 15> kOnForm = {{
    {IDC_COMMAND3, "Button", "Save Config", 240, 3480, 1215, 375, false},
    {IDC_COMMAND4, "Button", "Load Config", 240, 3000, 1215, 375, false},
    {IDC_TEXT2, "Edit", nullptr, 240, 1800, 2295, 975, false},
    {IDC_CHECK6, "Button", "Bullets Glow", 5640, 3960, 2055, 255, true},
    {IDC_CHECK5, "Button", "Scenery clouds", 5640, 3600, 2055, 255, true},
    {IDC_CHECK4, "Button", "Engines / Fire effects", 5640, 3240, 2055, 255, true},
    {IDC_CHECK3, "Button", "Advanced Shadows", 5640, 2880, 2055, 255, true},
    {IDC_COMMAND2, "Button", "Video Setup", 2520, 3720, 2295, 495, true},
    {IDC_CHECK2, "Button", "Use Shaders", 5640, 2520, 2055, 255, true},
    {IDC_CHECK1, "Button", "Window mode", 5520, 1440, 2055, 255, true},
    {IDC_COMBO1, "ComboBox", nullptr, 5520, 960, 2175, 315, true},
    {IDC_COMMAND1, "Button", "Play", 2520, 4320, 2295, 495, true},
    {IDC_FRAME1, "Button", "Video Setup", 5280, 360, 2655, 1575, true},
    {IDC_FRAME2, "Button", "Performance / Visual ", 5280, 2160, 2655, 2295, true},
    {IDC_LABEL1, "Static", "<<", 7680, 4560, 255, 255, true},
}};
constexpr int kPanelControls[] = {IDC_CHECK1, IDC_CHECK2, IDC_CHECK3, IDC_CHECK4, IDC_CHECK5,
                                  IDC_CHECK6, IDC_COMBO1, IDC_FRAME1, IDC_FRAME2, IDC_LABEL1};
constexpr int kChecks[] = {IDC_CHECK1, IDC_CHECK2, IDC_CHECK3, IDC_CHECK4, IDC_CHECK5, IDC_CHECK6};

std::string ClassName(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::array<int, 6> CheckStates(const StarterRun& run) {
  std::array<int, 6> states{};
  for (int i = 0; i < 6; ++i) states[i] = run.Check(kChecks[i]);
  return states;
}

// The X server activates a new window a moment after it is shown, and the focus passes through
// other windows until then: answers where it is once it reaches `expected`, or at the deadline.
HWND WaitForFocus(const StarterRun& run, HWND expected) {
  starter_remote::WaitUntil([&] { return run.FocusedWindow() == expected; });
  return run.FocusedWindow();
}

// Waits until the window's outer width is `twips` and answers the width it has then, in twips.
int WaitForOuterWidth(const StarterRun& run, int twips) {
  starter_remote::WaitUntil([&] { return run.OuterSize().cx * kTwipsPerPixel == twips; });
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
  EXPECT_EQ(run.ClientSize().cx, 4980 / kTwipsPerPixel);
  EXPECT_EQ(run.ClientSize().cy, 5040 / kTwipsPerPixel);
  EXPECT_LT(run.OuterSize().cx * kTwipsPerPixel, 8250);

  EXPECT_TRUE(IsWindowVisible(run.Control(IDC_COMMAND1)) && InsideClient(run, IDC_COMMAND1));
  EXPECT_TRUE(IsWindowVisible(run.Control(IDC_COMMAND2)) && InsideClient(run, IDC_COMMAND2));
  for (int hidden : {IDC_TEXT2, IDC_COMMAND3, IDC_COMMAND4}) EXPECT_FALSE(IsWindowVisible(run.Control(hidden)));
  for (int id : kPanelControls) {
    EXPECT_TRUE(IsWindowVisible(run.Control(id))) << id << " is cut off, not hidden";
    EXPECT_GE(run.RectInParent(run.Control(id)).left, run.ClientSize().cx) << id;
  }
  EXPECT_EQ(WaitForFocus(run, run.Control(IDC_COMMAND1)), run.Control(IDC_COMMAND1)) << "focus on Play";
}

TEST(StarterWindow, ControlsHaveTheirKindTextPlaceAndStacking) {
  StarterRun run(GameFolder(false));
  HWND above = nullptr;
  for (const ExpectedControl& expected : kOnForm) {
    SCOPED_TRACE(expected.id);
    const HWND control = run.Control(expected.id);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), run.Form());
    EXPECT_EQ(ClassName(control), expected.className);
    if (expected.text) {
      EXPECT_EQ(run.Text(control), expected.text);
    }
    const RECT rect = run.RectInParent(control);
    EXPECT_EQ(rect.left, expected.left / kTwipsPerPixel);
    EXPECT_EQ(rect.top, expected.top / kTwipsPerPixel);
    EXPECT_EQ(rect.right - rect.left, expected.width / kTwipsPerPixel);
    EXPECT_EQ(rect.bottom - rect.top, expected.height / kTwipsPerPixel);
    EXPECT_EQ(IsWindowVisible(control) != FALSE, expected.shown);
    EXPECT_TRUE(IsWindowEnabled(control));
    if (above) {
      EXPECT_EQ(GetWindow(above, GW_HWNDNEXT), control) << "stacking follows creation order";
    }
    above = control;
  }
  EXPECT_EQ(GetWindow(above, GW_HWNDNEXT), nullptr) << "no other control on the window";

  const HWND label2 = run.Control(IDC_LABEL2);
  EXPECT_EQ(GetParent(label2), run.Control(IDC_FRAME1));
  EXPECT_EQ(run.Text(label2), "Resolution");
  const RECT inFrame = run.RectInParent(label2);
  EXPECT_EQ(inFrame.left, 240 / kTwipsPerPixel);
  EXPECT_EQ(inFrame.top, 360 / kTwipsPerPixel);
  EXPECT_EQ(inFrame.right - inFrame.left, 1455 / kTwipsPerPixel);
  EXPECT_EQ(inFrame.bottom - inFrame.top, 255 / kTwipsPerPixel);

  const HWND list = run.Control(IDC_COMBO1);
  EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & 3, CBS_DROPDOWNLIST);
  const char* const texts[] = {"800x600",       "1024x786",      "1280x1024",     "1400x1050",
                               "1600x1200",     "1900x1200",     "Wide 1280x720 ", "Wide 1280x768",
                               "Wide 1360x768", "Wide 1440x900", "Wide 1680x1050", "Wide 1920x1080"};
  ASSERT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 12);
  for (int i = 0; i < 12; ++i) {
    // The wide-character form: Wine hands only one byte of the 8-bit form to another process.
    wchar_t wide[64] = {};
    ASSERT_EQ(SendMessageW(list, CB_GETLBTEXTLEN, i, 0), static_cast<LRESULT>(strlen(texts[i])));
    SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(wide));
    char text[64] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    EXPECT_STREQ(text, texts[i]);
  }
}

TEST(StarterWindow, VideoSetupAndBackArrowToggleTheOuterWidth) {
  const std::string config = "1 1 0 0 1 0 0 0 1 7 ";
  StarterRun run(GameFolder(false, &config));
  const int narrowHeight = run.OuterSize().cy;
  const auto states = CheckStates(run);

  run.Click(IDC_COMMAND2);
  EXPECT_EQ(WaitForOuterWidth(run, 8250), 8250);
  EXPECT_EQ(run.OuterSize().cy, narrowHeight);
  for (int id : kPanelControls) EXPECT_TRUE(InsideClient(run, id)) << id << " uncovered";
  EXPECT_GE(run.ClientSize().cx, (5160 + 2895) / kTwipsPerPixel) << "the panel's rectangle is uncovered";

  run.ClickLabel(IDC_LABEL1);
  EXPECT_EQ(WaitForOuterWidth(run, 5160), 5160);
  run.Click(IDC_COMMAND2);
  EXPECT_EQ(WaitForOuterWidth(run, 8250), 8250);
  run.Click(IDC_COMMAND2);
  EXPECT_EQ(WaitForOuterWidth(run, 5160), 5160) << "after two toggles";

  // 8250 twips counts as wide; 549 pixels (8235 twips) as narrow.
  SetWindowPos(run.Form(), nullptr, 0, 0, 8250 / kTwipsPerPixel, narrowHeight, SWP_NOMOVE | SWP_NOZORDER);
  run.Click(IDC_COMMAND2);
  EXPECT_EQ(WaitForOuterWidth(run, 5160), 5160);
  SetWindowPos(run.Form(), nullptr, 0, 0, 8250 / kTwipsPerPixel - 1, narrowHeight, SWP_NOMOVE | SWP_NOZORDER);
  run.Click(IDC_COMMAND2);
  EXPECT_EQ(WaitForOuterWidth(run, 8250), 8250);

  EXPECT_EQ(CheckStates(run), states) << "toggling keeps the options";
  EXPECT_EQ(run.Selection(), 7);
}

TEST(StarterWindow, TabMovesThroughTheTabStopsInTabIndexOrder) {
  StarterRun run(GameFolder(false));
  ASSERT_EQ(WaitForFocus(run, run.Control(IDC_COMMAND1)), run.Control(IDC_COMMAND1));
  const int order[] = {IDC_COMBO1,  IDC_CHECK1, IDC_CHECK2, IDC_COMMAND2, IDC_CHECK3,
                       IDC_CHECK4, IDC_CHECK5, IDC_CHECK6, IDC_COMMAND1};
  for (int expected : order) {
    run.PressKey(VK_TAB);
    EXPECT_EQ(GetDlgCtrlID(WaitForFocus(run, run.Control(expected))), expected);
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
  EXPECT_EQ(CheckStates(run), c.checks);
  EXPECT_EQ(run.Selection(), c.selection);
  if (c.trace) {
    EXPECT_EQ(run.Text(run.Control(IDC_TEXT2)), *c.trace);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Configs, StarterLoad,
    ::testing::Values(
        LoadCase{"Missing", "", true, {0, 1, 0, 1, 1, 1}, 1, kNoFileTrace},
        LoadCase{"Empty", "", false, {0, 1, 0, 1, 1, 1}, 1, ""},
        // A byte of the upper half, CR and LF travel into the value and the trace unchanged.
        LoadCase{"OneValueWithLineEnd",
                 "\xE9\r\n1 ",
                 false,
                 {0, 0, 0, 1, 1, 1},
                 1,
                 "\xE9( 233)\r( 13)\n( 10)1( 49) ( 32)Opcao =  1:\xE9\r\n1\r\n"},
        LoadCase{"TenValues", "1 0 1 1 1 0 0 0 1 4 ", false, {1, 1, 0, 1, 1, 1}, 4, std::nullopt},
        LoadCase{"NoEntrySelected", "0 0 0 0 0 0 0 0 0 -1 ", false, {0, 0, 0, 0, 0, 0}, -1, std::nullopt},
        LoadCase{"IndexOutOfRange", "0 1 0 0 0 0 0 0 1 12 ", false, {1, 0, 1, 0, 0, 0}, 1, kNoFileTrace},
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
  starter_remote::WriteFile(folder + "\\vorlan2.wav", starter_remote::ReadFile(BuiltFile(START_SOUND)));
  StarterRun run(folder);
  run.Click(IDC_COMMAND2);
  run.Click(IDC_CHECK1);
  run.SelectEntry(10);
  EXPECT_TRUE(starter_remote::WaitUntil([&] { return run.Check(IDC_CHECK1) == 1; }));
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
  ASSERT_TRUE(starter_remote::WaitUntil([] { return !starter_remote::ProcessRuns("vorlan.exe"); }))
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
