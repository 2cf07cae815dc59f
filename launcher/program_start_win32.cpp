// The launcher's entry point, in place of the C runtime's start code. That code copies the command
// line's arguments into fresh memory and writes through the copies without checking that the
// memory was there, so a system short of memory at the very start crashed the launcher before it
// could report anything; the launcher reads no arguments. This entry does what the launcher needs
// of the start code, and the window reports its own errors from the first one on.
#include <windows.h>

#include <cstdlib>

extern "C" {
void __set_app_type(int type);  // the C runtime's: how it shows its own errors
void _fpreset();                // the floating-point unit as the start code leaves it
void __main();                  // the static objects' constructors, their destructors for exit
}

namespace {

constexpr int kWindowProgram = 2;  // _GUI_APP

// The command line after the program's name, which may be quoted, and the blanks after it.
LPSTR ArgumentsOf(LPSTR line) {
  bool quoted = false;
  for (; *line > ' ' || (*line && quoted); ++line)
    if (*line == '"') quoted = !quoted;
  while (*line && *line <= ' ') ++line;
  return line;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int showCommand);

// The runtime exports its atexit as data, for start code that brings its own, as this does: a
// function registered to run at exit (the static objects' destructors).
extern "C" int atexit(void (*function)()) { return _onexit(reinterpret_cast<_onexit_t>(function)) ? 0 : -1; }

extern "C" [[noreturn]] void WinMainCRTStartup() {
  __set_app_type(kWindowProgram);
  _fpreset();
  __main();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  const int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
  std::exit(WinMain(GetModuleHandleA(nullptr), nullptr, ArgumentsOf(GetCommandLineA()), showCommand));
}
