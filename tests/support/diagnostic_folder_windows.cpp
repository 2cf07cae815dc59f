#include "diagnostic_folder.h"

#include <windows.h>

#include <stdexcept>
#include <system_error>

namespace test_support {

namespace fs = std::filesystem;

const fs::path kDiagnosticFolder = L"c:\\1_temp";

DiagnosticFolderHeld::DiagnosticFolderHeld() : mutex_(CreateMutexW(nullptr, FALSE, L"vorlan-tests-c-1-temp")) {
  if (!mutex_) throw std::runtime_error("cannot make the mutex for c:\\1_temp");
  const DWORD waited = WaitForSingleObject(mutex_, 30 * 60 * 1000);
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    CloseHandle(mutex_);
    throw std::runtime_error("c:\\1_temp stayed held by another test run for 30 minutes");
  }
}

DiagnosticFolderHeld::~DiagnosticFolderHeld() {
  ReleaseMutex(mutex_);
  CloseHandle(mutex_);
}

DiagnosticFolderSetAside::DiagnosticFolderSetAside(const std::string& why)
    : aside_(kDiagnosticFolder.wstring() + L"." + fs::path(why).wstring() + L"-" +
             std::to_wstring(GetCurrentProcessId())) {
  if (fs::exists(kDiagnosticFolder)) fs::rename(kDiagnosticFolder, aside_);
}

DiagnosticFolderSetAside::~DiagnosticFolderSetAside() {
  std::error_code ignored;
  fs::remove_all(kDiagnosticFolder, ignored);
  if (fs::exists(aside_, ignored)) fs::rename(aside_, kDiagnosticFolder, ignored);
}

}  // namespace test_support
