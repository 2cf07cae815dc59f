// What the launcher's window must be, written out once more for the tests, by hand from the window's
// design and not from the launcher's own tables: the native tests hold those tables against this
// one, and the window tests hold the running window against it.
#pragma once
#include <cstddef>

#include "form1_layout.h"
#include "resource.h"

namespace launcher_expected {

using Kind = launcher::form1::ControlKind;
enum class Initially { Shown, Hidden, Unchecked, Checked };

struct Control {
  const char* name;
  int id;
  Kind kind;
  const char* text;  // the caption, or the text box's text; the list shows its entries instead
  int left, top, width, height;  // twips, in the parent's client area
  int tabIndex;
  Initially initially;  // before the window's load handler runs
  int parentId;
};

constexpr int kOnForm = launcher::form1::kOnForm;

// Every control that is a window, in creation order: one that stands earlier lies above one that
// stands later.
constexpr Control kControls[] = {
    {"Command3", IDC_COMMAND3, Kind::PushButton, "Save Config", 240, 3480, 1215, 375, 15, Initially::Hidden, kOnForm},
    {"Command4", IDC_COMMAND4, Kind::PushButton, "Load Config", 240, 3000, 1215, 375, 14, Initially::Hidden, kOnForm},
    {"Text2", IDC_TEXT2, Kind::TextBox, "Text2", 240, 1800, 2295, 975, 13, Initially::Hidden, kOnForm},
    {"Check6", IDC_CHECK6, Kind::CheckBox, "Bullets Glow", 5640, 3960, 2055, 255, 12, Initially::Checked, kOnForm},
    {"Check5", IDC_CHECK5, Kind::CheckBox, "Scenery clouds", 5640, 3600, 2055, 255, 10, Initially::Checked, kOnForm},
    {"Check4", IDC_CHECK4, Kind::CheckBox, "Engines / Fire effects", 5640, 3240, 2055, 255, 9, Initially::Checked,
     kOnForm},
    {"Check3", IDC_CHECK3, Kind::CheckBox, "Advanced Shadows", 5640, 2880, 2055, 255, 8, Initially::Unchecked, kOnForm},
    {"Command2", IDC_COMMAND2, Kind::PushButton, "Video Setup", 2520, 3720, 2295, 495, 5, Initially::Shown, kOnForm},
    {"Check2", IDC_CHECK2, Kind::CheckBox, "Use Shaders", 5640, 2520, 2055, 255, 3, Initially::Checked, kOnForm},
    {"Check1", IDC_CHECK1, Kind::CheckBox, "Window mode", 5520, 1440, 2055, 255, 2, Initially::Unchecked, kOnForm},
    {"Combo1", IDC_COMBO1, Kind::DropDownList, "", 5520, 960, 2175, 315, 1, Initially::Shown, kOnForm},
    {"Command1", IDC_COMMAND1, Kind::PushButton, "Play", 2520, 4320, 2295, 495, 0, Initially::Shown, kOnForm},
    {"Frame1", IDC_FRAME1, Kind::Frame, "Video Setup", 5280, 360, 2655, 1575, 4, Initially::Shown, kOnForm},
    {"Label2", IDC_LABEL2, Kind::Label, "Resolution", 240, 360, 1455, 255, 7, Initially::Shown, IDC_FRAME1},
    {"Frame2", IDC_FRAME2, Kind::Frame, "Performance / Visual ", 5280, 2160, 2655, 2295, 11, Initially::Shown, kOnForm},
    {"Label1", IDC_LABEL1, Kind::Label, "<<", 7680, 4560, 255, 255, 6, Initially::Shown, kOnForm},
};

// The options panel's rectangle, below every control.
struct Rect {
  int left, top, width, height;
};
constexpr Rect kShape1 = {5160, 240, 2895, 4695};

constexpr const char* kCaption = "Vorlan2: Amber Reach";
constexpr int kClientWidth = 4980, kClientHeight = 5040;
constexpr int kNarrowOuterWidth = 5160, kWideOuterWidth = 8250;

// The listed control of this id, nullptr when none is listed.
constexpr const Control* FindControl(int id) {
  for (const Control& control : kControls)
    if (control.id == id) return &control;
  return nullptr;
}

constexpr bool IsShown(const Control& control) { return control.initially != Initially::Hidden; }
constexpr int CheckState(const Control& control) { return control.initially == Initially::Checked ? 1 : 0; }
constexpr bool IsTabStop(const Control& control) { return control.kind != Kind::Label && control.kind != Kind::Frame; }

}  // namespace launcher_expected
