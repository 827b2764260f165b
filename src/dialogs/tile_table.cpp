#include "dialogs/tile_table.h"

#include <string>

#include "platform/trace.h"

namespace pelikon {

int TileTable::Add(Tile tile) {
  if (tiles_.size() >= kMaxTiles) {
    Trace("Form is full: tile %s is not added", tile.name.c_str());
    return -1;
  }
  tile.control_id = NextControlId(tile.type);
  if (tile.control_id != 0) ++controls_;
  if (tile.accelerator == 0 && TileCaptionHasAccelerator(tile.type)) tile.accelerator = AcceleratorOf(tile.text);
  tiles_.push_back(std::move(tile));
  return static_cast<int>(tiles_.size()) - 1;
}

int TileTable::NextControlId(TileType type) const {
  return TileHasControlId(type) ? kFirstControlId + controls_ : 0;
}

int TileTable::IndexOf(std::string_view name) const {
  for (size_t i = 0; i < tiles_.size(); ++i)
    if (tiles_[i].name == name) return static_cast<int>(i);
  return -1;
}

int TileTable::Find(std::string_view name) const {
  const int index = IndexOf(name);
  if (index < 0) Trace("Tile %s is not found", std::string(name).c_str());
  return index;
}

int TileTable::FindByControlId(int control_id) const {
  if (control_id == 0) return -1;
  for (size_t i = 0; i < tiles_.size(); ++i)
    if (tiles_[i].control_id == control_id) return static_cast<int>(i);
  return -1;
}

std::vector<int> TileTable::GroupMembers(int frame) const {
  std::vector<int> members;
  if (frame < 0 || static_cast<size_t>(frame) >= tiles_.size() || tiles_[frame].type != TileType::kGroupFrame)
    return members;
  for (size_t i = static_cast<size_t>(frame) + 1; i < tiles_.size(); ++i) {
    if (tiles_[i].type == TileType::kRadioButton)
      members.push_back(static_cast<int>(i));
    else if (tiles_[i].type != TileType::kRowBreak)
      break;
  }
  return members;
}

int TileTable::GroupFrameOf(int radio) const {
  if (radio < 0 || static_cast<size_t>(radio) >= tiles_.size() || tiles_[radio].type != TileType::kRadioButton)
    return -1;
  for (int i = radio - 1; i >= 0; --i) {
    const TileType type = tiles_[i].type;
    if (type == TileType::kGroupFrame) return i;
    if (type != TileType::kRadioButton && type != TileType::kRowBreak) return -1;
  }
  return -1;
}

int TileTable::EscapeTile() const {
  const auto clickable = [this](int index) { return index >= 0 && TileWantsEvent(tiles_[index], kEventClick); };
  for (const std::string_view name : {"cancel", "exit"}) {
    const int index = IndexOf(name);
    if (clickable(index)) return index;
  }
  for (size_t i = 0; i < tiles_.size(); ++i)
    if (tiles_[i].accelerator == kEscapeAccelerator && clickable(static_cast<int>(i))) return static_cast<int>(i);
  return -1;
}

int TileTable::AcceleratorTile(int key) const {
  if (key == 0) return -1;
  for (size_t i = 0; i < tiles_.size(); ++i) {
    const Tile& tile = tiles_[i];
    if (tile.accelerator == key && tile.enabled && tile.visible && TileWantsEvent(tile, kEventClick))
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace pelikon
