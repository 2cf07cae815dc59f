// Where the plug-in reports: the process's standard output, shared with the host, and the
// debugger output.
#pragma once

namespace kelvo::storefront {

// Prints to standard output and flushes at once, so the line lands in order with whatever the
// host prints around the call.
void Print(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Sends the text to the debugger output (natively, where there is none, to standard error).
void SendToDebugger(const wchar_t* text);

}  // namespace kelvo::storefront
