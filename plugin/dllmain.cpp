// The library's load entry: loading and unloading do nothing of the plug-in's own.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
