// The layout pass of a run-time built form, as a pure function: from the
// tiles in reading order and the form's metrics it computes where every
// control goes and how large the window's client area must be. No window
// system is involved; the window backend only moves controls to the
// rectangles computed here.
//
// Tiles run left to right in rows, each followed by one gap; a row break
// starts the next row one gap below the tallest tile of the row; a column
// begin opens a nested block of rows inside the current row, and a
// captioned column is framed by a group box. Resizable tiles (and tiles
// of width 0) share out the width a row has to spare inside its column,
// repeatedly until nothing changes. Tiles shorter than their row are
// centred in it vertically.
//
// Tiles of another page than the one laid out (page -1 is every page) are
// left out, structural tiles included; a column's begin and end belong on
// the same page. A column end without an open column is ignored, and
// columns still open at the end are closed there.
#pragma once

#include <vector>

#include "dialogs/form_metrics.h"
#include "dialogs/tile.h"

namespace pelikon {

struct LayoutRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  int Right() const { return left + width; }
  int Bottom() const { return top + height; }
  bool operator==(const LayoutRect&) const = default;
};

enum class LayoutNodeKind { kColumn, kRow, kTile };

struct LayoutNode {
  LayoutNodeKind kind = LayoutNodeKind::kTile;
  int tile = -1;    // the tile; for a column its column begin; -1 for rows and for the form itself
  int parent = -1;  // index in FormLayout::nodes; -1 for the form itself
  LayoutRect rect;
};

struct FormLayout {
  // The form itself (a column) first, then columns, rows and tiles in
  // reading order.
  std::vector<LayoutNode> nodes;
  // By tile index: where the tile's control goes (a captioned column: its
  // group box). Empty for row breaks, column ends, group frames, plain
  // columns and the tiles of other pages.
  std::vector<LayoutRect> tiles;
  // By tile index: whether the tile is on the page laid out.
  std::vector<bool> on_page;
  // The client size that holds the widest row and the tallest column of
  // every page, with one gap around them.
  int fitted_width = 0;
  int fitted_height = 0;
};

struct LayoutRequest {
  int page = 0;
  // The client size of a window that keeps its size; 0 for a window that
  // is sized to fit. The form's rows share out the width it has to spare.
  int client_width = 0;
};

FormLayout LayOutForm(const std::vector<Tile>& tiles, const FormMetrics& metrics, const LayoutRequest& request = {});

// The width and height a tile asks for, in pixels, before any sharing.
int TileWidthInPixels(const Tile& tile, const FormMetrics& metrics);
int TileHeightInPixels(const Tile& tile, const FormMetrics& metrics);

// Whether the tile takes a share of its row's spare width.
bool TileIsResizable(const Tile& tile);

}  // namespace pelikon
