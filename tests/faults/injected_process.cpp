#include "injected_process.h"

#include <cstring>
#include <stdexcept>
#include <vector>

#include "injection_protocol.h"

namespace fault_injection {
namespace {

constexpr DWORD kLoadDeadline = 60000;  // generous: an emulated machine is many times slower

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

// This process's environment with the plan added, as CreateProcess takes it.
std::vector<char> EnvironmentWith(const std::string& plan) {
  std::vector<char> block;
  const std::string own = std::string(kPlanVariable) + "=";
  char* const strings = GetEnvironmentStringsA();
  for (const char* entry = strings; *entry; entry += std::strlen(entry) + 1)
    if (std::strncmp(entry, own.c_str(), own.size()) != 0) block.insert(block.end(), entry, entry + std::strlen(entry) + 1);
  FreeEnvironmentStringsA(strings);
  const std::string entry = own + plan;
  block.insert(block.end(), entry.begin(), entry.end());
  block.push_back('\0');
  block.push_back('\0');
  return block;
}

}  // namespace

InjectedProcess::InjectedProcess(const std::string& commandLine, const std::string& folder, const std::string& library,
                                 const std::string& plan, int firstStep) {
  std::vector<char> environment = EnvironmentWith(plan);
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  // No standard handles: what the program, or a debugger the system starts on its crash, prints
  // goes nowhere.
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  const HANDLE nowhere = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     &inherited, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nowhere;
  const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED,
                                      environment.data(), folder.c_str(), &startup, &process_);
  CloseHandle(nowhere);
  if (!started) Fail("cannot start " + commandLine);

  const std::string blockName = kStepBlockPrefix + std::to_string(process_.dwProcessId);
  stepMapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(StepBlock),
                                    blockName.c_str());
  if (!stepMapping_) Fail("cannot make the step block");
  stepBlock_ = static_cast<StepBlock*>(MapViewOfFile(stepMapping_, FILE_MAP_WRITE, 0, 0, sizeof(StepBlock)));
  if (!stepBlock_) Fail("cannot map the step block");
  stepBlock_->step = firstStep;

  // LoadLibraryW lies at the same address in every process of the system's width.
  std::wstring path(library.size() + 1, L'\0');
  path.resize(MultiByteToWideChar(CP_ACP, 0, library.c_str(), -1, path.data(), static_cast<int>(path.size())));
  const SIZE_T bytes = path.size() * sizeof(wchar_t);
  void* remotePath = VirtualAllocEx(process_.hProcess, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  if (!remotePath || !WriteProcessMemory(process_.hProcess, remotePath, path.c_str(), bytes, nullptr))
    Fail("cannot write the library's name into the program");
  const auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "LoadLibraryW")));
  const HANDLE loader = CreateRemoteThread(process_.hProcess, nullptr, 0, loadLibrary, remotePath, 0, nullptr);
  if (!loader) Fail("cannot start the library's loading in the program");
  const DWORD waited = WaitForSingleObject(loader, kLoadDeadline);
  CloseHandle(loader);
  VirtualFreeEx(process_.hProcess, remotePath, 0, MEM_RELEASE);
  if (waited != WAIT_OBJECT_0 || !stepBlock_->ready) Fail("the library did not take its place in " + commandLine);
  ResumeThread(process_.hThread);
}

InjectedProcess::~InjectedProcess() {
  Kill();
  if (stepBlock_) UnmapViewOfFile(stepBlock_);
  if (stepMapping_) CloseHandle(stepMapping_);
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

void InjectedProcess::SetStep(int step) { stepBlock_->step = step; }

bool InjectedProcess::WaitForExit(DWORD milliseconds, DWORD& exitCode) {
  if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return false;
  GetExitCodeProcess(process_.hProcess, &exitCode);
  return true;
}

void InjectedProcess::Kill() {
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, kLoadDeadline);
  }
}

}  // namespace fault_injection
