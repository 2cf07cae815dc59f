// The calling convention of everything that crosses between the host engine and the plug-in:
// 32-bit arguments on the stack, removed by the caller, the result in the return register.
#pragma once

#define KELVO_CDECL __attribute__((cdecl))
