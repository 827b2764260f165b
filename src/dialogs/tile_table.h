// The tiles of one form in the order the caller added them, at most
// kMaxTiles. Gives each tile its control ID, looks tiles up by name, and
// answers the questions that depend on neighbouring tiles: which radio
// buttons a group frame holds, and which tile Escape or the close box
// goes through.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "dialogs/tile.h"

namespace pelikon {

class TileTable {
 public:
  static constexpr size_t kMaxTiles = 1000;
  static constexpr int kFirstControlId = 2027;

  // Appends `tile` with its control ID and, for a clickable caption, its
  // accelerator; returns its index, or -1 when the table is full.
  int Add(Tile tile);
  // The control ID the next tile of `type` would get (0 for none).
  int NextControlId(TileType type) const;

  // The index of the first tile called `name`; -1, with "Tile %s is not
  // found" on the trace, when there is none.
  int Find(std::string_view name) const;
  // As Find, without the trace: for asking whether a tile exists.
  int IndexOf(std::string_view name) const;
  // The tile whose control has `control_id`, or -1.
  int FindByControlId(int control_id) const;

  size_t Size() const { return tiles_.size(); }
  Tile& operator[](int index) { return tiles_[static_cast<size_t>(index)]; }
  const Tile& operator[](int index) const { return tiles_[static_cast<size_t>(index)]; }
  const std::vector<Tile>& Tiles() const { return tiles_; }

  // The radio buttons of the group that the group frame `frame` opens.
  std::vector<int> GroupMembers(int frame) const;
  // The group frame a radio button belongs to, or -1.
  int GroupFrameOf(int radio) const;

  // The tile that Escape and the close box click: "cancel", else "exit",
  // else the tile with the Escape accelerator; of these the first that
  // has a callback for clicks. -1 when none has, and Escape does nothing.
  int EscapeTile() const;
  // The enabled, visible tile with accelerator `key` (an upper-case letter)
  // and a callback for clicks, or -1.
  int AcceleratorTile(int key) const;

 private:
  std::vector<Tile> tiles_;
  int controls_ = 0;
};

}  // namespace pelikon
