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
  std::vfprintf(stdout, format, arguments);
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
