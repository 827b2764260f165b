#include "dialogs/tile.h"

#include "platform/text.h"

namespace pelikon {

bool TileWidthIsPixels(const Tile& tile) {
  return tile.picture || tile.type == TileType::kSlider || tile.type == TileType::kProgressBar;
}

bool TileHasControlId(TileType type) {
  return type != TileType::kRowBreak && type != TileType::kColumnEnd;
}

bool TileTakesFocus(TileType type) {
  switch (type) {
    case TileType::kButton:
    case TileType::kEdit:
    case TileType::kDropDown:
    case TileType::kSlider:
    case TileType::kComboBox:
    case TileType::kCheckBox:
    case TileType::kRadioButton:
    case TileType::kListBox:
    case TileType::kListView:
      return true;
    default:
      return false;
  }
}

bool TileCaptionHasAccelerator(TileType type) {
  return type == TileType::kButton || type == TileType::kCheckBox || type == TileType::kRadioButton;
}

int AcceleratorOf(std::string_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] == '&') {
      ++i;  // a shown "&"
      continue;
    }
    return static_cast<unsigned char>(AsciiUpper(caption[i + 1]));
  }
  return 0;
}

bool TileWantsEvent(const Tile& tile, int event_code) {
  return tile.callback && (tile.event_mask & event_code) != 0;
}

}  // namespace pelikon
