// Bytes in, options and trace out: Load Config over arbitrary "xconfig.dat" contents. Checks the
// options stay in their ranges and the trace equals a plain piece-by-piece reference.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "config_files.h"
#include "module1.h"

namespace {

class CheckedOptions final : public launcher::LaunchOptions {
 public:
  std::optional<int16_t> ResolutionIndex() const override { return index; }
  bool SetResolutionIndex(int16_t value) override {
    if (value < launcher::kNoResolution || value >= launcher::kResolutionCount) std::abort();
    index = value;
    return true;
  }
  std::optional<int> ToggleState(launcher::Toggle toggle) const override { return toggles[static_cast<int>(toggle)]; }
  bool SetToggleState(launcher::Toggle toggle, int state) override {
    if (state != 0 && state != 1) std::abort();
    toggles[static_cast<int>(toggle)] = state;
    return true;
  }
  bool SetLoadTrace(std::string_view text) override {
    if (text.data()[text.size()] != '\0') std::abort();  // handed on as it stands
    trace = std::string(text);
    return true;
  }

  int16_t index = 1;
  int toggles[launcher::kToggleCount] = {0, 1, 0, 1, 1, 1};
  std::string trace = "Text2";
};

// The trace as the load describes it, built the simple way.
std::string ReferenceTrace(const uint8_t* data, std::size_t size) {
  std::string trace, value;
  long long number = 1;
  for (std::size_t i = 0; i < size; ++i) {
    const char c = static_cast<char>(data[i]);
    trace += std::string(1, c) + "(" + launcher::NumberText(data[i]) + ")";
    if (c != ' ') {
      value += c;
      continue;
    }
    trace += "Opcao = " + launcher::NumberText(number) + ":" + value + "\r\n";
    value.clear();
    ++number;
  }
  return trace;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  std::FILE* file = fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (!file) return 0;
  CheckedOptions options;
  const bool loaded = launcher::LoadConfigFrom(file, options);
  std::fclose(file);
  if (loaded && options.trace != ReferenceTrace(data, size)) std::abort();
  if (!loaded && options.trace != "Text2") std::abort();  // the caller writes the failure trace
  Module1::g_settingsChanged = 0;
  return 0;
}
