// run-tests: runs the Windows tests of the kit it lies in and reports what they came to.
//   run-tests [--list] [--report FILE] [PATTERN]
// runs every test of kit_tests.txt beside it (those whose names PATTERN, an ECMAScript regular
// expression, finds a match in), one line per test, then a line of counts, and writes a report
// (this machine's facts and the output of every failed test). It works in a temporary folder of
// its own with a copy of the kit, so the kit's folder may be read-only. A test that needs what
// this machine lacks is skipped with the reason. Ends with 0 when no test failed.
//   run-tests --run game-flow CASE-FOLDER GAME PLUGIN STOREFRONT TOOL CAPTURE [STOREFRONT-NEED...]
//   run-tests --run expect-output EXIT-STATUS PATTERN PROGRAM [ARGUMENT...]
// run one test as ctest runs it (the kit's runs of such tests come here too): a game-flow case
// (game_flow.h; GAME_FLOW_RECORD=1 writes its golden files instead), or a program that must end
// with EXIT-STATUS and print output (standard output and error together) in which the POSIX
// extended regular expression PATTERN finds a match, '.' matching line ends too.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "game_flow.h"
#include "kit_logic.h"
#include "support/files.h"
#include "support/run_program.h"
#include "support/scratch_folder.h"
#include "support/wide_text.h"

namespace fs = std::filesystem;
using test_support::PathFromUtf8;
using test_support::ProgramRun;
using test_support::RunProgram;
using test_support::Utf8;
using test_support::Utf8Path;

namespace {

constexpr int kUsage = 2;
constexpr std::chrono::seconds kListingLimit{120};

void Print(const std::string& text) {
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
}

fs::path OwnProgram() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return fs::path(path);
}

std::string Environment(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);
  return value ? Utf8(value) : std::string();
}

int RunGameFlow(const std::vector<std::string>& arguments) {
  if (arguments.size() < 6) {
    Print("usage: run-tests --run game-flow CASE-FOLDER GAME PLUGIN STOREFRONT TOOL CAPTURE [STOREFRONT-NEED...]\n");
    return kUsage;
  }
  kit::GameFlowPrograms programs;
  programs.game = PathFromUtf8(arguments[1]);
  programs.plugin = PathFromUtf8(arguments[2]);
  programs.storefront = PathFromUtf8(arguments[3]);
  programs.tool = PathFromUtf8(arguments[4]);
  programs.capture = PathFromUtf8(arguments[5]);
  for (std::size_t i = 6; i < arguments.size(); ++i) programs.storefrontNeeds.push_back(PathFromUtf8(arguments[i]));
  const test_support::ScratchFolder scratch;
  std::string account;
  const bool passed = kit::RunGameFlowCase(fs::absolute(PathFromUtf8(arguments[0])), programs, scratch.path(),
                                           Environment(L"GAME_FLOW_RECORD") == "1", account);
  Print(account);
  return passed ? 0 : 1;
}

int RunExpectOutput(const std::vector<std::string>& arguments) {
  if (arguments.size() < 3) {
    Print("usage: run-tests --run expect-output EXIT-STATUS PATTERN PROGRAM [ARGUMENT...]\n");
    return kUsage;
  }
  const unsigned long expectedStatus = std::stoul(arguments[0]);
  const test_support::ScratchFolder scratch;
  const fs::path output = scratch.path() / L"output.txt";
  const std::vector<std::string> argv(arguments.begin() + 2, arguments.end());
  const ProgramRun run = RunProgram(argv, fs::current_path(), output, output, std::chrono::seconds(600));
  const std::string text = test_support::ReadFileBytes(output);
  Print(text + (text.empty() || text.back() == '\n' ? "" : "\n"));
  int failures = 0;
  if (!run.started || run.timedOut) {
    Print("FAIL: " + run.problem + "\n");
    return 1;
  }
  if (run.exitCode != expectedStatus) {
    Print("FAIL: exit status " + std::to_string(run.exitCode) + ", expected " + std::to_string(expectedStatus) + "\n");
    ++failures;
  }
  if (!kit::OutputMatches(arguments[1], text)) {
    Print("FAIL: the output does not match: " + arguments[1] + "\n");
    ++failures;
  }
  return failures > 0 ? 1 : 0;
}

// What the report says of the machine the tests ran on.
std::string MachineFacts(int dotsPerInch) {
  std::string facts;
  using GetVersionFunction = LONG(WINAPI*)(OSVERSIONINFOW*);
  const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  OSVERSIONINFOW version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (const auto getVersion = reinterpret_cast<GetVersionFunction>(
          reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
      getVersion && getVersion(&version) == 0)
    facts += "Windows version: " + std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion) +
             ", build " + std::to_string(version.dwBuildNumber) + "\n";
  wchar_t text[256];
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"ProductName",
                   RRF_RT_REG_SZ, nullptr, text, &size) == ERROR_SUCCESS)
    facts += "Windows product: " + Utf8(text) + "\n";
  DWORD revision = 0;
  size = sizeof revision;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", L"UBR", RRF_RT_REG_DWORD,
                   nullptr, &revision, &size) == ERROR_SUCCESS)
    facts += "Windows update revision: " + std::to_string(revision) + "\n";
  using WineVersionFunction = const char*(CDECL*)();
  if (const auto wineVersion = reinterpret_cast<WineVersionFunction>(
          reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version"))))
    facts += std::string("Wine version: ") + wineVersion() + "\n";
  facts += "Screen dots per inch: " + std::to_string(dotsPerInch) + "\n";
  facts += "Code page: ANSI " + std::to_string(GetACP()) + ", OEM " + std::to_string(GetOEMCP()) + "\n";
  facts += std::string("Machine: ") + (sizeof(void*) == 8 ? "x86_64" : "i686") + " test programs\n";
  return facts;
}

// Why this machine cannot run a test that needs `need`, or nothing when it can.
class Machine {
 public:
  Machine() {
    SetProcessDPIAware();  // else the system answers 96 to a program that is not
    const HDC screen = GetDC(nullptr);
    dotsPerInch_ = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    const fs::path probe = L"c:\\1_temp.run-tests-probe-" + std::to_wstring(GetCurrentProcessId());
    c1TempWritable_ = CreateDirectoryW(probe.c_str(), nullptr) && RemoveDirectoryW(probe.c_str());
  }
  int dotsPerInch() const { return dotsPerInch_; }

  std::optional<std::string> Lacks(const std::string& need) const {
    if (need == "c_1_temp" && !c1TempWritable_)
      return "needs a writable c:\\1_temp: c:\\ takes no new folder here";
    if (need == "desktop" && GetSystemMetrics(SM_CXSCREEN) <= 0) return "needs a desktop to show windows on";
    if (need == "desktop" && dotsPerInch_ != 96)
      return "needs a display at 96 dots per inch; this one is at " + std::to_string(dotsPerInch_);
    if (need != "c_1_temp" && need != "desktop") return "needs \"" + need + "\", which this runner does not know";
    return std::nullopt;
  }

 private:
  int dotsPerInch_ = 0;
  bool c1TempWritable_ = false;
};

struct Result {
  std::string name;
  kit::Outcome outcome;
  std::string line;    // as printed
  std::string output;  // of a failed test
};

class KitRun {
 public:
  KitRun(const fs::path& kit, const fs::path& work, std::optional<std::regex> filter)
      : kit_(kit), work_(work), filter_(std::move(filter)) {}

  // The tests that match the filter, a GoogleTest program's cases each on its own.
  struct Planned {
    std::string name;
    const kit::ManifestTest* test;
    std::string gtestFilter;
    std::string problem;  // the program's cases could not be listed
  };

  std::vector<Planned> Plan(const kit::Manifest& manifest) {
    std::vector<Planned> planned;
    for (const kit::ManifestTest& test : manifest.tests) {
      if (test.kind != "gtest") {
        if (Selected(test.name)) planned.push_back({test.name, &test, "", ""});
        continue;
      }
      const fs::path program = Resolved(test.arguments.at(0));
      const fs::path listing = work_ / L"listing.txt";
      const ProgramRun run =
          RunProgram({Utf8Path(program), "--gtest_list_tests"}, program.parent_path(), listing, listing,
                          kListingLimit);
      const std::string output = test_support::ReadFileBytes(listing);
      if (!run.started || run.timedOut || run.exitCode != 0) {
        if (Selected(test.name))
          planned.push_back({test.name, &test, "", "its tests could not be listed: " +
                                                       (run.problem.empty() ? output : run.problem)});
        continue;
      }
      for (const kit::GtestCase& testCase : kit::GtestCases(output, test.arguments.size() > 1 ? test.arguments[1] : ""))
        if (Selected(testCase.name)) planned.push_back({testCase.name, &test, testCase.filter, ""});
    }
    return planned;
  }

  Result Run(const Planned& planned, const Machine& machine) {
    Result result{planned.name, kit::Outcome::kFailed, "", ""};
    for (const std::string& need : planned.test->needs)
      if (const auto lacking = machine.Lacks(need)) {
        result.outcome = kit::Outcome::kSkipped;
        result.line = "skipped  " + planned.name + ": " + *lacking;
        return result;
      }
    if (!planned.problem.empty()) {
      result.line = "FAILED   " + planned.name + ": " + planned.problem;
      result.output = planned.problem;
      return result;
    }
    const fs::path output = work_ / L"output.txt";
    const auto started = std::chrono::steady_clock::now();
    std::vector<std::string> argv;
    fs::path folder = work_;
    const kit::ManifestTest& test = *planned.test;
    if (test.kind == "gtest") {
      const fs::path program = Resolved(test.arguments.at(0));
      argv = {Utf8Path(program), "--gtest_filter=" + planned.gtestFilter, "--gtest_also_run_disabled_tests"};
      folder = program.parent_path();
    } else if (test.kind == "program") {
      for (const std::string& argument : test.arguments) argv.push_back(Utf8Path(Resolved(argument)));
    } else {
      argv = {Utf8Path(OwnProgram()), "--run", test.kind};
      for (const std::string& argument : test.arguments) argv.push_back(Utf8Path(Resolved(argument)));
    }
    const ProgramRun run = RunProgram(argv, folder, output, output, std::chrono::seconds(test.timeoutSeconds));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char time[32];
    std::snprintf(time, sizeof time, " (%.1f s)", seconds);
    result.output = test_support::ReadFileBytes(output);
    const std::optional<std::string> skipped = test.kind == "gtest" ? kit::GtestSkipReason(result.output) : std::nullopt;
    if (run.started && !run.timedOut && run.exitCode == 0 && skipped) {
      result.outcome = kit::Outcome::kSkipped;
      result.line = "skipped  " + planned.name + ": " + *skipped;
    } else if (run.started && !run.timedOut && run.exitCode == 0) {
      result.outcome = kit::Outcome::kPassed;
      result.line = "passed   " + planned.name + time;
    } else {
      const std::string why = run.started && !run.timedOut ? "exit code " + std::to_string(run.exitCode) : run.problem;
      result.line = "FAILED   " + planned.name + time + ": " + why;
    }
    return result;
  }

 private:
  bool Selected(const std::string& name) const { return !filter_ || std::regex_search(name, *filter_); }
  fs::path Resolved(const std::string& argument) const {
    return PathFromUtf8(kit::ResolveArgument(argument, Utf8Path(kit_), Utf8Path(work_), '\\'));
  }

  fs::path kit_;
  fs::path work_;
  std::optional<std::regex> filter_;
};

// Where the report goes unless --report names a file: beside the kit, or in the temporary folder
// when the kit's folder takes no file.
fs::path DefaultReport(const fs::path& kitFolder) {
  const fs::path beside = kitFolder / L"run-tests-report.txt";
  const HANDLE file = CreateFileW(beside.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    CloseHandle(file);
    return beside;
  }
  return fs::temp_directory_path() / L"run-tests-report.txt";
}

int RunKit(const std::vector<std::string>& arguments) {
  bool list = false;
  fs::path report;
  std::optional<std::regex> filter;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    if (arguments[i] == "--list") {
      list = true;
    } else if (arguments[i] == "--report" && i + 1 < arguments.size()) {
      report = fs::absolute(PathFromUtf8(arguments[++i]));
    } else if (arguments[i].rfind("--", 0) == 0 || filter) {
      Print("usage: run-tests [--list] [--report FILE] [PATTERN]\n");
      return kUsage;
    } else {
      filter.emplace(arguments[i]);
    }
  }
  const fs::path kitFolder = OwnProgram().parent_path();
  const kit::Manifest manifest = kit::ParseManifest(test_support::ReadFileBytes(kitFolder / L"kit_tests.txt"));
  if (manifest.tests.empty()) {
    Print("run-tests: no tests in " + Utf8Path(kitFolder / L"kit_tests.txt") + "\n");
    return 1;
  }

  // A copy of the kit in a folder of the run's own: tests write beside their programs, and every
  // path a test program sees lies in the temporary folder.
  const test_support::ScratchFolder work;
  const fs::path kitCopy = work.path() / L"kit";
  fs::copy(kitFolder, kitCopy, fs::copy_options::recursive);
  fs::create_directory(work.path() / L"scratch");
  SetEnvironmentVariableW(L"TEST_KIT_FILES", (kitCopy / L"files").c_str());
  SetEnvironmentVariableW(L"TEST_KIT_WORK", (work.path() / L"scratch").c_str());

  KitRun run(kitCopy, work.path(), filter);
  const std::vector<KitRun::Planned> planned = run.Plan(manifest);
  if (list) {
    for (const KitRun::Planned& test : planned) Print(test.name + "\n");
    for (const kit::AbsentTest& absent : manifest.absent) Print("not in the kit: " + absent.name + ": " + absent.reason + "\n");
    return 0;
  }

  const Machine machine;
  if (report.empty()) report = DefaultReport(kitFolder);
  std::string facts = "Kit commit: " + manifest.commit + "\n" + MachineFacts(machine.dotsPerInch()) +
                      "Kit folder: " + Utf8Path(kitFolder) + "\n";
  Print(facts + "\n");
  kit::Counts counts;
  std::vector<Result> results;
  for (const KitRun::Planned& test : planned) {
    results.push_back(run.Run(test, machine));
    counts.Add(results.back().outcome);
    Print(results.back().line + "\n");
  }
  const std::string summary = kit::Summary(counts);
  Print(summary + "\n");

  std::string text = "run-tests report\n\n" + facts + "\n";
  for (const Result& result : results) text += result.line + "\n";
  text += summary + "\n";
  for (const Result& result : results)
    if (result.outcome == kit::Outcome::kFailed) text += "\n==== output of " + result.name + "\n" + result.output;
  try {
    test_support::WriteFileBytes(report, text);
    Print("report: " + Utf8Path(report) + "\n");
  } catch (const std::exception&) {
    Print("run-tests: cannot write the report " + Utf8Path(report) + "\n");
    return 1;
  }
  return counts.failed > 0 ? 1 : 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) arguments.push_back(Utf8(argv[i]));
  // A test's crash is reported by its exit code, not by a dialog that waits for a user.
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  try {
    if (arguments.size() >= 2 && arguments[0] == "--run") {
      const std::vector<std::string> rest(arguments.begin() + 2, arguments.end());
      if (arguments[1] == "game-flow") return RunGameFlow(rest);
      if (arguments[1] == "expect-output") return RunExpectOutput(rest);
      Print("run-tests: no kind of test \"" + arguments[1] + "\" (game-flow, expect-output)\n");
      return kUsage;
    }
    return RunKit(arguments);
  } catch (const std::exception& error) {
    Print(std::string("run-tests: ") + error.what() + "\n");
    return 1;
  }
}
