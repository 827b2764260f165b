#include "gui/main_window_layout.h"

namespace pelikon {

ControlRect ResizedRect(const ControlRect& initial, ResizeRule rule, int dw, int dh) {
  ControlRect rect = initial;
  const int half = dw / 2;
  // The right half moves by what the left half grew plus the odd pixel.
  const int right_shift = dw - half;
  switch (rule) {
    case ResizeRule::kStay:
      break;
    case ResizeRule::kStretchLeft:
      rect.width += half;
      break;
    case ResizeRule::kStretchRight:
      rect.x += right_shift;
      rect.width += half;
      break;
    case ResizeRule::kMoveDown:
      rect.y += dh;
      break;
    case ResizeRule::kMoveDownStretch:
      rect.y += dh;
      rect.width += dw;
      break;
    case ResizeRule::kMoveDownCentre:
      rect.y += dh;
      rect.x += half;
      break;
    case ResizeRule::kMoveDownRight:
      rect.y += dh;
      rect.x += dw;
      break;
    case ResizeRule::kLeftHalf:
      rect.width += half;
      rect.height += dh;
      break;
    case ResizeRule::kRightHalf:
      rect.x += right_shift;
      rect.width += half;
      rect.height += dh;
      break;
  }
  return rect;
}

}  // namespace pelikon
