// How the main window's controls follow its size: the two halves share the
// extra width, the panes take the extra height, and the row of buttons and
// the status lines stay at the bottom. Positions are always worked out
// from the first layout, so many small resizes never drift.
#pragma once

namespace pelikon {

struct ControlRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const ControlRect&) const = default;
};

enum class ResizeRule {
  kStay,       // the local pane's labels
  kMoveDown,   // buttons, their captions, the mask/tag/status lines
  kMoveRight,  // the remote pane's labels
  kLeftHalf,   // the local frame and pane: wider by half, taller
  kRightHalf,  // the remote frame, pane and help text: moved by half, wider by the rest, taller
};

// Where a control first placed at `initial` goes when the window's client
// area is `dw` wider and `dh` taller than at first (never negative: the
// window cannot shrink below its first size).
ControlRect ResizedRect(const ControlRect& initial, ResizeRule rule, int dw, int dh);

}  // namespace pelikon
