// Prints the game command line that the launcher builds at start-up from the "xconfig.dat" in the
// current folder: entry 1 selected, the stored values loaded, the toggles otherwise as created.
#include <cstdio>

#include "config_files.h"

namespace {

class StartupOptions final : public launcher::LaunchOptions {
 public:
  int16_t ResolutionIndex() const override { return index_; }
  void SetResolutionIndex(int16_t index) override {
    if (index != index_) launcher::Combo1_Click();
    index_ = index;
  }
  int ToggleState(launcher::Toggle toggle) const override { return toggles_[static_cast<int>(toggle)]; }
  void SetToggleState(launcher::Toggle toggle, int state) override {
    if (state != toggles_[static_cast<int>(toggle)]) launcher::ToggleClick(toggle);
    toggles_[static_cast<int>(toggle)] = state;
  }
  void SetLoadTrace(std::string_view) override {}

 private:
  int16_t index_ = launcher::kNoResolution;
  std::array<int, launcher::kToggleCount> toggles_ = {0, 1, 0, 1, 1, 1};
};

}  // namespace

int main() {
  StartupOptions options;
  options.SetResolutionIndex(1);
  launcher::LoadConfig(options);
  std::printf("%s\n", launcher::BuildCommandLine(launcher::ReadChoice(options)).c_str());
  return 0;
}
