// How the main window's controls follow its size: the two halves share the
// extra width, the panes take the extra height, and the row of buttons and
// the status lines stay at the bottom. Positions are always worked out
// from the first layout, so many small resizes never drift.
//
// The two halves always stay mirror images of each other: of an odd extra
// pixel the gap between them takes the odd one, so the panes keep one
// width to the pixel.
#pragma once

namespace pelikon {

struct ControlRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ControlRect&) const = default;
};

enum class ResizeRule {
  kStay,             // never moves
  kStretchLeft,      // the local pane's lines: wider by half
  kStretchRight,     // the remote pane's lines: moved with their half, wider by half
  kMoveDown,         // buttons and their captions
  kMoveDownStretch,  // the status line: moved down, as wide as the window
  kMoveDownCentre,   // the tagged count: moved down and right by half
  kMoveDownRight,    // the tagged bytes: moved down and right with the window's edge
  kLeftHalf,         // the local frame and pane: wider by half, taller
  kRightHalf,        // the remote frame, pane and help text: moved with their half, wider by half, taller
};

// Where a control first placed at `initial` goes when the window's client
// area is `dw` wider and `dh` taller than at first (never negative: the
// window cannot shrink below its first size).
ControlRect ResizedRect(const ControlRect& initial, ResizeRule rule, int dw, int dh);

}  // namespace pelikon
