#pragma once
// Drives a running Starter.exe from outside, through the same window messages a user's input
// produces, and reads back what its window shows.
#include <windows.h>

#include <array>
#include <string>

#include "launch_options.h"
#include "resource.h"
#include "support/wait.h"

namespace starter_remote {

// The shared deadline, in the unit of the system's waits.
constexpr DWORD kDeadline = static_cast<DWORD>(test_support::kDeadline.count());

// The check boxes Check1 .. Check6, and states for them in that order.
constexpr std::array<int, launcher::kToggleCount> kCheckIds = {IDC_CHECK1, IDC_CHECK2, IDC_CHECK3,
                                                               IDC_CHECK4, IDC_CHECK5, IDC_CHECK6};
using CheckStates = std::array<int, launcher::kToggleCount>;

// Whether a process of this file name (for example "vorlan.exe") runs under this system.
bool ProcessRuns(const char* fileName);

// The first visible top-level window of the process with this class and caption (nullptr: any),
// waiting up to `milliseconds` for it; nullptr when none appears.
HWND FindProcessWindow(DWORD processId, const char* className, const char* caption, DWORD milliseconds);

// A window's text, as bytes.
std::string WindowText(HWND window);

// What an error report says: the texts of its labels, one a line.
std::string ReportText(HWND report);

// A Windows path for a path from the environment (Unix paths map to drive Z:).
std::string WindowsPath(const std::string& path);

// A fresh game folder `name` under `root`, whatever an earlier run left there removed (read-only
// files too), holding a copy of `starterExe` and, unless `gameExe` is empty, a copy of it as
// "vorlan.exe".
std::string MakeGameFolder(const std::string& root, const std::string& name, const std::string& starterExe,
                           const std::string& gameExe);

class StarterRun {
 public:
  // Starts "Starter.exe" in `gameFolder` (its current folder too) and waits for its window.
  explicit StarterRun(const std::string& gameFolder);
  // Drives a launcher started otherwise, whose window `form` is shown.
  StarterRun(HANDLE process, HWND form);
  ~StarterRun();
  StarterRun(const StarterRun&) = delete;
  StarterRun& operator=(const StarterRun&) = delete;

  HWND Form() const { return form_; }
  HWND Control(int id) const;  // also finds the label inside its frame
  DWORD ThreadId() const { return threadId_; }

  void Click(int id);                    // a button's or check box's click
  void ClickLabel(int id);               // a mouse click on a label
  void SelectEntry(int index);           // the player picking a list entry
  void PressKey(WPARAM key);             // a key pressed in the focused control
  void CloseBox();                       // the close box
  HWND FocusedWindow() const;

  std::string Text(HWND window) const;  // the window's text, as bytes
  int Check(int id) const;
  CheckStates Checks() const;
  int Selection() const;
  SIZE OuterSize() const;
  SIZE ClientSize() const;
  RECT RectInParent(HWND control) const;  // pixels, in the parent's client area

  // Waits for the launcher to end and answers its exit status; throws after `milliseconds`.
  DWORD WaitForExit(DWORD milliseconds = kDeadline);
  // The error report the launcher shows, or nullptr when none appears within `milliseconds`.
  HWND WaitForReport(DWORD milliseconds = kDeadline) const;

  // Saves what the screen shows of the window, frame included, as a 24-bit bitmap file, once two
  // looks in a row show the same: the window has finished painting.
  void SaveScreenshot(const std::string& path) const;

 private:
  PROCESS_INFORMATION process_{};
  HWND form_ = nullptr;
  DWORD threadId_ = 0;
};

// Waits until `path` exists and its writer has closed it, and answers its bytes; empty when it
// never appears.
std::string WaitForFile(const std::string& path, DWORD milliseconds = kDeadline);

}  // namespace starter_remote
