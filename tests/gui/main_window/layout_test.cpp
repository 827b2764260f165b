// The resizing rule of the main window's controls.
#include "gui/main_window_layout.h"

#include <gtest/gtest.h>

namespace pelikon {
namespace {

TEST(MainWindowLayout, TheHalvesStayMirrorImagesAndTheOddPixelGoesToTheGap) {
  const ControlRect local{10, 100, 300, 200};
  const ControlRect remote{320, 100, 300, 200};
  for (const int dw : {0, 1, 7, 100, 101}) {
    const ControlRect l = ResizedRect(local, ResizeRule::kLeftHalf, dw, 30);
    const ControlRect r = ResizedRect(remote, ResizeRule::kRightHalf, dw, 30);
    EXPECT_EQ(l.x, 10);
    EXPECT_EQ(l.width, r.width) << dw;
    EXPECT_EQ(r.x + r.width, 620 + dw) << dw;  // the right margin stays
    EXPECT_EQ(r.x - (l.x + l.width), 10 + dw % 2) << dw;
    EXPECT_EQ(l.height, 230);
    EXPECT_EQ(r.height, 230);
  }
}

TEST(MainWindowLayout, LinesFollowTheirHalfAndTheCounterLineTheWidth) {
  const ControlRect label{15, 18, 190, 10};
  EXPECT_EQ(ResizedRect(label, ResizeRule::kStay, 50, 40), label);
  EXPECT_EQ(ResizedRect(label, ResizeRule::kStretchLeft, 51, 40), (ControlRect{15, 18, 215, 10}));
  EXPECT_EQ(ResizedRect(label, ResizeRule::kStretchRight, 51, 40), (ControlRect{41, 18, 215, 10}));
  EXPECT_EQ(ResizedRect(label, ResizeRule::kMoveDown, 50, 40), (ControlRect{15, 58, 190, 10}));
  EXPECT_EQ(ResizedRect(label, ResizeRule::kMoveDownStretch, 50, 40), (ControlRect{15, 58, 240, 10}));
  EXPECT_EQ(ResizedRect(label, ResizeRule::kMoveDownCentre, 51, 40), (ControlRect{40, 58, 190, 10}));
  EXPECT_EQ(ResizedRect(label, ResizeRule::kMoveDownRight, 51, 40), (ControlRect{66, 58, 190, 10}));
}

}  // namespace
}  // namespace pelikon
