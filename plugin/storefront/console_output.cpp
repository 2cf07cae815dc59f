#include "console_output.h"

#include <cstdarg>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kelvo::storefront {

void Print(const char* format, ...) {
  va_list arguments;
  va_start(arguments, format);
#ifdef _WIN32
  // The system C runtime's own formatter: the messages use only plain text and %d, which it
  // prints as any other, and the library then carries no formatter of its own.
  __ms_vfprintf(stdout, format, arguments);
#else
  std::vfprintf(stdout, format, arguments);
#endif
  va_end(arguments);
  std::fflush(stdout);
}

void SendToDebugger(const wchar_t* text) {
#ifdef _WIN32
  OutputDebugStringW(text);
#else
  std::fprintf(stderr, "%ls", text);
  std::fflush(stderr);
#endif
}

}  // namespace kelvo::storefront
