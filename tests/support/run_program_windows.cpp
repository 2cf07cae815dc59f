#include "run_program.h"

#include <windows.h>

#include <system_error>

#include "command_line.h"
#include "wide_text.h"

namespace test_support {

namespace {

// A handle closed when the object ends.
class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
  ~Handle() {
    if (handle_) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::string SystemError(const std::string& what, DWORD error) {
  return what + " (" + std::system_category().message(static_cast<int>(error)) + ", error " +
         std::to_string(error) + ")";
}

// A handle the started program inherits: the file, made anew, or the null device.
HANDLE InheritableFile(const std::filesystem::path& path, bool forWriting) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const std::wstring name = path.empty() ? L"NUL" : path.wstring();
  return CreateFileW(name.c_str(), forWriting ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     &inherit, forWriting && !path.empty() ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& folder,
                      const std::filesystem::path& output, const std::filesystem::path& error,
                      std::chrono::seconds limit) {
  ProgramRun run;
  std::string commandLine;
  for (const std::string& argument : argv)
    commandLine += (commandLine.empty() ? "" : " ") + QuotedArgument(argument);
  std::wstring wideCommandLine = Wide(commandLine);

  const Handle input(InheritableFile({}, false));
  const Handle outputFile(InheritableFile(output, true));
  const bool oneFile = !output.empty() && output == error;
  const Handle errorFile(oneFile ? nullptr : InheritableFile(error, true));
  if (!input.get() || !outputFile.get() || (!oneFile && !errorFile.get())) {
    run.problem = SystemError("cannot open the output files of " + argv.at(0), GetLastError());
    return run;
  }

  // Everything the program starts belongs to one job, so that a program that outlasts its time
  // leaves nothing running behind it.
  const Handle job(CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job.get()) SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input.get();
  startup.hStdOutput = outputFile.get();
  startup.hStdError = oneFile ? outputFile.get() : errorFile.get();
  PROCESS_INFORMATION process{};
  const std::wstring wideFolder = folder.wstring();
  if (!CreateProcessW(PathFromUtf8(argv.at(0)).wstring().c_str(), wideCommandLine.data(), nullptr, nullptr, TRUE,
                      CREATE_SUSPENDED, nullptr, wideFolder.c_str(), &startup, &process)) {
    run.problem = SystemError("cannot start " + argv.at(0), GetLastError());
    return run;
  }
  const Handle processHandle(process.hProcess);
  const Handle thread(process.hThread);
  if (job.get()) AssignProcessToJobObject(job.get(), process.hProcess);
  ResumeThread(process.hThread);
  run.started = true;

  const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(limit).count();
  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) {
    run.timedOut = true;
    run.problem = argv.at(0) + " ran longer than " + std::to_string(limit.count()) + " s and was ended";
    if (job.get()) TerminateJobObject(job.get(), 1);
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  DWORD exitCode = 0;
  GetExitCodeProcess(process.hProcess, &exitCode);
  run.exitCode = exitCode;
  return run;
}

}  // namespace test_support
