#include "gui/main_window_layout.h"

namespace pelikon {

ControlRect ResizedRect(const ControlRect& initial, ResizeRule rule, int dw, int dh) {
  ControlRect rect = initial;
  const int half = dw / 2;
  switch (rule) {
    case ResizeRule::kStay:
      break;
    case ResizeRule::kMoveDown:
      rect.y += dh;
      break;
    case ResizeRule::kMoveRight:
      rect.x += half;
      break;
    case ResizeRule::kLeftHalf:
      rect.width += half;
      rect.height += dh;
      break;
    case ResizeRule::kRightHalf:
      rect.x += half;
      rect.width += dw - half;
      rect.height += dh;
      break;
  }
  return rect;
}

}  // namespace pelikon
