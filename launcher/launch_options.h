#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace launcher {

// The six on/off options, named after their check boxes.
enum class Toggle { Check1, Check2, Check3, Check4, Check5, Check6 };
constexpr int kToggleCount = 6;
constexpr int kResolutionCount = 12;
constexpr int16_t kNoResolution = -1;
constexpr int16_t kStartResolution = 1;  // selected at start-up, before Load Config

// The launch options live only in the window's controls; the logic reads and sets them here.
// Setting a state that differs from the current one raises the control's change notification.
// A read answers nothing, and a setting false, when the control cannot be reached.
class LaunchOptions {
 public:
  virtual std::optional<int16_t> ResolutionIndex() const = 0;
  virtual bool SetResolutionIndex(int16_t index) = 0;         // -1 (no entry) to 11
  virtual std::optional<int> ToggleState(Toggle toggle) const = 0;  // 0 unchecked, 1 checked
  virtual bool SetToggleState(Toggle toggle, int state) = 0;
  // The text is followed by a NUL byte, so that it can be handed on as it stands. False when it
  // cannot be kept whole; the old text may then stay.
  virtual bool SetLoadTrace(std::string_view text) = 0;

 protected:
  ~LaunchOptions() = default;
};

// Change notifications: each sets the settings-changed flag.
void Check1_Click();
void Check2_Click();
void Check3_Click();
void Check4_Click();
void Check5_Click();
void Check6_Click();
void Combo1_Click();

// Raises the change notification of a toggle's check box.
void ToggleClick(Toggle toggle);

// The resolution list's entry texts, in list order.
extern const std::array<const char*, kResolutionCount> kResolutionTexts;

// Everything the game command line depends on, read at one moment.
struct LaunchChoice {
  int16_t resolutionIndex;
  std::array<int, kToggleCount> toggles;  // Check1 .. Check6
  int16_t settingsChanged;
};

// Nothing when a control cannot be read.
std::optional<LaunchChoice> ReadChoice(const LaunchOptions& options);
std::string BuildCommandLine(const LaunchChoice& choice);

// Show-window mode for the game: minimized, with the input focus.
constexpr int kShowMinimized = 2;

// Starts a program from a bare command line. Answers nothing when it started, otherwise the
// platform's message for the failure.
class ProcessStarter {
 public:
  virtual std::optional<std::string> Start(const std::string& commandLine, int showWindowMode) = 0;

 protected:
  ~ProcessStarter() = default;
};

// Play: starts the game with the options read from the controls and answers what the start
// answered. Reading the controls, ending the launcher, and reporting a failure are the window's part.
std::optional<std::string> Play(const LaunchChoice& choice, ProcessStarter& starter);

}  // namespace launcher
