// Load Config throughput at 1 KiB, 1 MiB and 16 MiB, and the ratio of time per byte between the
// largest and the smallest file: a ratio near 1 shows the load is linear in the file size.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "config_files.h"

namespace {

// Options that only count what the load does to them.
class CountingOptions final : public launcher::LaunchOptions {
 public:
  std::optional<int16_t> ResolutionIndex() const override { return index_; }
  bool SetResolutionIndex(int16_t index) override {
    index_ = index;
    return true;
  }
  std::optional<int> ToggleState(launcher::Toggle) const override { return 0; }
  bool SetToggleState(launcher::Toggle, int) override {
    ++changes_;
    return true;
  }
  bool SetLoadTrace(std::string_view text) override {
    traceBytes_ = text.size();
    return true;
  }
  std::size_t traceBytes() const { return traceBytes_; }

 private:
  int16_t index_ = 1;
  long changes_ = 0;
  std::size_t traceBytes_ = 0;
};

std::string ConfigOfSize(std::size_t size) {
  const std::string first = "1 0 1 1 1 0 0 0 1 4 ";
  std::string bytes = first;
  while (bytes.size() < size) bytes += "17 ";
  bytes.resize(size);
  return bytes;
}

// Best of several runs, in seconds, with at least `minimum` bytes loaded per run.
double SecondsPerByte(const std::string& folder, std::size_t size) {
  const int loadsPerRun = static_cast<int>(std::max<std::size_t>(1, (32u << 20) / size));
  double best = 1e30;
  for (int run = 0; run < 5; ++run) {
    CountingOptions options;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < loadsPerRun; ++i) launcher::LoadConfig(options, folder);
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    if (options.traceBytes() == 0) std::fprintf(stderr, "load failed\n");
    best = std::min(best, elapsed.count() / (static_cast<double>(size) * loadsPerRun));
  }
  return best;
}

}  // namespace

int main() {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / "load-config-benchmark";
  std::filesystem::create_directories(folder);
  const std::size_t sizes[] = {1u << 10, 1u << 20, 16u << 20};
  double perByte[3];
  std::printf("%-10s %14s %12s\n", "file", "ns per byte", "MB/s");
  for (int i = 0; i < 3; ++i) {
    std::ofstream(folder / launcher::kLoadFileName, std::ios::binary) << ConfigOfSize(sizes[i]);
    perByte[i] = SecondsPerByte(folder.string(), sizes[i]);
    std::printf("%-10s %14.2f %12.1f  (target at least 50 MB/s)\n", i == 0 ? "1 KiB" : i == 1 ? "1 MiB" : "16 MiB",
                perByte[i] * 1e9, 1e-6 / perByte[i]);
  }
  std::printf("time per byte, 16 MiB / 1 KiB: %.2f (target at most 2)\n", perByte[2] / perByte[0]);
  std::filesystem::remove_all(folder);
  return 0;
}
