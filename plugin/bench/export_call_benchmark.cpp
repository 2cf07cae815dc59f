// What the plug-in's export layer adds to a storefront call: each export called through its
// function pointer, as the host calls it, against the same storefront operation called directly,
// both against the offline storefront in this process. Prints each pair's time per call and the
// nanoseconds the export adds (target: at most 10).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "exports.h"
#include "storefront_api.h"

namespace {

// Read through a volatile pointer, so the compiler cannot call the export directly or inline it.
template <typename Function>
Function Exported(Function function) {
  Function volatile pointer = function;
  return pointer;
}

kelvo::STRING g_statName{{0, 0, 0}, "FeetTraveled"};  // global: the STRING record script passes

void Export_steam_user(benchmark::State& state) {
  const auto call = Exported(&steam_user);
  for (auto _ : state) benchmark::DoNotOptimize(call());
}

void Direct_GetSteamID(benchmark::State& state) {
  for (auto _ : state) {
    CSteamID id{0};
    SteamUser()->GetSteamID(&id);
    benchmark::DoNotOptimize(id);
  }
}

void Export_steam_get_stat(benchmark::State& state) {
  const auto call = Exported(&steam_get_stat);
  for (auto _ : state) benchmark::DoNotOptimize(call(&g_statName));
}

void Direct_GetStatFloat(benchmark::State& state) {
  for (auto _ : state) {
    float value = 0;
    SteamUserStats()->GetStatFloat(g_statName.chars, &value);
    benchmark::DoNotOptimize(value);
  }
}

void Export_steam_callback(benchmark::State& state) {
  const auto call = Exported(&steam_callback);
  for (auto _ : state) benchmark::DoNotOptimize(call());
}

void Direct_RunCallbacks(benchmark::State& state) {
  for (auto _ : state) SteamAPI_RunCallbacks();
}

// Collects each benchmark's median processor time per call beside the usual console table; on a
// shared machine processor time varies less than wall-clock time.
class MedianCollector : public benchmark::ConsoleReporter {
 public:
  MedianCollector() : ConsoleReporter(OO_Tabular) {}
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        nanoseconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
  }
  std::map<std::string, double> nanoseconds;
};

}  // namespace

BENCHMARK(Export_steam_user)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Direct_GetSteamID)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Export_steam_get_stat)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Direct_GetStatFloat)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Export_steam_callback)->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(Direct_RunCallbacks)->Repetitions(9)->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "export-call-benchmark";
  std::filesystem::create_directories(folder);
  const std::filesystem::path statePath = folder / "storefront_state.json";
  std::ofstream(statePath) << R"({"stats": {"FeetTraveled": {"type": "float", "value": 2.5}}})";
  setenv("OFFLINE_STOREFRONT_STATE", statePath.c_str(), 1);
  if (steam_init() != 1024) {
    std::fprintf(stderr, "the offline storefront did not start\n");
    return 1;
  }

  benchmark::Initialize(&argc, argv);
  MedianCollector reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  steam_stop();
  std::filesystem::remove_all(folder);

  const std::pair<const char*, const char*> pairs[] = {{"Export_steam_user", "Direct_GetSteamID"},
                                                       {"Export_steam_get_stat", "Direct_GetStatFloat"},
                                                       {"Export_steam_callback", "Direct_RunCallbacks"}};
  std::printf("\n%-24s %12s %12s %12s %8s\n", "export", "export ns", "direct ns", "added ns", "ratio");
  double worst = 0;
  for (const auto& [exported, direct] : pairs) {
    const double viaExport = reporter.nanoseconds[exported], viaDirect = reporter.nanoseconds[direct];
    worst = std::max(worst, viaExport - viaDirect);
    std::printf("%-24s %12.2f %12.2f %12.2f %8.2f\n", exported + 7, viaExport, viaDirect, viaExport - viaDirect,
                 viaExport / viaDirect);
  }
  std::printf("most added per export call: %.2f ns (target at most 10)\n", worst);
  return 0;
}
