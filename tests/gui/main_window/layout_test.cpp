// The resizing rule of the main window's controls.
#include "gui/main_window_layout.h"

#include <gtest/gtest.h>

namespace pelikon {
namespace {

TEST(MainWindowLayout, HalvesShareOddWidthsWithoutLosingAPixel) {
  const ControlRect local{10, 100, 300, 200};
  const ControlRect remote{320, 100, 300, 200};
  for (const int dw : {0, 1, 7, 100, 101}) {
    const ControlRect l = ResizedRect(local, ResizeRule::kLeftHalf, dw, 30);
    const ControlRect r = ResizedRect(remote, ResizeRule::kRightHalf, dw, 30);
    EXPECT_EQ(l.x, 10);
    EXPECT_EQ(l.width + r.width, 600 + dw) << dw;
    EXPECT_EQ(r.x - (l.x + l.width), 10) << dw;  // the gap between the halves stays
    EXPECT_EQ(l.height, 230);
    EXPECT_EQ(r.height, 230);
  }
}

TEST(MainWindowLayout, LinesMoveAndLocalLabelsStay) {
  const ControlRect label{15, 18, 190, 10};
  EXPECT_EQ(ResizedRect(label, ResizeRule::kStay, 50, 40), label);
  EXPECT_EQ(ResizedRect(label, ResizeRule::kMoveDown, 50, 40), (ControlRect{15, 58, 190, 10}));
  EXPECT_EQ(ResizedRect(label, ResizeRule::kMoveRight, 51, 40), (ControlRect{40, 18, 190, 10}));
}

}  // namespace
}  // namespace pelikon
