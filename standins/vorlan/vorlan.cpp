// Stand-in for the game executable: appends how it was started (its exact command line and the
// show-window mode it was given) to "vorlan_started.txt" beside itself, then ends.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string OwnFolder() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  return folder.substr(0, folder.find_last_of("\\/") + 1);
}

// The show-window mode from the starter's record, or -1 when the starter gave none.
int ShowWindowMode() {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  GetStartupInfoA(&startup);
  return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  std::FILE* record = std::fopen((OwnFolder() + "vorlan_started.txt").c_str(), "ab");
  if (!record) return 1;
  std::fprintf(record, "command line=%s\nshow window=%d\n", GetCommandLineA(), ShowWindowMode());
  std::fclose(record);
  return 0;
}
