// fault_campaign: fails every call a product makes in its scenario, one call a run, and judges
// each run by the product's rules.
//   fault_campaign launcher --library DLL --map MAP --starter EXE --game EXE --work FOLDER [--jobs N] [--subset]
//   fault_campaign plugin --library DLL --map MAP --game EXE --plugin DLL --storefront DLL
//                  [--storefront DLL...] --work FOLDER [--subset]
// The scenario runs once undisturbed, recording every call the product's module makes by import,
// call site and step; each site's first call, and its second where it has one, is an injection
// point. Each point then runs twice: the call alone fails (transient), and that call and every
// later call of the import fail (persistent). One table line a run, then the totals, and last
// "N injected, D defects"; the table is also written to FOLDER\table.txt. --subset runs only the
// first point of each import in a fixed list, for machines too slow for the whole campaign; so does
// FAULT_CAMPAIGN_SUBSET=1 in the environment. Exit code 0 when nothing is a defect.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "link_map.h"
#include "record.h"
#include "scenarios.h"
#include "support/diagnostic_folder.h"
#include "starter_remote.h"

namespace {

namespace fs = std::filesystem;
using fault_campaign::InjectionPoint;
using fault_campaign::LinkMap;
using fault_campaign::Programs;
using fault_campaign::SiteCalls;

// What runs in the emulated machine, where the whole campaign would take hours: the first point
// of each of these imports, transient and persistent.
const std::vector<std::string> kLauncherSubset = {
    "msvcrt.dll!malloc",          "msvcrt.dll!fopen",           "msvcrt.dll!fread",
    "USER32.dll!CreateWindowExA", "USER32.dll!GetDlgItem",      "USER32.dll!SetWindowTextA",
    "USER32.dll!GetMessageA",     "KERNEL32.dll!LoadLibraryExA", "KERNEL32.dll!MoveFileExA",
    "KERNEL32.dll!CreateProcessA"};
const std::vector<std::string> kPluginSubset = {
    "msvcrt.dll!malloc",           "msvcrt.dll!fopen",
    "msvcrt.dll!fputs",            "steam_api.dll!SteamAPI_Init",
    "steam_api.dll!SteamUserStats", "steam_api.dll!SteamUtils",
    "ISteamUserStats::StoreStats", "ISteamUserStats::FindLeaderboard"};

struct Options {
  std::string product;
  std::string map;
  std::string work;
  Programs programs;
  int jobs = 2;
  bool subset = false;
};

// One run's line of the table, and what it counts for.
struct Result {
  std::string line;
  bool injected = false, crashed = false, hung = false, defect = false;
};

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

Options ReadOptions(int argc, char** argv) {
  Options options;
  if (argc < 2) throw std::invalid_argument("no product named");
  const char* subset = std::getenv("FAULT_CAMPAIGN_SUBSET");
  options.subset = subset && std::strcmp(subset, "1") == 0;
  options.product = argv[1];
  for (int i = 2; i < argc; ++i) {
    const std::string option = argv[i];
    if (option == "--subset") {
      options.subset = true;
      continue;
    }
    if (i + 1 >= argc) throw std::invalid_argument(option + " needs a value");
    const std::string value = argv[++i];
    const std::string path = starter_remote::WindowsPath(value);
    if (option == "--library") options.programs.library = path;
    else if (option == "--map") options.map = path;
    else if (option == "--starter") options.programs.starter = path;
    else if (option == "--game") options.programs.game = path;
    else if (option == "--plugin") options.programs.plugin = path;
    else if (option == "--storefront") options.programs.storefront.push_back(path);
    else if (option == "--work") options.work = path;
    else if (option == "--jobs") options.jobs = std::max(1, std::atoi(value.c_str()));
    else throw std::invalid_argument("unknown option " + option);
  }
  if (options.product != "launcher" && options.product != "plugin") throw std::invalid_argument("no such product: " + options.product);
  if (options.programs.library.empty() || options.map.empty() || options.work.empty() || options.programs.game.empty())
    throw std::invalid_argument("--library, --map, --game and --work are needed");
  return options;
}

std::vector<InjectionPoint> Subset(const std::vector<InjectionPoint>& points, const std::vector<std::string>& imports) {
  std::vector<InjectionPoint> chosen;
  std::set<std::string> taken;
  for (const InjectionPoint& point : points)
    if (std::find(imports.begin(), imports.end(), point.import) != imports.end() && taken.insert(point.import).second)
      chosen.push_back(point);
  return chosen;
}

std::string PlanFor(const InjectionPoint& point, bool persistent) {
  char site[16];
  std::snprintf(site, sizeof site, "%x", static_cast<unsigned>(point.site));
  return "fail=" + point.import + "|at=" + std::to_string(point.call) + "|site=" + site + "|step=" +
         std::to_string(point.step) + (persistent ? "|persistent=1" : "");
}

// The part of the recorded run from the first to the last call made from any of the sites that
// `belongs` accepts.
struct Stretch {
  unsigned long long first = ULLONG_MAX, last = 0;
  bool Contains(unsigned long long sequence) const { return sequence >= first && sequence <= last; }
};
Stretch StretchOf(const std::vector<SiteCalls>& record, const std::function<bool(const SiteCalls&)>& belongs) {
  Stretch stretch;
  for (const SiteCalls& site : record)
    if (belongs(site)) {
      stretch.first = std::min(stretch.first, site.sequence[0]);
      stretch.last = std::max(stretch.last, site.lastSequence);
    }
  return stretch;
}

// The launcher's calls in Load Config and in the start-up sound, as the recorded run made them.
struct LauncherStretches {
  Stretch loadConfigAtStartUp, sound;
};
LauncherStretches FindStretches(const std::vector<SiteCalls>& record, const LinkMap& map) {
  using fault_campaign::launcher::kStartUp;
  LauncherStretches stretches;
  stretches.loadConfigAtStartUp = StretchOf(record, [&](const SiteCalls& site) {
    const std::string function = map.FunctionAt(site.site);
    return site.step == kStartUp && (function.find("LoadConfig") != std::string::npos ||
                                     function.find("SetLoadTrace") != std::string::npos ||
                                     function.find("Command4_Click") != std::string::npos);
  });
  const Stretch binding = StretchOf(record, [](const SiteCalls& site) {
    return site.step == kStartUp && Lower(site.detail).find("winmm") != std::string::npos;
  });
  const Stretch playing = StretchOf(record, [](const SiteCalls& site) {
    return Lower(site.import) == "winmm.dll!sndplaysounda";
  });
  stretches.sound = {std::min(binding.first, playing.first), std::max(binding.last, playing.last)};
  return stretches;
}

std::string Describe(const InjectionPoint& point, const LinkMap& map, bool withStep) {
  std::string where = point.import + " from " + map.NameAt(point.site);
  if (!point.detail.empty()) where += " (" + point.detail + ")";
  if (withStep) where += " in " + std::string(fault_campaign::launcher::StepName(point.step));
  return where + ", call " + std::to_string(point.call);
}

template <typename Verdict>
Result ResultOf(const std::string& where, bool persistent, const Verdict& verdict) {
  Result result;
  result.injected = verdict.injected;
  result.crashed = verdict.crashed;
  result.hung = verdict.hung;
  result.defect = !verdict.defects.empty();
  result.line = where + (persistent ? ", persistent: " : ", transient: ") + verdict.outcome;
  for (const std::string& defect : verdict.defects) result.line += "\n    DEFECT: " + defect;
  return result;
}

// Runs `run(task)` for every task on `jobs` threads at once.
void RunAll(std::size_t tasks, int jobs, const std::function<void(std::size_t)>& run) {
  std::atomic<std::size_t> next{0};
  std::vector<std::thread> workers;
  for (int j = 0; j < jobs; ++j)
    workers.emplace_back([&] {
      for (std::size_t task; (task = next++) < tasks;) run(task);
    });
  for (std::thread& worker : workers) worker.join();
}

class Campaign {
 public:
  explicit Campaign(const Options& options) : options_(options), table_(options.work + "\\table.txt") {
    std::ifstream mapFile(options.map);
    if (!mapFile) throw std::runtime_error("cannot read the link map " + options.map);
    map_ = std::make_unique<LinkMap>(mapFile);
  }

  int Run() {
    const bool launcher = options_.product == "launcher";
    const std::string recordPath = options_.work + "\\record.txt";
    const std::string plan = "record=" + recordPath;
    std::vector<std::string> undisturbedDefects;
    if (launcher) {
      recordedLauncher_ = fault_campaign::RunLauncher(options_.programs, options_.work + "\\undisturbed", plan,
                                                      options_.work + "\\undisturbed.log");
      const auto verdict = fault_campaign::launcher::JudgeUndisturbed(recordedLauncher_);
      Print("undisturbed run: " + verdict.outcome);
      undisturbedDefects = verdict.defects;
    } else {
      recordedPlugin_ = fault_campaign::RunPlugin(options_.programs, options_.work + "\\undisturbed", plan,
                                                  options_.work + "\\undisturbed.log");
      const auto verdict = fault_campaign::plugin::JudgeUndisturbed(recordedPlugin_);
      Print("undisturbed run: " + verdict.outcome);
      undisturbedDefects = verdict.defects;
    }
    for (const std::string& defect : undisturbedDefects) Print("    DEFECT: " + defect);
    if (!undisturbedDefects.empty()) {
      Print("0 injected, " + std::to_string(undisturbedDefects.size()) + " defects: the undisturbed run is wrong");
      return 1;
    }

    std::ifstream recordFile(recordPath);
    record_ = fault_campaign::ReadRecord(recordFile);
    std::vector<InjectionPoint> points = fault_campaign::InjectionPoints(record_);
    if (options_.subset) points = Subset(points, launcher ? kLauncherSubset : kPluginSubset);
    stretches_ = FindStretches(record_, *map_);

    // The plug-in's runs share the prefix's c:\1_temp, so they run one at a time.
    const int jobs = launcher ? options_.jobs : 1;
    std::vector<Result> results(2 * points.size());
    RunAll(results.size(), jobs, [&](std::size_t task) {
      const InjectionPoint& point = points[task / 2];
      const bool persistent = task % 2 == 1;
      const std::string folder = options_.work + "\\runs\\" + std::to_string(task);
      try {
        results[task] = launcher ? RunLauncherPoint(point, persistent, folder) : RunPluginPoint(point, persistent, folder);
      } catch (const std::exception& error) {
        results[task].line = Describe(point, *map_, launcher) + (persistent ? ", persistent" : ", transient") +
                             ": the run could not be made\n    DEFECT: " + error.what();
        results[task].defect = true;
      }
      if (!results[task].defect) {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        fs::remove(folder + ".log", ignored);
      }
    });

    int injected = 0, transient = 0, crashes = 0, hangs = 0, defects = 0;
    for (std::size_t task = 0; task < results.size(); ++task) {
      const Result& result = results[task];
      Print(result.line);
      injected += result.injected;
      transient += result.injected && task % 2 == 0;
      crashes += result.crashed;
      hangs += result.hung;
      defects += result.defect;
    }
    Print(std::string(launcher ? "Starter.exe" : "kelvo.dll") + ": " + std::to_string(points.size()) +
          " injection points reached" + (options_.subset ? " (the fixed subset)" : "") + ", " +
          std::to_string(results.size()) + " runs; " + std::to_string(injected) + " injected (" +
          std::to_string(transient) + " transient, " + std::to_string(injected - transient) + " persistent); " +
          std::to_string(crashes) + " crashes, " + std::to_string(hangs) + " hangs");
    Print(std::to_string(injected) + " injected, " + std::to_string(defects) + " defects");
    return defects == 0 ? 0 : 1;
  }

 private:
  Result RunLauncherPoint(const InjectionPoint& point, bool persistent, const std::string& folder) {
    using namespace fault_campaign::launcher;
    Context context;
    context.import = point.import;
    context.step = point.step;
    context.persistent = persistent;
    context.inLoadConfig = point.step == kLoadConfig ||
                           (point.step == kStartUp && stretches_.loadConfigAtStartUp.Contains(point.sequence));
    context.inSound = point.step == kStartUp && stretches_.sound.Contains(point.sequence);
    const auto run = fault_campaign::RunLauncher(options_.programs, folder, PlanFor(point, persistent), folder + ".log");
    std::string where = Describe(point, *map_, true);
    if (context.inLoadConfig) where += " [Load Config]";
    if (context.inSound) where += " [start-up sound]";
    return ResultOf(where, persistent, Judge(recordedLauncher_, run, context));
  }

  Result RunPluginPoint(const InjectionPoint& point, bool persistent, const std::string& folder) {
    const auto run = fault_campaign::RunPlugin(options_.programs, folder, PlanFor(point, persistent), folder + ".log");
    return ResultOf(Describe(point, *map_, false), persistent, fault_campaign::plugin::Judge(recordedPlugin_, run, point.import));
  }

  void Print(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    table_ << line << '\n';
  }

  Options options_;
  std::ofstream table_;
  std::unique_ptr<LinkMap> map_;
  std::vector<SiteCalls> record_;
  LauncherStretches stretches_;
  fault_campaign::launcher::Run recordedLauncher_;
  fault_campaign::plugin::Run recordedPlugin_;
};

}  // namespace

int main(int argc, char** argv) {
  try {
    const Options options = ReadOptions(argc, argv);
    fs::create_directories(options.work);
    // The plug-in writes to c:\1_temp: held against other test runs, and whatever is there is set
    // aside for the campaign and put back.
    std::optional<test_support::DiagnosticFolderHeld> held;
    std::optional<test_support::DiagnosticFolderSetAside> diagnostics;
    if (options.product == "plugin") {
      held.emplace();
      diagnostics.emplace("fault-campaign");
    }
    return Campaign(options).Run();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "fault_campaign: %s\n", error.what());
    return 2;
  }
}
