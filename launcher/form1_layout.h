#pragma once
// The launcher window's layout in twips, and the window arithmetic that needs no window.
#include <array>
#include <functional>

namespace launcher::form1 {

enum class ControlKind { PushButton, TextBox, CheckBox, DropDownList, Frame, Label };

constexpr int kOnForm = 0;  // parent id of controls placed directly on the window

struct ControlSpec {
  int id;            // IDC_* of resource.h
  ControlKind kind;
  const char* text;  // caption, or the text box's text
  int left, top, width, height;  // twips, from the parent's client area
  int tabIndex;
  bool visible;
  int checked;       // initial check state of check boxes
  int parentId;      // kOnForm, or the frame the control lies in
};

// Every control that is a window, in creation order: earlier ones lie above later ones.
extern const std::array<ControlSpec, 16> kControls;

// The options panel's background rectangle, painted on the window below every control.
struct TwipsRect {
  int left, top, width, height;
};
constexpr TwipsRect kShape1 = {5160, 240, 2895, 4695};

constexpr const char* kClassName = "Form1";  // the window class
constexpr const char* kCaption = "Vorlan2: Amber Reach";
constexpr int kClientWidth = 4980;
constexpr int kClientHeight = 5040;
constexpr float kNarrowWidth = 5160;
constexpr float kWideWidth = 8250;
constexpr int kTwipsPerInch = 1440;

// The control with this id, nullptr when there is none.
const ControlSpec* FindControl(int id);

int TwipsToPixels(double twips, int dpi);
float PixelsToTwips(int pixels, int dpi);

// Width toggle: an outer width of 8250 twips or more becomes narrow, anything else wide.
float ToggledOuterWidth(float outerWidth);

// Whether a control of this kind can hold the keyboard focus at all.
bool TakesFocus(ControlKind kind);

// The control that Tab (or Shift+Tab when `backwards`) moves the focus to from `currentId`, in
// tab-index order, skipping controls for which `canFocusNow` answers false (hidden, disabled).
// Answers `currentId` when no other control can take the focus.
int NextTabStop(int currentId, bool backwards, const std::function<bool(int id)>& canFocusNow);

}  // namespace launcher::form1
