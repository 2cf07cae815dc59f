// Starter.exe: the launcher window Form1. It shows the background picture with "Video Setup" and
// "Play", widens to the options panel, loads "xconfig.dat" at start-up and starts the game.
#include <windows.h>

#include <cstring>
#include <optional>
#include <string>

#include "config_files.h"
#include "error_report_win32.h"
#include "form1_layout.h"
#include "launch_options.h"
#include "process_start_win32.h"
#include "resource.h"

namespace {

using launcher::ReportErrorAndEnd;
using launcher::Toggle;
using launcher::form1::ControlKind;
using launcher::form1::ControlSpec;

constexpr COLORREF kPanelColour = RGB(64, 64, 64);
constexpr COLORREF kPanelText = RGB(255, 255, 255);
constexpr COLORREF kShapeOutline = RGB(128, 128, 128);
constexpr char kReportCaption[] = "Starter";

HINSTANCE g_instance;        // global
HWND g_form;                 // global: the launcher window
int g_dpi = 96;              // global: the screen's dots per inch, for twips
HFONT g_font;                // global: "MS Sans Serif" 8.25 pt
HFONT g_boldFont;            // global: the same face in bold, for "<<"
HBRUSH g_panelBrush;         // global: dark grey behind labels, frames and check boxes
HBITMAP g_background;        // global: the background picture
WNDPROC g_frameDefaultProc;  // global: the button class's procedure, under the frames' own
HWND g_focusedControl;       // global: the control that gets the focus back when the window does

int Pixels(double twips) { return launcher::form1::TwipsToPixels(twips, g_dpi); }

// The window of one of the layout's controls; null, with the system's error, when it cannot be found.
HWND ControlWindow(int id) {
  const int parentId = launcher::form1::FindControl(id)->parentId;
  const HWND parent = parentId == launcher::form1::kOnForm ? g_form : GetDlgItem(g_form, parentId);
  return parent ? GetDlgItem(parent, id) : nullptr;
}

[[noreturn]] void ReportSystemErrorAndEnd(DWORD error) { ReportErrorAndEnd(launcher::SystemMessage(error).c_str()); }
[[noreturn]] void ReportLastErrorAndEnd() { ReportSystemErrorAndEnd(GetLastError()); }

int CheckId(Toggle toggle) {
  static constexpr int ids[launcher::kToggleCount] = {IDC_CHECK1, IDC_CHECK2, IDC_CHECK3,
                                                       IDC_CHECK4, IDC_CHECK5, IDC_CHECK6};
  return ids[static_cast<int>(toggle)];
}

// The launch options, held by the window's list and check boxes. A state set here that differs
// from the current one raises the control's change notification, as a click does. A control that
// cannot be reached fails the access; Failure() keeps the system's error for the report.
class Form1Options final : public launcher::LaunchOptions {
 public:
  std::optional<int16_t> ResolutionIndex() const override {
    const HWND list = Control(IDC_COMBO1);
    if (!list) return std::nullopt;
    return static_cast<int16_t>(SendMessageA(list, CB_GETCURSEL, 0, 0));
  }
  bool SetResolutionIndex(int16_t index) override {
    const HWND list = Control(IDC_COMBO1);
    if (!list) return false;
    if (index == static_cast<int16_t>(SendMessageA(list, CB_GETCURSEL, 0, 0))) return true;
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    launcher::Combo1_Click();
    return true;
  }
  std::optional<int> ToggleState(Toggle toggle) const override {
    const HWND box = Control(CheckId(toggle));
    if (!box) return std::nullopt;
    return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
  }
  bool SetToggleState(Toggle toggle, int state) override {
    const HWND box = Control(CheckId(toggle));
    if (!box) return false;
    if (state == (SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0)) return true;
    SendMessageA(box, BM_SETCHECK, state ? BST_CHECKED : BST_UNCHECKED, 0);
    launcher::ToggleClick(toggle);
    return true;
  }
  // The edit control keeps text up to the first NUL byte. When it has no room for the whole
  // trace it either refuses it or keeps its old text and still answers success, so the length
  // tells too; a trace it cannot keep fails the load like one too large for memory.
  bool SetLoadTrace(std::string_view text) override {
    const HWND box = Control(IDC_TEXT2);
    return box && SetWindowTextA(box, text.data()) &&
           static_cast<std::size_t>(GetWindowTextLengthA(box)) == std::strlen(text.data());
  }

  DWORD Failure() const { return failure_; }

 private:
  HWND Control(int id) const {
    const HWND control = ControlWindow(id);
    if (!control) failure_ = GetLastError();
    return control;
  }

  mutable DWORD failure_ = 0;
};

Form1Options g_options;  // global

// A library from the system folder only, never from the game folder, where anyone may have left a
// file of the same name. A system without the search flag refuses it: the library is then named
// by its full path in the system folder.
HMODULE LoadSystemLibrary(const char* name) {
  if (const HMODULE library = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return library;
  char path[MAX_PATH];
  const UINT folder = GetSystemDirectoryA(path, MAX_PATH);
  if (folder == 0 || folder + 1 + std::strlen(name) >= MAX_PATH) return nullptr;
  path[folder] = '\\';
  std::strcpy(path + folder + 1, name);
  return LoadLibraryA(path);
}

// Module1's sndPlaySoundA, bound by name at its first call from the system folder's WINMM. The
// library and its audio driver load only then, on the window's own thread: under Wine a second
// thread loading them would hold the loader's lock while this one creates the window. A sound
// that cannot be bound is not played, as one whose file cannot be: the start-up goes on.
BOOL SndPlaySoundA(LPCSTR fileName, UINT flags) {
  using SndPlaySoundFunction = BOOL(WINAPI*)(LPCSTR, UINT);
  static SndPlaySoundFunction play;
  static bool bound;
  if (!bound) {
    bound = true;
    if (const HMODULE winmm = LoadSystemLibrary("winmm.dll"))
      play = reinterpret_cast<SndPlaySoundFunction>(reinterpret_cast<void*>(GetProcAddress(winmm, "sndPlaySoundA")));
  }
  return play && play(fileName, flags);
}

// Play: starts the game with the current options and ends the launcher.
void Command1_Click() {
  const std::optional<launcher::LaunchChoice> choice = launcher::ReadChoice(g_options);
  if (!choice) ReportSystemErrorAndEnd(g_options.Failure());
  launcher::Win32ProcessStarter starter;
  if (const std::optional<std::string> failure = launcher::Play(*choice, starter)) ReportErrorAndEnd(failure->c_str());
  if (!DestroyWindow(g_form)) ReportLastErrorAndEnd();
}

// Video Setup: widens the window to the options panel, or narrows it back.
void Command2_Click() {
  RECT outer;
  if (!GetWindowRect(g_form, &outer)) ReportLastErrorAndEnd();
  const float width = launcher::form1::PixelsToTwips(outer.right - outer.left, g_dpi);
  const int newWidth = Pixels(launcher::form1::ToggledOuterWidth(width));
  if (!SetWindowPos(g_form, nullptr, 0, 0, newWidth, outer.bottom - outer.top,
                    SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE))
    ReportLastErrorAndEnd();
}

// Save Config.
void Command3_Click() { launcher::SaveConfig(g_options); }

// Load Config.
void Command4_Click() { launcher::LoadConfig(g_options); }

// "<<": the same width toggle as Video Setup.
void Label1_Click() { Command2_Click(); }

// Start-up: default resolution, stored options, start-up sound.
void Form_Load() {
  if (!g_options.SetResolutionIndex(launcher::kStartResolution)) ReportSystemErrorAndEnd(g_options.Failure());
  Command4_Click();
  constexpr UINT kAsyncNoDefault = SND_ASYNC | SND_NODEFAULT;  // 3
  SndPlaySoundA("vorlan2.wav", kAsyncNoDefault);
}

// Dispatches a control's notification to its handler.
void OnCommand(int id, int code) {
  switch (id) {
    case IDC_COMMAND1: if (code == BN_CLICKED) Command1_Click(); break;
    case IDC_COMMAND2: if (code == BN_CLICKED) Command2_Click(); break;
    case IDC_COMMAND3: if (code == BN_CLICKED) Command3_Click(); break;
    case IDC_COMMAND4: if (code == BN_CLICKED) Command4_Click(); break;
    case IDC_LABEL1: if (code == STN_CLICKED) Label1_Click(); break;
    case IDC_COMBO1: if (code == CBN_SELCHANGE) launcher::Combo1_Click(); break;
    case IDC_CHECK1: if (code == BN_CLICKED) launcher::Check1_Click(); break;
    case IDC_CHECK2: if (code == BN_CLICKED) launcher::Check2_Click(); break;
    case IDC_CHECK3: if (code == BN_CLICKED) launcher::Check3_Click(); break;
    case IDC_CHECK4: if (code == BN_CLICKED) launcher::Check4_Click(); break;
    case IDC_CHECK5: if (code == BN_CLICKED) launcher::Check5_Click(); break;
    case IDC_CHECK6: if (code == BN_CLICKED) launcher::Check6_Click(); break;
  }
}

// The background picture at natural size, when it is loaded and can be drawn now.
void DrawPicture(HDC dc) {
  BITMAP picture;
  if (!g_background || !GetObjectA(g_background, sizeof picture, &picture)) return;
  const HDC pictureDc = CreateCompatibleDC(dc);
  if (!pictureDc) return;
  if (const HGDIOBJ previous = SelectObject(pictureDc, g_background)) {
    BitBlt(dc, 0, 0, picture.bmWidth, picture.bmHeight, pictureDc, 0, 0, SRCCOPY);
    SelectObject(pictureDc, previous);
  }
  DeleteDC(pictureDc);
}

// The options panel's rectangle, when its pen can be made and chosen now.
void DrawPanel(HDC dc) {
  const auto& shape = launcher::form1::kShape1;
  const HPEN outline = CreatePen(PS_SOLID, 1, kShapeOutline);
  if (!outline) return;
  if (const HGDIOBJ oldPen = SelectObject(dc, outline)) {
    if (const HGDIOBJ oldBrush = SelectObject(dc, g_panelBrush)) {
      Rectangle(dc, Pixels(shape.left), Pixels(shape.top), Pixels(shape.left + shape.width),
                Pixels(shape.top + shape.height));
      SelectObject(dc, oldBrush);
    }
    SelectObject(dc, oldPen);
  }
  DeleteObject(outline);
}

// Draws the picture, then the panel's rectangle over it; false when there is nothing to draw on. A
// drawing that fails leaves that part of the window as it is until the next paint.
bool OnPaint(HWND window) {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  if (!dc) return false;
  DrawPicture(dc);
  DrawPanel(dc);
  EndPaint(window, &paint);
  return true;
}

// Labels, frames and check boxes: white on dark grey; the rest keep the system's colours.
LRESULT OnControlColour(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
  const bool onPanel = id == IDC_LABEL1 || id == IDC_LABEL2 || id == IDC_FRAME1 || id == IDC_FRAME2 ||
                       (id >= IDC_CHECK6 && id <= IDC_CHECK1 && id != IDC_COMMAND2);
  if (!onPanel) return DefWindowProcA(window, message, wParam, lParam);
  const HDC dc = reinterpret_cast<HDC>(wParam);
  SetTextColor(dc, kPanelText);
  SetBkColor(dc, kPanelColour);
  return reinterpret_cast<LRESULT>(g_panelBrush);
}

LRESULT CALLBACK Form1Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:  // a control's click or selection change
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_CTLCOLORSTATIC:  // colours of labels, frames and check boxes
      return OnControlColour(window, message, wParam, lParam);
    case WM_ERASEBKGND:  // the picture covers the client area
      return 1;
    case WM_PAINT:  // the picture and the panel's rectangle
      if (OnPaint(window)) return 0;
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_ACTIVATE:  // leaving: remember the focused control
      if (LOWORD(wParam) == WA_INACTIVE && IsChild(window, GetFocus())) g_focusedControl = GetFocus();
      return DefWindowProcA(window, message, wParam, lParam);
    case WM_SETFOCUS:  // coming back: the focus goes to that control again
      SetFocus(g_focusedControl);
      return 0;
    case WM_DESTROY:  // the launcher lives as long as its window
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// A frame is a titled box on a dark grey ground that passes its label's colour question on.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CTLCOLORSTATIC:  // the label inside the frame
      return OnControlColour(frame, message, wParam, lParam);
    case WM_ERASEBKGND: {  // the frame's dark grey ground
      RECT client;
      if (GetClientRect(frame, &client)) FillRect(reinterpret_cast<HDC>(wParam), &client, g_panelBrush);
      return 1;
    }
  }
  return CallWindowProcA(g_frameDefaultProc, frame, message, wParam, lParam);
}

struct WindowClass {
  const char* name;
  DWORD style;
  DWORD exStyle;
};

WindowClass ClassOf(ControlKind kind) {
  constexpr DWORD child = WS_CHILD | WS_CLIPSIBLINGS;
  switch (kind) {
    case ControlKind::PushButton: return {"BUTTON", child | WS_TABSTOP | BS_PUSHBUTTON, 0};
    case ControlKind::TextBox: return {"EDIT", child | WS_TABSTOP | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE};
    case ControlKind::CheckBox: return {"BUTTON", child | WS_TABSTOP | BS_AUTOCHECKBOX, 0};
    case ControlKind::DropDownList: return {"COMBOBOX", child | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 0};
    case ControlKind::Frame: return {"BUTTON", child | WS_CLIPCHILDREN | BS_GROUPBOX, 0};
    case ControlKind::Label: return {"STATIC", child | SS_LEFT | SS_NOTIFY, 0};
  }
  return {};
}

// A closed drop-down list is as high as its selection field makes it; make that the layout's height.
// The list draws 3 pixels above and below the field's height as it was set, while the height reads
// back otherwise (Wine adds 2), so the read value is no starting point. Each setting also moves the
// list's own top-level window, which costs over a millisecond: start from the frame, then measure
// and correct in case a system draws another.
void FitClosedListHeight(HWND list, int height) {
  constexpr int kFrameAroundField = 6;
  LRESULT request = height - kFrameAroundField;
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (SendMessageA(list, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), request) == CB_ERR)
      ReportSystemErrorAndEnd(ERROR_INVALID_PARAMETER);
    RECT closed;
    if (!GetWindowRect(list, &closed)) ReportLastErrorAndEnd();
    const int missing = height - (closed.bottom - closed.top);
    if (missing == 0) return;
    request += missing;
  }
}

void CreateControl(const ControlSpec& entry) {
  const WindowClass windowClass = ClassOf(entry.kind);
  const HWND parent = entry.parentId == launcher::form1::kOnForm ? g_form : GetDlgItem(g_form, entry.parentId);
  if (!parent) ReportLastErrorAndEnd();
  int height = Pixels(entry.height);
  if (entry.kind == ControlKind::DropDownList)  // room for the dropped-down list of twelve
    height += (launcher::kResolutionCount + 1) * Pixels(entry.height);
  const HWND control = CreateWindowExA(windowClass.exStyle, windowClass.name, entry.text,
                                       windowClass.style | (entry.visible ? WS_VISIBLE : 0), Pixels(entry.left),
                                       Pixels(entry.top), Pixels(entry.width), height, parent,
                                       reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), g_instance, nullptr);
  if (!control) ReportLastErrorAndEnd();
  SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(entry.id == IDC_LABEL1 ? g_boldFont : g_font), FALSE);
  switch (entry.kind) {
    case ControlKind::CheckBox: SendMessageA(control, BM_SETCHECK, entry.checked, 0); break;
    case ControlKind::TextBox: SendMessageA(control, EM_LIMITTEXT, 0, 0); break;
    case ControlKind::Frame: {
      const LONG_PTR buttonProc = SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FrameProc));
      if (!buttonProc) ReportLastErrorAndEnd();
      g_frameDefaultProc = reinterpret_cast<WNDPROC>(buttonProc);
      break;
    }
    case ControlKind::DropDownList:
      for (const char* text : launcher::kResolutionTexts)
        if (SendMessageA(control, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)) < 0)
          ReportSystemErrorAndEnd(ERROR_NOT_ENOUGH_MEMORY);
      FitClosedListHeight(control, Pixels(entry.height));
      break;
    default: break;
  }
}

HFONT SansSerif(int weight) {
  const int height = -MulDiv(825, g_dpi, 7200);  // 8.25 points
  const HFONT font = CreateFontA(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "MS Sans Serif");
  if (!font) ReportLastErrorAndEnd();
  return font;
}

void LoadResources() {
  const HDC screen = GetDC(nullptr);
  if (!screen) ReportLastErrorAndEnd();
  g_dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  g_font = SansSerif(FW_NORMAL);
  g_boldFont = SansSerif(FW_BOLD);
  g_panelBrush = CreateSolidBrush(kPanelColour);
  if (!g_panelBrush) ReportLastErrorAndEnd();
}

// The picture is first needed by the first paint, which the message loop brings; loading it after
// the window is shown keeps its 588 KB off the time the player waits for the window.
void LoadBackground() {
  g_background = static_cast<HBITMAP>(
      LoadImageA(g_instance, MAKEINTRESOURCEA(IDB_BACKGROUND), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!g_background) ReportLastErrorAndEnd();
}

// Creates Form1 narrow and hidden, with all its controls. A hidden owner keeps it off the taskbar.
void CreateForm() {
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = Form1Proc;
  windowClass.hInstance = g_instance;
  windowClass.hIcon = LoadIconA(g_instance, MAKEINTRESOURCEA(IDI_STARTER));
  windowClass.hIconSm = static_cast<HICON>(
      LoadImageA(g_instance, MAKEINTRESOURCEA(IDI_STARTER), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                 GetSystemMetrics(SM_CYSMICON), 0));
  if (!windowClass.hIcon || !windowClass.hIconSm) ReportLastErrorAndEnd();
  windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  windowClass.lpszClassName = launcher::form1::kClassName;
  if (!RegisterClassExA(&windowClass)) ReportLastErrorAndEnd();

  const HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, g_instance, nullptr);
  if (!owner) ReportLastErrorAndEnd();

  constexpr DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  constexpr DWORD exStyle = WS_EX_DLGMODALFRAME;
  RECT outer = {0, 0, Pixels(launcher::form1::kClientWidth), Pixels(launcher::form1::kClientHeight)};
  if (!AdjustWindowRectEx(&outer, style, FALSE, exStyle)) ReportLastErrorAndEnd();
  g_form = CreateWindowExA(exStyle, launcher::form1::kClassName, launcher::form1::kCaption, style, CW_USEDEFAULT,
                           CW_USEDEFAULT, outer.right - outer.left, outer.bottom - outer.top, owner, nullptr,
                           g_instance, nullptr);
  if (!g_form) ReportLastErrorAndEnd();
  for (const ControlSpec& control : launcher::form1::kControls) CreateControl(control);
}

// Tab and Shift+Tab move the focus in tab-index order among the controls that can take it now.
bool MoveFocusOnTab(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB) return false;
  const HWND focus = GetFocus();
  if (!focus || (focus != g_form && !IsChild(g_form, focus))) return false;
  const bool backwards = GetKeyState(VK_SHIFT) < 0;
  const int next = launcher::form1::NextTabStop(GetDlgCtrlID(focus), backwards, [](int id) {
    const HWND control = ControlWindow(id);
    return IsWindowVisible(control) && IsWindowEnabled(control);
  });
  SetFocus(ControlWindow(next));
  return true;
}

// Enter presses the focused push button, as Space does.
bool PressFocusedButtonOnEnter(const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return false;
  const HWND focus = GetFocus();
  if (!focus || GetParent(focus) != g_form) return false;
  const ControlSpec* control = launcher::form1::FindControl(GetDlgCtrlID(focus));
  if (!control || control->kind != ControlKind::PushButton) return false;
  SendMessageA(focus, BM_CLICK, 0, 0);
  return true;
}

// Until the window is gone; a queue that cannot be read is an error like any other.
int RunMessageLoop() {
  MSG message;
  for (BOOL got; (got = GetMessageA(&message, nullptr, 0, 0)) != 0;) {
    if (got == -1) ReportLastErrorAndEnd();
    if (MoveFocusOnTab(message) || PressFocusedButtonOnEnter(message)) continue;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return static_cast<int>(message.wParam);
}

// Libraries that this process, or the system on its behalf, loads from now on come from the
// system folder only, never from the game folder, where anyone may have left a file of the same
// name. Where the call is missing (a system without the update), at least the current folder
// leaves the search.
void LoadLibrariesOnlyFromTheSystemFolder() {
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories")));
  if (!setDefault || !setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) SetDllDirectoryA("");
}

}  // namespace

void launcher::ReportErrorAndEnd(const char* message) {
  MessageBoxA(g_form, message, kReportCaption, MB_OK | MB_ICONERROR);
  ExitProcess(1);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
  LoadLibrariesOnlyFromTheSystemFolder();
  g_instance = instance;
  LoadResources();
  CreateForm();
  Form_Load();
  g_focusedControl = ControlWindow(IDC_COMMAND1);
  ShowWindow(g_form, showCommand);
  SetFocus(g_focusedControl);
  LoadBackground();
  return RunMessageLoop();
}
