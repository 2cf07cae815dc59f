#include "form1_layout.h"

#include <gtest/gtest.h>

#include <iterator>
#include <set>
#include <vector>

#include "expected_form1.h"
#include "resource.h"

namespace launcher::form1 {
namespace {

// Follows Tab from `start` until the focus comes back to it.
std::vector<int> TabCycle(int start, bool backwards, const std::set<int>& unfocusable) {
  std::vector<int> visited;
  int at = start;
  do {
    at = NextTabStop(at, backwards, [&](int id) { return unfocusable.count(id) == 0; });
    visited.push_back(at);
  } while (at != start && visited.size() < 20);
  return visited;
}

const std::set<int> kHiddenControls = {IDC_TEXT2, IDC_COMMAND3, IDC_COMMAND4};

TEST(Form1Tab, SkipsLabelsFramesAndHiddenControlsInTabIndexOrder) {
  EXPECT_EQ(TabCycle(IDC_COMMAND1, false, kHiddenControls),
            (std::vector<int>{IDC_COMBO1, IDC_CHECK1, IDC_CHECK2, IDC_COMMAND2, IDC_CHECK3, IDC_CHECK4, IDC_CHECK5,
                              IDC_CHECK6, IDC_COMMAND1}));
  EXPECT_EQ(TabCycle(IDC_COMMAND1, true, kHiddenControls),
            (std::vector<int>{IDC_CHECK6, IDC_CHECK5, IDC_CHECK4, IDC_CHECK3, IDC_COMMAND2, IDC_CHECK2, IDC_CHECK1,
                              IDC_COMBO1, IDC_COMMAND1}));
}

TEST(Form1Tab, ReachesTheHiddenControlsOnceTheyCanTakeTheFocus) {
  EXPECT_EQ(TabCycle(IDC_CHECK6, false, {}),
            (std::vector<int>{IDC_TEXT2, IDC_COMMAND4, IDC_COMMAND3, IDC_COMMAND1, IDC_COMBO1, IDC_CHECK1, IDC_CHECK2,
                              IDC_COMMAND2, IDC_CHECK3, IDC_CHECK4, IDC_CHECK5, IDC_CHECK6}));
}

TEST(Form1Tab, FromOutsideTheOrderStartsAtTheFirstStopAndStaysPutWithNowhereToGo) {
  EXPECT_EQ(NextTabStop(0, false, [](int) { return true; }), IDC_COMMAND1);
  EXPECT_EQ(NextTabStop(IDC_LABEL1, false, [](int) { return true; }), IDC_COMMAND1);
  EXPECT_EQ(NextTabStop(IDC_COMMAND1, false, [](int id) { return id == IDC_COMMAND1; }), IDC_COMMAND1);
  EXPECT_EQ(NextTabStop(IDC_CHECK3, true, [](int id) { return id == IDC_COMBO1; }), IDC_COMBO1);
}

TEST(Form1Width, EightTwoFiftyOrMoreNarrowsAnythingLessWidens) {
  struct Case {
    float width, toggled;
  };
  for (const Case c : {Case{8250, 5160}, Case{8249.9f, 8250}, Case{8249, 8250}, Case{9000, 5160},
                       Case{5160, 8250}, Case{5070, 8250}, Case{0, 8250}}) {
    EXPECT_EQ(ToggledOuterWidth(c.width), c.toggled) << c.width;
  }
}

TEST(Form1Width, TwipsAndPixelsFollowTheScreensDotsPerInch) {
  struct Case {
    double twips;
    int dpi, pixels;
  };
  for (const Case c : {Case{4980, 96, 332}, Case{5040, 96, 336}, Case{8250, 96, 550}, Case{5160, 96, 344},
                       Case{8249, 96, 550}, Case{8242, 96, 549}, Case{1440, 120, 120}, Case{255, 144, 26}}) {
    EXPECT_EQ(TwipsToPixels(c.twips, c.dpi), c.pixels) << c.twips << " twips at " << c.dpi;
  }
  // A width read back from pixels meets the toggle's threshold exactly.
  EXPECT_EQ(PixelsToTwips(550, 96), 8250.0f);
  EXPECT_EQ(ToggledOuterWidth(PixelsToTwips(TwipsToPixels(kWideWidth, 96), 96)), kNarrowWidth);
  EXPECT_EQ(ToggledOuterWidth(PixelsToTwips(549, 96)), kWideWidth);
}

// The launcher's control table, entry by entry, against the controls the window must have.
TEST(Form1Layout, ControlTableHoldsEachControlAsListed) {
  namespace expected = launcher_expected;
  ASSERT_EQ(kControls.size(), std::size(expected::kControls));
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    const expected::Control& listed = expected::kControls[i];
    EXPECT_EQ(kControls[i].id, listed.id) << "creation place " << i << " is " << listed.name << "'s";
    const ControlSpec* control = FindControl(listed.id);
    ASSERT_NE(control, nullptr) << listed.name;
    EXPECT_EQ(control->kind, listed.kind) << listed.name << ": kind";
    EXPECT_STREQ(control->text, listed.text) << listed.name << ": caption";
    EXPECT_EQ(control->left, listed.left) << listed.name << ": left";
    EXPECT_EQ(control->top, listed.top) << listed.name << ": top";
    EXPECT_EQ(control->width, listed.width) << listed.name << ": width";
    EXPECT_EQ(control->height, listed.height) << listed.name << ": height";
    EXPECT_EQ(control->tabIndex, listed.tabIndex) << listed.name << ": tab index";
    EXPECT_EQ(control->visible, expected::IsShown(listed)) << listed.name << ": shown";
    if (listed.kind == ControlKind::CheckBox) {
      EXPECT_EQ(control->checked, expected::CheckState(listed)) << listed.name << ": check state";
    }
    EXPECT_EQ(control->parentId, listed.parentId) << listed.name << ": parent";
  }
  EXPECT_EQ(FindControl(999), nullptr);
}

TEST(Form1Layout, WindowHasItsCaptionSizesAndPanel) {
  namespace expected = launcher_expected;
  EXPECT_STREQ(kCaption, expected::kCaption);
  EXPECT_EQ(kClientWidth, expected::kClientWidth);
  EXPECT_EQ(kClientHeight, expected::kClientHeight);
  EXPECT_EQ(kNarrowWidth, expected::kNarrowOuterWidth);
  EXPECT_EQ(kWideWidth, expected::kWideOuterWidth);
  EXPECT_EQ(kShape1.left, expected::kShape1.left) << "Shape1: left";
  EXPECT_EQ(kShape1.top, expected::kShape1.top) << "Shape1: top";
  EXPECT_EQ(kShape1.width, expected::kShape1.width) << "Shape1: width";
  EXPECT_EQ(kShape1.height, expected::kShape1.height) << "Shape1: height";
}

}  // namespace
}  // namespace launcher::form1
