#include "scenarios.h"

#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <thread>

#include "form1_layout.h"
#include "injected_process.h"
#include "resource.h"
#include "starter_remote.h"
#include "support/command_line.h"
#include "support/diagnostic_folder.h"
#include "support/files.h"
#include "support/wait.h"

namespace fault_campaign {
namespace {

namespace fs = std::filesystem;
using test_support::kDiagnosticFolder;
using test_support::ReadFileBytes;
using test_support::WaitUntil;
using test_support::WriteFileBytes;

constexpr DWORD kDeadline = static_cast<DWORD>(test_support::kDeadline.count());

// A fresh, empty folder.
void MakeEmptyFolder(const std::string& folder) {
  std::error_code ignored;
  for (const auto& entry : fs::recursive_directory_iterator(folder, ignored))
    SetFileAttributesA(entry.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
  fs::remove_all(folder, ignored);
  fs::create_directories(folder);
}

// A copy of `file` in `folder` under its own name. Not a link: a program running from one link
// holds every link to it open, and another run's link would then fail.
void PlaceIn(const std::string& folder, const std::string& file) {
  const std::string target = folder + "\\" + fs::path(file).filename().string();
  if (!CopyFileA(file.c_str(), target.c_str(), FALSE))
    throw std::runtime_error("cannot place " + file + " in " + folder + " (error " + std::to_string(GetLastError()) + ")");
}

std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(folder, ignored)) names.push_back(entry.path().filename().string());
  return names;
}

std::optional<std::string> FileIfThere(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) return std::nullopt;
  return ReadFileBytes(path);
}

// Waits for every program that the process `parent` started to end.
void WaitForChildren(DWORD parent) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID != parent) continue;
    if (const HANDLE child = OpenProcess(SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
      WaitForSingleObject(child, kDeadline);
      CloseHandle(child);
    }
  }
  CloseHandle(snapshot);
}

std::vector<LogLine> LogOf(const std::string& path) {
  std::ifstream log(path);
  return ReadLog(log);
}

// The launcher's scenario, one step after another.
class LauncherScenario {
 public:
  LauncherScenario(const Programs& programs, const std::string& folder, const std::string& plan)
      : folder_(folder),
        process_(test_support::QuotedArgument(programs.starter), folder, programs.library, plan, launcher::kStartUp) {}

  ~LauncherScenario() {
    process_.Kill();
    if (sender_.joinable()) sender_.join();
  }

  launcher::Run Play() {
    if (!StartUp()) return Finish();
    window_.emplace(process_.Handle(), form_);
    if (!Settled()) return Finish();
    run_.views.push_back(View());
    const HWND check1 = window_->Control(IDC_CHECK1), list = window_->Control(IDC_COMBO1);
    for (int step = launcher::kWiden; step < launcher::kPlay; ++step) {
      step_ = step;
      process_.SetStep(step);
      bool done = true;
      switch (step) {
        case launcher::kWiden: done = Command(IDC_COMMAND2, BN_CLICKED); break;
        case launcher::kChangeOptions:
          // As a click and a pick by the player leave them: the new state, then the notification.
          done = Send(check1, BM_SETCHECK, window_->Check(IDC_CHECK1) ? BST_UNCHECKED : BST_CHECKED, 0) &&
                 Command(IDC_CHECK1, BN_CLICKED) && Send(list, CB_SETCURSEL, launcher::kPickedEntry, 0) &&
                 Command(IDC_COMBO1, CBN_SELCHANGE);
          break;
        case launcher::kSaveConfig: done = Command(IDC_COMMAND3, BN_CLICKED); break;
        case launcher::kLoadConfig: done = Command(IDC_COMMAND4, BN_CLICKED); break;
      }
      if (!done || !Settled()) return Finish();
      run_.views.push_back(View());
    }
    step_ = launcher::kPlay;
    process_.SetStep(launcher::kPlay);
    PostMessageA(form_, WM_COMMAND, MAKEWPARAM(IDC_COMMAND1, BN_CLICKED),
                 reinterpret_cast<LPARAM>(window_->Control(IDC_COMMAND1)));
    Watch([] { return false; });
    return Finish();
  }

 private:
  // Waits until the window is shown, or the launcher reports, ends or hangs; true when shown.
  bool StartUp() {
    step_ = launcher::kStartUp;
    return Watch([&] {
      form_ = starter_remote::FindProcessWindow(process_.Id(), ::launcher::form1::kClassName, ::launcher::form1::kCaption, 0);
      return form_ != nullptr;
    });
  }

  // Waits until `done` holds (true), or a report shows, the launcher ends, or the deadline passes.
  template <typename Done>
  bool Watch(Done done) {
    const bool decided = WaitUntil([&] {
      if (done()) return true;
      report_ = starter_remote::FindProcessWindow(process_.Id(), "#32770", nullptr, 0);
      return report_ != nullptr || WaitForSingleObject(process_.Handle(), 0) == WAIT_OBJECT_0;
    });
    if (!decided) run_.hung = true;
    return decided && !report_ && WaitForSingleObject(process_.Handle(), 0) == WAIT_TIMEOUT && done();
  }

  // Sends a message as another program does, watching for what the launcher does meanwhile.
  bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (sender_.joinable()) sender_.join();
    std::atomic<bool>* const sent = &sent_;
    sent_ = false;
    sender_ = std::thread([=] {
      DWORD_PTR answer;
      SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, 2 * kDeadline, &answer);
      *sent = true;
    });
    return Watch([&] { return sent_.load(); });
  }

  // A control's notification, as its click or pick sends it to the window.
  bool Command(int id, int code) {
    return Send(form_, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(window_->Control(id)));
  }

  // The launcher is done with the step: its queue is empty and it answers.
  bool Settled() {
    WaitForInputIdle(process_.Handle(), kDeadline);
    return Send(form_, WM_NULL, 0, 0) &&
           !(report_ = starter_remote::FindProcessWindow(process_.Id(), "#32770", nullptr, 0));
  }

  // The launcher's window, shown or still hidden (as while Form_Load runs).
  HWND FormEvenHidden() const {
    for (HWND window = nullptr; (window = FindWindowExA(nullptr, window, ::launcher::form1::kClassName, nullptr));) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner == process_.Id()) return window;
    }
    return nullptr;
  }

  launcher::WindowView View() const {
    launcher::WindowView view;
    const SIZE client = window_->ClientSize(), outer = window_->OuterSize();
    view.clientWidth = client.cx;
    view.clientHeight = client.cy;
    view.outerWidth = outer.cx;
    view.outerHeight = outer.cy;
    for (const auto& listed : ::launcher::form1::kControls) {
      launcher::Control control;
      control.id = listed.id;
      const HWND window = window_->Control(listed.id);
      control.exists = window != nullptr;
      if (window) {
        const RECT rect = window_->RectInParent(window);
        control.left = rect.left;
        control.top = rect.top;
        control.right = rect.right;
        control.bottom = rect.bottom;
        control.visible = IsWindowVisible(window) != FALSE;
        // The trace and the list's selected text are the options', compared apart.
        if (listed.id != IDC_TEXT2 && listed.id != IDC_COMBO1) control.text = window_->Text(window);
      }
      view.controls.push_back(control);
    }
    const HWND list = window_->Control(IDC_COMBO1);
    const LRESULT entries = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < entries; ++i) {
      char text[64] = {};
      if (SendMessageA(list, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof text))
        SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
      view.listEntries.push_back(text);
    }
    const starter_remote::CheckStates checks = window_->Checks();
    std::copy(checks.begin(), checks.end(), view.options.checks.begin());
    view.options.selection = window_->Selection();
    view.trace = window_->Text(window_->Control(IDC_TEXT2));
    return view;
  }

  // The launcher has ended, reported or hung in the current step: what it leaves behind.
  launcher::Run Finish() {
    run_.endedInStep = step_;
    if (report_) {
      run_.report = starter_remote::ReportText(report_);
      if (const HWND form = FormEvenHidden()) run_.traceAtReport = starter_remote::WindowText(GetDlgItem(form, IDC_TEXT2));
      PostMessageA(report_, WM_COMMAND, IDOK, 0);  // the player acknowledges it
    }
    DWORD exitCode = 0;
    if (!run_.hung && process_.WaitForExit(kDeadline, exitCode)) {
      run_.exited = true;
      run_.exitCode = exitCode;
    } else {
      run_.hung = true;
    }
    process_.Kill();
    // A game the launcher started records its start as it comes up.
    WaitForChildren(process_.Id());
    const std::string started = folder_ + "\\vorlan_started.txt";
    if (GetFileAttributesA(started.c_str()) != INVALID_FILE_ATTRIBUTES) {
      const std::string starts = ReadFileBytes(started);
      for (std::size_t at = 0; at < starts.size();) {
        const std::size_t next = starts.find("command line=", at + 1);
        run_.gameStarts.push_back(starts.substr(at, next == std::string::npos ? std::string::npos : next - at));
        at = next == std::string::npos ? starts.size() : next;
      }
    }
    run_.config = ReadFileBytes(folder_ + "\\xconfig.dat");
    run_.savedConfig = FileIfThere(folder_ + "\\xconfig2.dat");
    run_.files = FileNames(folder_);
    return run_;
  }

  const std::string folder_;
  fault_injection::InjectedProcess process_;
  std::optional<starter_remote::StarterRun> window_;
  HWND form_ = nullptr;
  HWND report_ = nullptr;
  int step_ = launcher::kStartUp;
  std::thread sender_;
  std::atomic<bool> sent_{false};
  launcher::Run run_;
};

}  // namespace

launcher::Run RunLauncher(const Programs& programs, const std::string& folder, const std::string& plan,
                          const std::string& log) {
  MakeEmptyFolder(folder);
  WriteFileBytes(folder + "\\xconfig.dat", launcher::kConfigFile);
  WriteFileBytes(folder + "\\xconfig2.dat", launcher::kEarlierSave);
  PlaceIn(folder, programs.game);
  DeleteFileA(log.c_str());
  launcher::Run run;
  {
    LauncherScenario scenario(programs, folder, "module=Starter.exe|log=" + log + (plan.empty() ? "" : "|" + plan));
    run = scenario.Play();
  }
  run.log = LogOf(log);
  return run;
}

plugin::Run RunPlugin(const Programs& programs, const std::string& folder, const std::string& plan,
                      const std::string& log) {
  MakeEmptyFolder(folder);
  MakeEmptyFolder(kDiagnosticFolder.string());
  for (const std::string& file : programs.storefront) PlaceIn(folder, file);
  PlaceIn(folder, programs.game);
  PlaceIn(folder, programs.plugin);
  WriteFileBytes(folder + "\\script.txt", plugin::kScript);
  WriteFileBytes(folder + "\\storefront_state.json", plugin::kState);
  DeleteFileA(log.c_str());
  plugin::Run run;
  {
    fault_injection::InjectedProcess game(test_support::QuotedArgument(folder + "\\vorlan.exe") + " -script script.txt",
                                          folder, programs.library,
                                          "module=kelvo.dll|log=" + log + (plan.empty() ? "" : "|" + plan), 0);
    DWORD exitCode = 0;
    run.exited = game.WaitForExit(kDeadline, exitCode);
    run.hung = !run.exited;
    run.exitCode = exitCode;
  }
  plugin::ReadTranscript(ReadFileBytes(folder + "\\vorlan_output.txt"), run);
  run.countryFile = FileIfThere((kDiagnosticFolder / "pais.txt").string());
  run.greetingFile = FileIfThere((kDiagnosticFolder / "alog.txt").string());
  run.diagnosticFolder = FileNames(kDiagnosticFolder.string());
  run.log = LogOf(log);
  return run;
}

}  // namespace fault_campaign
