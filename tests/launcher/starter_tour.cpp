// Takes Starter.exe in a game folder through a player's visit: opens it, saves a screenshot of
// the narrow window, presses "Video Setup", saves one of the wide window, ticks "Window mode" and
// presses "Play". Prints what the stand-in game recorded about its start.
//   starter_tour <game folder> <screenshot folder>
#include <cstdio>
#include <exception>

#include "resource.h"
#include "starter_remote.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: starter_tour <game folder> <screenshot folder>\n");
    return 2;
  }
  try {
    const std::string folder = starter_remote::WindowsPath(argv[1]);
    const std::string shots = starter_remote::WindowsPath(argv[2]);
    DeleteFileA((folder + "\\vorlan_started.txt").c_str());
    starter_remote::StarterRun run(folder);
    run.SaveScreenshot(shots + "\\narrow.bmp");
    run.Click(IDC_COMMAND2);
    run.SaveScreenshot(shots + "\\wide.bmp");
    run.Click(IDC_CHECK1);
    run.Click(IDC_COMMAND1);
    const DWORD status = run.WaitForExit();
    const std::string record = starter_remote::WaitForFile(folder + "\\vorlan_started.txt");
    std::printf("Starter.exe ended with status %lu\n%s", status, record.empty() ? "the game was not started\n" : record.c_str());
    return status == 0 && !record.empty() ? 0 : 1;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "starter_tour: %s\n", error.what());
    return 1;
  }
}
