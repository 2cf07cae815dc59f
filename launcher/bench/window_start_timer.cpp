// Times programs from process creation to their first visible top-level window, several runs each,
// taking turns so that a slower moment of the machine falls on all of them alike. Prints each
// program's median and fastest time and each program's median against the first one's.
//   window_start_timer RUNS "PROGRAM.exe [ARGUMENTS]" ...   (each starts in its program's folder)
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Search {
  DWORD processId;
  bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<Search*>(context);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId != search.processId || !IsWindowVisible(window)) return TRUE;
  search.found = true;
  return FALSE;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  return static_cast<double>(to.QuadPart - from.QuadPart) / frequency;
}

// Seconds from creating the process to its window being visible; negative when it never shows.
double TimeToWindow(const std::string& command) {
  const std::size_t space = command.find(' ');
  const std::string program = command.substr(0, space);
  const std::string folder = program.substr(0, program.find_last_of("\\/"));
  std::string commandLine = "\"" + program + "\"" + (space == std::string::npos ? "" : command.substr(space));
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  LARGE_INTEGER start, now;
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup,
                      &process))
    return -1;
  double elapsed = -1;
  for (;;) {
    Search search{process.dwProcessId, false};
    EnumWindows(FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
    QueryPerformanceCounter(&now);
    if (search.found) {
      elapsed = Seconds(start, now);
      break;
    }
    if (Seconds(start, now) > 60 || WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) break;
  }
  TerminateProcess(process.hProcess, 0);
  WaitForSingleObject(process.hProcess, 10000);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  Sleep(300);  // the system tidies up after the ended program before the next one starts
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 2 ? std::atoi(argv[1]) : 0;
  if (runs < 1) {
    std::fprintf(stderr, "usage: window_start_timer RUNS \"PROGRAM.exe [ARGUMENTS]\" ...\n");
    return 2;
  }
  const std::vector<std::string> programs(argv + 2, argv + argc);
  std::vector<std::vector<double>> times(programs.size());
  TimeToWindow(programs[0]);  // the first start of all also warms the system's caches
  for (int run = 0; run < runs; ++run) {
    for (std::size_t i = 0; i < programs.size(); ++i) {
      const double seconds = TimeToWindow(programs[i]);
      if (seconds < 0) {
        std::fprintf(stderr, "%s showed no window\n", programs[i].c_str());
        return 1;
      }
      times[i].push_back(seconds);
    }
  }
  const double baseline = Median(times[0]);
  std::printf("%-40s %10s %10s %8s\n", "program (start to visible window)", "median ms", "best ms", "ratio");
  for (std::size_t i = 0; i < programs.size(); ++i) {
    const std::string name = programs[i].substr(programs[i].find_last_of("\\/") + 1);
    std::printf("%-40s %10.1f %10.1f %8.2f\n", name.c_str(), Median(times[i]) * 1e3,
                *std::min_element(times[i].begin(), times[i].end()) * 1e3, Median(times[i]) / baseline);
  }
  return 0;
}
