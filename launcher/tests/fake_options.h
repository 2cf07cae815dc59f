#pragma once
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "launch_options.h"
#include "module1.h"

namespace launcher {

// Options held in memory, in the window's creation states, raising the change notifications on
// every real change as the window's controls do. Each test starts with the flag at 0.
class FakeOptions : public LaunchOptions {
 public:
  FakeOptions() { Module1::g_settingsChanged = 0; }

  int16_t ResolutionIndex() const override { return index; }
  void SetResolutionIndex(int16_t value) override {
    if (value == index) return;
    index = value;
    Combo1_Click();
  }
  int ToggleState(Toggle toggle) const override { return toggles[static_cast<int>(toggle)]; }
  void SetToggleState(Toggle toggle, int state) override {
    int& current = toggles[static_cast<int>(toggle)];
    if (state == current) return;
    current = state;
    ToggleClick(toggle);
  }
  bool SetLoadTrace(std::string_view text) override {
    trace = std::string(text);
    return true;
  }

  int16_t index = kNoResolution;
  std::array<int, kToggleCount> toggles = {0, 1, 0, 1, 1, 1};
  std::string trace = "Text2";
};

}  // namespace launcher
