// The launcher is built without C++ exceptions. What the C++ library would throw (a string past
// its size limit, a position past a string's end, memory that ran out) ends the launcher here
// with the same report, and the same text, that it gives for every other error. The library's
// manual provides for replacing these functions in programs built so; with them, and with
// std::string's members built here rather than taken from the library, the exception runtime,
// its unwinder and the thread library under them stay out of the program.
#include <cstdarg>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <string>

#include "error_report_win32.h"

template class std::basic_string<char>;

namespace std {

void __throw_bad_alloc() { launcher::ReportErrorAndEnd("std::bad_alloc"); }
void __throw_length_error(const char* what) { launcher::ReportErrorAndEnd(what); }
void __throw_logic_error(const char* what) { launcher::ReportErrorAndEnd(what); }
void __throw_bad_function_call() { launcher::ReportErrorAndEnd("bad_function_call"); }

// The library's message texts use only "%s", "%zu" and "%%".
void __throw_out_of_range_fmt(const char* format, ...) {
  char message[512];
  char* out = message;
  char* const last = message + sizeof message - 1;
  va_list arguments;
  va_start(arguments, format);
  for (const char* at = format; *at && out < last; ++at) {
    if (at[0] == '%' && at[1] == 's') {
      for (const char* text = va_arg(arguments, const char*); *text && out < last; ++text) *out++ = *text;
      ++at;
    } else if (at[0] == '%' && at[1] == 'z' && at[2] == 'u') {
      char digits[24];
      char* digit = digits + sizeof digits;
      std::size_t value = va_arg(arguments, std::size_t);
      do *--digit = static_cast<char>('0' + value % 10); while ((value /= 10) != 0);
      while (digit < digits + sizeof digits && out < last) *out++ = *digit++;
      at += 2;
    } else {
      if (at[0] == '%' && at[1] == '%') ++at;
      *out++ = *at;
    }
  }
  va_end(arguments);
  *out = '\0';
  launcher::ReportErrorAndEnd(message);
}

}  // namespace std

void* operator new(std::size_t size) {
  if (void* block = std::malloc(size ? size : 1)) return block;
  std::__throw_bad_alloc();
}

void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
