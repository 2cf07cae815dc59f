// A plug-in that writes to standard output from inside its exports, as the storefront notices
// do, to check that the stand-in host's transcript keeps its lines in order.
#include <cstdio>

extern "C" __declspec(dllexport) int A6_DLLAPI(const void*) { return 630; }

extern "C" __declspec(dllexport) int say_hello() {
  std::printf("plug-in: hello\n");
  std::fputs("plug-in: ", stdout);
  std::fputs("second line\n", stdout);
  return 1;
}
