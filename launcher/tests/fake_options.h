#pragma once
#include <array>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "launch_options.h"
#include "module1.h"

namespace launcher {

// Options held in memory, in the window's creation states, raising the change notifications on
// every real change as the window's controls do. Each test starts with the flag at 0. A control
// can be made unreachable, and the trace given less room than it needs, as the window's may be.
class FakeOptions : public LaunchOptions {
 public:
  FakeOptions() { Module1::g_settingsChanged = 0; }

  std::optional<int16_t> ResolutionIndex() const override {
    if (listUnreachable) return std::nullopt;
    return index;
  }
  bool SetResolutionIndex(int16_t value) override {
    if (listUnreachable) return false;
    if (value == index) return true;
    index = value;
    Combo1_Click();
    return true;
  }
  std::optional<int> ToggleState(Toggle toggle) const override {
    if (unreachable == toggle) return std::nullopt;
    return toggles[static_cast<int>(toggle)];
  }
  bool SetToggleState(Toggle toggle, int state) override {
    if (unreachable == toggle) return false;
    int& current = toggles[static_cast<int>(toggle)];
    if (state == current) return true;
    current = state;
    ToggleClick(toggle);
    return true;
  }
  bool SetLoadTrace(std::string_view text) override {
    if (text.data()[text.size()] != '\0') std::abort();  // the window hands the text on as it stands
    if (text.size() > traceRoom) return false;
    trace = std::string(text);
    return true;
  }

  int16_t index = kNoResolution;
  std::array<int, kToggleCount> toggles = {0, 1, 0, 1, 1, 1};
  std::string trace = "Text2";
  std::optional<Toggle> unreachable;
  bool listUnreachable = false;
  std::size_t traceRoom = std::numeric_limits<std::size_t>::max();
};

}  // namespace launcher
