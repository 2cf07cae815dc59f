// debugger_output_capture OUTPUT-FILE PROGRAM [ARGUMENT...]
// Runs the program as a debugger runs it and writes to OUTPUT-FILE the exact UTF-16 text of every
// OutputDebugStringW call the program makes, one call after another, as UTF-16LE bytes. It
// catches the calls themselves (a breakpoint on the function), since a system may deliver the
// debugger event of such a call as 8-bit text. Standard handles pass through to the program;
// the exit code is the program's, or 99 when the program cannot be run under the debugger.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "support/command_line.h"

namespace {

constexpr BYTE kBreakpointInstruction = 0xCC;
constexpr DWORD kTrapFlag = 0x100;
constexpr size_t kLongestText = 65536;  // characters read from one call at most
constexpr int kCannotRun = 99;

// Where the machine keeps what the breakpoint needs, on entry to the function: the address of its
// argument (the text), and the instruction pointer.
#if defined(_WIN64)
ULONG_PTR TextArgument(HANDLE, const CONTEXT& context) { return context.Rcx; }
void ResumeAt(CONTEXT& context, const BYTE* instruction) {
  context.Rip = reinterpret_cast<DWORD64>(instruction);
}
#else
ULONG_PTR TextArgument(HANDLE process, const CONTEXT& context) {
  DWORD address = 0;  // on the stack above the return address
  ReadProcessMemory(process, reinterpret_cast<LPCVOID>(context.Esp + 4), &address, sizeof address, nullptr);
  return address;
}
void ResumeAt(CONTEXT& context, const BYTE* instruction) {
  context.Eip = reinterpret_cast<DWORD>(instruction);
}
#endif

class Capture {
 public:
  Capture(HANDLE process, std::FILE* output, BYTE* function)
      : process_(process), output_(output), function_(function) {}

  // Places the breakpoint; false when the function's code in the program is not ours.
  bool Arm() {
    BYTE inProgram = 0;
    if (!ReadProcessMemory(process_, function_, &inProgram, 1, nullptr) || inProgram != *function_)
      return false;
    original_ = inProgram;
    return Write(kBreakpointInstruction);
  }

  // The program stopped on our breakpoint: takes the text and steps over the first instruction.
  void Hit(HANDLE thread) {
    CONTEXT context{};
    context.ContextFlags = CONTEXT_CONTROL | CONTEXT_INTEGER;
    GetThreadContext(thread, &context);
    if (const ULONG_PTR textAddress = TextArgument(process_, context)) CopyText(textAddress);
    Write(original_);
    ResumeAt(context, function_);
    context.EFlags |= kTrapFlag;
    SetThreadContext(thread, &context);
    rearm_ = true;
  }

  // The step over the first instruction is done: the breakpoint goes back.
  bool Stepped() {
    if (!rearm_) return false;
    rearm_ = false;
    Write(kBreakpointInstruction);
    return true;
  }

  bool IsOurs(const void* address) const { return address == function_; }

 private:
  bool Write(BYTE instruction) {
    const bool written = WriteProcessMemory(process_, function_, &instruction, 1, nullptr);
    FlushInstructionCache(process_, function_, 1);
    return written;
  }

  void CopyText(ULONG_PTR address) {
    std::vector<wchar_t> text;
    wchar_t character = 0;
    while (text.size() < kLongestText &&
           ReadProcessMemory(process_, reinterpret_cast<LPCVOID>(address + 2 * text.size()),
                             &character, sizeof character, nullptr) &&
           character != 0)
      text.push_back(character);
    std::fwrite(text.data(), sizeof(wchar_t), text.size(), output_);
    std::fflush(output_);
  }

  HANDLE process_;
  std::FILE* output_;
  BYTE* function_;
  BYTE original_ = 0;
  bool rearm_ = false;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: debugger_output_capture OUTPUT-FILE PROGRAM [ARGUMENT...]\n");
    return kCannotRun;
  }
  std::FILE* output = std::fopen(argv[1], "wb");
  if (!output) {
    std::fprintf(stderr, "debugger_output_capture: cannot write %s\n", argv[1]);
    return kCannotRun;
  }
  std::string commandLine = test_support::QuotedArgument(argv[2]);
  for (int i = 3; i < argc; ++i) commandLine += " " + test_support::QuotedArgument(argv[i]);

  // System libraries lie at the same address in every process, so our own address of the
  // function is the program's too (Arm checks the code there).
  auto* function = reinterpret_cast<BYTE*>(
      GetProcAddress(GetModuleHandleA("kernel32.dll"), "OutputDebugStringW"));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION started{};
  if (!function || !CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                   DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr, &startup, &started)) {
    std::fprintf(stderr, "debugger_output_capture: cannot start %s (error %lu)\n", argv[2],
                 GetLastError());
    return kCannotRun;
  }

  Capture capture(started.hProcess, output, function);
  bool armed = false;
  DWORD exitCode = kCannotRun;
  for (;;) {
    DEBUG_EVENT event{};
    if (!WaitForDebugEvent(&event, INFINITE)) break;
    DWORD continueStatus = DBG_CONTINUE;
    switch (event.dwDebugEventCode) {
      case CREATE_PROCESS_DEBUG_EVENT:
        CloseHandle(event.u.CreateProcessInfo.hFile);
        break;
      case LOAD_DLL_DEBUG_EVENT:
        CloseHandle(event.u.LoadDll.hFile);
        break;
      case EXCEPTION_DEBUG_EVENT: {
        const EXCEPTION_RECORD& exception = event.u.Exception.ExceptionRecord;
        HANDLE thread = OpenThread(THREAD_GET_CONTEXT | THREAD_SET_CONTEXT, FALSE, event.dwThreadId);
        if (exception.ExceptionCode == EXCEPTION_BREAKPOINT && capture.IsOurs(exception.ExceptionAddress)) {
          capture.Hit(thread);
        } else if (exception.ExceptionCode == EXCEPTION_BREAKPOINT && !armed) {
          // The loader's breakpoint: the system libraries are in place.
          armed = capture.Arm();
          if (!armed) {
            std::fprintf(stderr, "debugger_output_capture: cannot watch OutputDebugStringW\n");
            TerminateProcess(started.hProcess, kCannotRun);
          }
        } else if (!(exception.ExceptionCode == EXCEPTION_SINGLE_STEP && capture.Stepped())) {
          continueStatus = DBG_EXCEPTION_NOT_HANDLED;  // the program's own exception
        }
        if (thread) CloseHandle(thread);
        break;
      }
      case EXIT_PROCESS_DEBUG_EVENT:
        exitCode = event.u.ExitProcess.dwExitCode;
        break;
      default:
        break;
    }
    ContinueDebugEvent(event.dwProcessId, event.dwThreadId, continueStatus);
    if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) break;
  }
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  std::fclose(output);
  return armed ? static_cast<int>(exitCode) : kCannotRun;
}
