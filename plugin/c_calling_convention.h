// The calling convention of everything that crosses between the host engine and the plug-in. On
// 32-bit x86 that is the C convention: arguments on the stack, removed by the caller, the result in
// the return register. A 64-bit machine has one calling convention only.
#pragma once

#if defined(__i386__)
#define KELVO_CDECL __attribute__((cdecl))
#else
#define KELVO_CDECL
#endif
