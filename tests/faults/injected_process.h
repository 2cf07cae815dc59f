// A program started with the fault-injection library loaded into it before its own code runs.
#pragma once
#include <windows.h>

#include <string>

namespace fault_injection {

class InjectedProcess {
 public:
  // Starts `commandLine` in `folder`, suspended, with `plan` in its environment (see
  // injection_protocol.h) and the step block made at `firstStep`, loads `library` into it and lets
  // it run. Throws std::runtime_error, with the reason, when any of that fails.
  InjectedProcess(const std::string& commandLine, const std::string& folder, const std::string& library,
                  const std::string& plan, int firstStep);
  ~InjectedProcess();  // ends the program if it still runs
  InjectedProcess(const InjectedProcess&) = delete;
  InjectedProcess& operator=(const InjectedProcess&) = delete;

  HANDLE Handle() const { return process_.hProcess; }
  DWORD Id() const { return process_.dwProcessId; }
  // Names the scenario step that the program's calls from now on belong to.
  void SetStep(int step);
  // Waits for the program to end; false when it is still running after `milliseconds`.
  bool WaitForExit(DWORD milliseconds, DWORD& exitCode);
  void Kill();

 private:
  PROCESS_INFORMATION process_{};
  HANDLE stepMapping_ = nullptr;
  struct StepBlock* stepBlock_ = nullptr;
};

}  // namespace fault_injection
