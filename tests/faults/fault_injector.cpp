// fault_injector: runs a program with the fault-injection library in it.
//   fault_injector --library DLL --module NAME [--record FILE] [--log FILE]
//                  [--fail DLL!FUNCTION --at N [--site RVA --step S] [--persistent]] -- PROGRAM [ARGUMENT...]
// The program starts suspended in the current folder; the library takes the place of every import
// of the module NAME (loaded now or later) before the program runs. With --fail the Nth call of
// that import fails as the platform documents it (--persistent: that call and every later one);
// --record counts every call by import, call site and step into FILE and, at the end, prints how
// often each import was called. The injector's exit code is the program's; 99 when it cannot run.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>

#include "injected_process.h"
#include "support/command_line.h"

namespace {

constexpr int kCannotRun = 99;

int Usage() {
  std::fprintf(stderr,
               "usage: fault_injector --library DLL --module NAME [--record FILE] [--log FILE]\n"
               "         [--fail DLL!FUNCTION --at N [--site RVA --step S] [--persistent]] -- PROGRAM [ARGUMENT...]\n");
  return kCannotRun;
}

// Each import's calls, summed over its call sites and steps.
void PrintCallCounts(const std::string& record) {
  std::ifstream lines(record);
  std::map<std::string, unsigned long long> counts;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string kind, import, site, step;
    unsigned long long count = 0;
    if (fields >> kind >> import >> site >> step >> count) counts[import] += count;
  }
  for (const auto& [import, count] : counts) std::printf("%10llu  %s\n", count, import.c_str());
}

}  // namespace

int main(int argc, char** argv) {
  std::string library, plan, record, commandLine;
  int i = 1;
  for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    const std::string option = argv[i];
    if (option == "--persistent") {
      plan += "|persistent=1";
      continue;
    }
    if (i + 1 >= argc) return Usage();
    const std::string value = argv[++i];
    if (option == "--library") library = value;
    else if (option == "--module") plan += "|module=" + value;
    else if (option == "--record") record = value, plan += "|record=" + value;
    else if (option == "--log") plan += "|log=" + value;
    else if (option == "--fail") plan += "|fail=" + value;
    else if (option == "--at") plan += "|at=" + value;
    else if (option == "--site") plan += "|site=" + value;
    else if (option == "--step") plan += "|step=" + value;
    else return Usage();
  }
  if (library.empty() || plan.find("|module=") == std::string::npos || i + 1 >= argc) return Usage();
  for (++i; i < argc; ++i) commandLine += (commandLine.empty() ? "" : " ") + test_support::QuotedArgument(argv[i]);

  char folder[MAX_PATH];
  GetCurrentDirectoryA(MAX_PATH, folder);
  char fullLibrary[MAX_PATH];
  GetFullPathNameA(library.c_str(), MAX_PATH, fullLibrary, nullptr);
  DWORD exitCode = kCannotRun;
  try {
    fault_injection::InjectedProcess program(commandLine, folder, fullLibrary, plan.substr(1), 0);
    program.WaitForExit(INFINITE, exitCode);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "fault_injector: %s\n", error.what());
    return kCannotRun;
  }
  if (!record.empty()) PrintCallCounts(record);
  return static_cast<int>(exitCode);
}
