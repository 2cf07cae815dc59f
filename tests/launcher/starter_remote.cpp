#include "starter_remote.h"

#include <tlhelp32.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "form1_layout.h"
#include "support/files.h"

namespace starter_remote {
namespace {

using test_support::WaitUntil;

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

struct WindowSearch {
  DWORD processId;
  const char* className;  // nullptr: any class
  const char* caption;    // nullptr: any caption
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search.processId || !IsWindowVisible(window)) return TRUE;
  char text[256];
  if (search.caption && (!GetWindowTextA(window, text, sizeof text) || std::string(text) != search.caption))
    return TRUE;
  if (search.className && (!GetClassNameA(window, text, sizeof text) || std::string(text) != search.className))
    return TRUE;
  search.found = window;
  return FALSE;
}

// What the screen shows of `area`, as the rows of a 24-bit bitmap.
std::string CaptureScreen(const RECT& area) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  GdiFlush();
  const DWORD rowSize = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
  std::string rows(static_cast<const char*>(bits), rowSize * static_cast<DWORD>(height));
  SelectObject(memory, previous);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return rows;
}

}  // namespace

HWND FindProcessWindow(DWORD processId, const char* className, const char* caption, DWORD milliseconds) {
  WindowSearch search{processId, className, caption, nullptr};
  WaitUntil([&] {
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
  }, std::chrono::milliseconds(milliseconds));
  return search.found;
}

bool ProcessRuns(const char* fileName) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) Fail("cannot list the processes");
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Process32First(snapshot, &entry); more && !found; more = Process32Next(snapshot, &entry))
    found = lstrcmpiA(entry.szExeFile, fileName) == 0;
  CloseHandle(snapshot);
  return found;
}

std::string WindowText(HWND window) {
  const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const LRESULT got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(got));
  return text;
}

std::string ReportText(HWND report) {
  std::string text;
  char className[16];
  for (HWND child = GetWindow(report, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (GetClassNameA(child, className, sizeof className) && lstrcmpiA(className, "Static") == 0) {
      const std::string label = WindowText(child);
      if (!label.empty()) text += (text.empty() ? "" : "\n") + label;
    }
  return text;
}

std::string WindowsPath(const std::string& path) {
  std::string windowsPath = !path.empty() && path[0] == '/' ? "Z:" + path : path;
  for (char& c : windowsPath)
    if (c == '/') c = '\\';
  return windowsPath;
}

std::string MakeGameFolder(const std::string& root, const std::string& name, const std::string& starterExe,
                           const std::string& gameExe) {
  const std::string folder = root + "\\" + name;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, ignored))
    SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  std::filesystem::remove_all(folder, ignored);
  CreateDirectoryA(root.c_str(), nullptr);
  if (!CreateDirectoryA(folder.c_str(), nullptr)) Fail("cannot make " + folder);
  if (!CopyFileA(starterExe.c_str(), (folder + "\\Starter.exe").c_str(), FALSE)) Fail("cannot copy " + starterExe);
  if (!gameExe.empty() && !CopyFileA(gameExe.c_str(), (folder + "\\vorlan.exe").c_str(), FALSE))
    Fail("cannot copy " + gameExe);
  return folder;
}

StarterRun::StarterRun(const std::string& gameFolder) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string commandLine = "\"" + gameFolder + "\\Starter.exe\"";
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, gameFolder.c_str(), &startup,
                      &process_))
    Fail("cannot start " + commandLine);
  form_ = FindProcessWindow(process_.dwProcessId, launcher::form1::kClassName, launcher::form1::kCaption, kDeadline);
  if (!form_) Fail("Starter.exe showed no window");
  threadId_ = GetWindowThreadProcessId(form_, nullptr);
}

StarterRun::StarterRun(HANDLE process, HWND form) : form_(form) {
  if (!DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &process_.hProcess, 0, FALSE,
                       DUPLICATE_SAME_ACCESS))
    Fail("cannot hold the launcher's process");
  threadId_ = GetWindowThreadProcessId(form_, &process_.dwProcessId);
}

StarterRun::~StarterRun() {
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  if (process_.hThread) CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

HWND StarterRun::Control(int id) const {
  const HWND control = GetDlgItem(form_, id);
  return control ? control : GetDlgItem(GetDlgItem(form_, IDC_FRAME1), id);
}

void StarterRun::Click(int id) {
  SetForegroundWindow(form_);
  PostMessageA(Control(id), BM_CLICK, 0, 0);
}

void StarterRun::ClickLabel(int id) {
  const HWND label = Control(id);
  PostMessageA(label, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageA(label, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
}

void StarterRun::SelectEntry(int index) {
  const HWND list = Control(IDC_COMBO1);
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(form_, WM_COMMAND, MAKEWPARAM(IDC_COMBO1, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void StarterRun::PressKey(WPARAM key) {
  const HWND focus = FocusedWindow();
  PostMessageA(focus ? focus : form_, WM_KEYDOWN, key, 1);
  PostMessageA(focus ? focus : form_, WM_KEYUP, key, 0xC0000001);
}

void StarterRun::CloseBox() { PostMessageA(form_, WM_SYSCOMMAND, SC_CLOSE, 0); }

HWND StarterRun::FocusedWindow() const {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(threadId_, &info) ? info.hwndFocus : nullptr;
}

std::string StarterRun::Text(HWND window) const { return WindowText(window); }

int StarterRun::Check(int id) const { return static_cast<int>(SendMessageA(Control(id), BM_GETCHECK, 0, 0)); }

CheckStates StarterRun::Checks() const {
  CheckStates states{};
  for (std::size_t i = 0; i < kCheckIds.size(); ++i) states[i] = Check(kCheckIds[i]);
  return states;
}

int StarterRun::Selection() const { return static_cast<int>(SendMessageA(Control(IDC_COMBO1), CB_GETCURSEL, 0, 0)); }

SIZE StarterRun::OuterSize() const {
  RECT outer;
  GetWindowRect(form_, &outer);
  return {outer.right - outer.left, outer.bottom - outer.top};
}

SIZE StarterRun::ClientSize() const {
  RECT client;
  GetClientRect(form_, &client);
  return {client.right, client.bottom};
}

RECT StarterRun::RectInParent(HWND control) const {
  RECT rect;
  GetWindowRect(control, &rect);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

DWORD StarterRun::WaitForExit(DWORD milliseconds) {
  if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) Fail("Starter.exe did not end");
  DWORD status = 0;
  GetExitCodeProcess(process_.hProcess, &status);
  return status;
}

HWND StarterRun::WaitForReport(DWORD milliseconds) const {
  return FindProcessWindow(process_.dwProcessId, "#32770", nullptr, milliseconds);
}

void StarterRun::SaveScreenshot(const std::string& path) const {
  RedrawWindow(form_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RECT outer;
  GetWindowRect(form_, &outer);
  std::string rows = CaptureScreen(outer);
  WaitUntil([&] {
    std::string again = CaptureScreen(outer);
    const bool settled = again == rows;
    rows = std::move(again);
    return settled;
  });
  BITMAPINFOHEADER info{sizeof(BITMAPINFOHEADER), outer.right - outer.left, outer.bottom - outer.top, 1, 24, BI_RGB,
                        static_cast<DWORD>(rows.size()), 0, 0, 0, 0};
  const DWORD headers = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  BITMAPFILEHEADER header{0x4D42, headers + static_cast<DWORD>(rows.size()), 0, 0, headers};
  std::string file(reinterpret_cast<const char*>(&header), sizeof header);
  file.append(reinterpret_cast<const char*>(&info), sizeof info);
  file += rows;
  test_support::WriteFileBytes(path, file);
}

std::string WaitForFile(const std::string& path, DWORD milliseconds) {
  // The file can be opened without sharing only once its writer has closed it.
  const bool closed = WaitUntil([&] {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
  }, std::chrono::milliseconds(milliseconds));
  return closed ? test_support::ReadFileBytes(path) : std::string();
}

}  // namespace starter_remote
