#include "record.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "injection_protocol.h"

namespace fault_campaign {
namespace {

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

std::uint32_t Hex(const std::string& text) { return static_cast<std::uint32_t>(std::strtoul(text.c_str(), nullptr, 16)); }

}  // namespace

std::vector<SiteCalls> ReadRecord(std::istream& record) {
  std::vector<SiteCalls> calls;
  for (std::string line; std::getline(record, line);) {
    const std::vector<std::string> f = Fields(line);
    if (f.size() != 11 || f[0] != fault_injection::kRecordCall) continue;
    SiteCalls site;
    site.import = f[1];
    site.site = Hex(f[2]);
    site.step = std::atoi(f[3].c_str());
    site.count = std::strtoull(f[4].c_str(), nullptr, 10);
    site.injectable[0] = f[5] == "1";
    site.injectable[1] = f[6] == "1";
    site.sequence[0] = std::strtoull(f[7].c_str(), nullptr, 10);
    site.sequence[1] = std::strtoull(f[8].c_str(), nullptr, 10);
    site.lastSequence = std::strtoull(f[9].c_str(), nullptr, 10);
    site.detail = f[10] == "-" ? std::string() : f[10];
    calls.push_back(site);
  }
  return calls;
}

std::vector<InjectionPoint> InjectionPoints(const std::vector<SiteCalls>& record) {
  std::vector<InjectionPoint> points;
  for (const SiteCalls& site : record)
    for (int k = 0; k < 2 && static_cast<unsigned long long>(k) < site.count; ++k)
      if (site.injectable[k]) points.push_back({site.import, site.site, site.step, k + 1, site.sequence[k], site.detail});
  std::sort(points.begin(), points.end(),
            [](const InjectionPoint& a, const InjectionPoint& b) { return a.sequence < b.sequence; });
  return points;
}

std::vector<LogLine> ReadLog(std::istream& log) {
  std::vector<LogLine> lines;
  for (std::string line; std::getline(log, line);) {
    const std::vector<std::string> f = Fields(line);
    if (f.size() != 5) continue;
    lines.push_back({f[0], f[1], Hex(f[2]), std::atoi(f[3].c_str()), f[4]});
  }
  return lines;
}

unsigned long long CallsOf(const std::vector<SiteCalls>& record, const std::string& import) {
  unsigned long long calls = 0;
  for (const SiteCalls& site : record)
    if (site.import == import) calls += site.count;
  return calls;
}

}  // namespace fault_campaign
