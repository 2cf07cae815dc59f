#include "form1_layout.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "resource.h"

namespace launcher::form1 {

using K = ControlKind;
constexpr bool kShown = true, kHidden = false;

const std::array<ControlSpec, 16> kControls = {{
    {IDC_COMMAND3, K::PushButton, "Save Config", 240, 3480, 1215, 375, 15, kHidden, 0, kOnForm},
    {IDC_COMMAND4, K::PushButton, "Load Config", 240, 3000, 1215, 375, 14, kHidden, 0, kOnForm},
    {IDC_TEXT2, K::TextBox, "Text2", 240, 1800, 2295, 975, 13, kHidden, 0, kOnForm},
    {IDC_CHECK6, K::CheckBox, "Bullets Glow", 5640, 3960, 2055, 255, 12, kShown, 1, kOnForm},
    {IDC_CHECK5, K::CheckBox, "Scenery clouds", 5640, 3600, 2055, 255, 10, kShown, 1, kOnForm},
    {IDC_CHECK4, K::CheckBox, "Engines / Fire effects", 5640, 3240, 2055, 255, 9, kShown, 1, kOnForm},
    {IDC_CHECK3, K::CheckBox, "Advanced Shadows", 5640, 2880, 2055, 255, 8, kShown, 0, kOnForm},
    {IDC_COMMAND2, K::PushButton, "Video Setup", 2520, 3720, 2295, 495, 5, kShown, 0, kOnForm},
    {IDC_CHECK2, K::CheckBox, "Use Shaders", 5640, 2520, 2055, 255, 3, kShown, 1, kOnForm},
    {IDC_CHECK1, K::CheckBox, "Window mode", 5520, 1440, 2055, 255, 2, kShown, 0, kOnForm},
    {IDC_COMBO1, K::DropDownList, "", 5520, 960, 2175, 315, 1, kShown, 0, kOnForm},
    {IDC_COMMAND1, K::PushButton, "Play", 2520, 4320, 2295, 495, 0, kShown, 0, kOnForm},
    {IDC_FRAME1, K::Frame, "Video Setup", 5280, 360, 2655, 1575, 4, kShown, 0, kOnForm},
    {IDC_LABEL2, K::Label, "Resolution", 240, 360, 1455, 255, 7, kShown, 0, IDC_FRAME1},
    {IDC_FRAME2, K::Frame, "Performance / Visual ", 5280, 2160, 2655, 2295, 11, kShown, 0, kOnForm},
    {IDC_LABEL1, K::Label, "<<", 7680, 4560, 255, 255, 6, kShown, 0, kOnForm},
}};

const ControlSpec* FindControl(int id) {
  for (const ControlSpec& control : kControls)
    if (control.id == id) return &control;
  return nullptr;
}

int TwipsToPixels(double twips, int dpi) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

float PixelsToTwips(int pixels, int dpi) {
  return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpi);
}

float ToggledOuterWidth(float outerWidth) { return outerWidth >= kWideWidth ? kNarrowWidth : kWideWidth; }

bool TakesFocus(ControlKind kind) { return kind != K::Frame && kind != K::Label; }

int NextTabStop(int currentId, bool backwards, const std::function<bool(int id)>& canFocusNow) {
  std::vector<const ControlSpec*> order;
  for (const ControlSpec& control : kControls)
    if (TakesFocus(control.kind)) order.push_back(&control);
  std::sort(order.begin(), order.end(),
            [](const ControlSpec* a, const ControlSpec* b) { return a->tabIndex < b->tabIndex; });
  if (backwards) std::reverse(order.begin(), order.end());

  const int count = static_cast<int>(order.size());
  const auto current = std::find_if(order.begin(), order.end(),
                                    [currentId](const ControlSpec* c) { return c->id == currentId; });
  // From a control outside the tab order, Tab starts over at the first tab stop.
  const int start = current == order.end() ? count - 1 : static_cast<int>(current - order.begin());
  for (int step = 1; step <= count; ++step) {
    const ControlSpec* candidate = order[(start + step) % count];
    if (candidate->id != currentId && canFocusNow(candidate->id)) return candidate->id;
  }
  return currentId;
}

}  // namespace launcher::form1
