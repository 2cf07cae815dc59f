#include "launch_options.h"

#include "module1.h"

int16_t Module1::g_settingsChanged = 0;

namespace launcher {

void Check1_Click() { Module1::g_settingsChanged = 1; }
void Check2_Click() { Module1::g_settingsChanged = 1; }
void Check3_Click() { Module1::g_settingsChanged = 1; }
void Check4_Click() { Module1::g_settingsChanged = 1; }
void Check5_Click() { Module1::g_settingsChanged = 1; }
void Check6_Click() { Module1::g_settingsChanged = 1; }
void Combo1_Click() { Module1::g_settingsChanged = 1; }

void ToggleClick(Toggle toggle) {
  static void (*const clicks[kToggleCount])() = {Check1_Click, Check2_Click, Check3_Click,
                                                 Check4_Click, Check5_Click, Check6_Click};
  clicks[static_cast<int>(toggle)]();
}

const std::array<const char*, kResolutionCount> kResolutionTexts = {
    "800x600",       "1024x786",      "1280x1024",     "1400x1050",
    "1600x1200",     "1900x1200",     "Wide 1280x720 ", "Wide 1280x768",
    "Wide 1360x768", "Wide 1440x900", "Wide 1680x1050", "Wide 1920x1080"};

namespace {

// The piece each toggle adds, and the state in which it adds it: Check1 speaks when checked,
// the other five when unchecked.
struct TogglePiece {
  const char* text;
  int addedWhen;
};
constexpr TogglePiece kTogglePieces[kToggleCount] = {
    {" -d winmode", 1},  {" -d noshaders", 0}, {" -d noshadow", 0},
    {" -d nosprite", 0}, {" -d nocloud", 0},   {" -d noglow", 0}};

}  // namespace

std::optional<LaunchChoice> ReadChoice(const LaunchOptions& options) {
  const std::optional<int16_t> index = options.ResolutionIndex();
  if (!index) return std::nullopt;
  LaunchChoice choice{*index, {}, Module1::g_settingsChanged};
  for (int i = 0; i < kToggleCount; ++i) {
    const std::optional<int> state = options.ToggleState(static_cast<Toggle>(i));
    if (!state) return std::nullopt;
    choice.toggles[i] = *state;
  }
  return choice;
}

std::string BuildCommandLine(const LaunchChoice& choice) {
  std::string line = "vorlan.exe -nc";
  if (choice.resolutionIndex >= 0 && choice.resolutionIndex < kResolutionCount)
    line += " -d v" + std::to_string(choice.resolutionIndex) + " ";
  for (int i = 0; i < kToggleCount; ++i)
    if (choice.toggles[i] == kTogglePieces[i].addedWhen) line += kTogglePieces[i].text;
  if (choice.settingsChanged == 1) line += " -d saveme";
  return line;
}

std::optional<std::string> Play(const LaunchChoice& choice, ProcessStarter& starter) {
  return starter.Start(BuildCommandLine(choice), kShowMinimized);
}

}  // namespace launcher
