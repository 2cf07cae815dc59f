// What the fault-injection library writes: the record of a run's calls and the log of what it
// injected and saw misused, read back; and the injection points a record yields.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

namespace fault_campaign {

// The calls from one call site during one scenario step.
struct SiteCalls {
  std::string import;
  std::uint32_t site = 0;
  int step = 0;
  unsigned long long count = 0;
  bool injectable[2] = {false, false};        // the first and the second call have a failure to give
  unsigned long long sequence[2] = {0, 0};    // their places among all the run's calls
  unsigned long long lastSequence = 0;        // the place of the site's last call in the step
  std::string detail;                         // the library or function the first call named, or empty
};

std::vector<SiteCalls> ReadRecord(std::istream& record);

// One call to fail: the `call`-th call of `import` from `site` during `step`.
struct InjectionPoint {
  std::string import;
  std::uint32_t site = 0;
  int step = 0;
  int call = 1;
  unsigned long long sequence = 0;  // its place in the recorded run
  std::string detail;
};

// Every site's first call, and its second where the site was called more than once (a call in a
// loop), that has a failure to give; in the order the recorded run made them.
std::vector<InjectionPoint> InjectionPoints(const std::vector<SiteCalls>& record);

// What the library logged during one run.
struct LogLine {
  std::string kind;  // "injected" or "misuse"
  std::string import;
  std::uint32_t site = 0;
  int step = 0;
  std::string text;  // the answer given, or what was misused
};

std::vector<LogLine> ReadLog(std::istream& log);

// The calls each import had in a recorded run, over all its sites and steps.
unsigned long long CallsOf(const std::vector<SiteCalls>& record, const std::string& import);

}  // namespace fault_campaign
