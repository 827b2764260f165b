#include "dialogs/form_layout.h"

#include <algorithm>
#include <set>

namespace pelikon {

namespace {

// Room a check box's text leaves for the box itself.
constexpr int kCheckBoxRoom = 25;
// Lines a list shows when its tile does not say.
constexpr int kDefaultListBoxLines = 4;
constexpr int kDefaultListViewLines = 6;
// Sharing converges quickly (widths only grow and never past their
// column); the bound only guards against a mistake.
constexpr int kMostSharingRounds = 64;

bool OnPage(const Tile& tile, int page) {
  return tile.page == -1 || tile.page == page;
}

struct Node {
  LayoutNodeKind kind = LayoutNodeKind::kTile;
  int tile = -1;
  int parent = -1;
  std::vector<int> children;
  bool captioned = false;
  bool resizable = false;
  int width = 0;
  int height = 0;
  int given_content_width = 0;  // a column's content width from its row's sharing
  int content_width = 0;        // a column's: its widest row, or what it was given
  LayoutRect rect;
};

class LayoutPass {
 public:
  LayoutPass(const std::vector<Tile>& tiles, const FormMetrics& metrics, int page)
      : tiles_(tiles), metrics_(metrics), page_(page) {}

  // Lays the page out; `client_width` as in LayoutRequest.
  void Run(int client_width) {
    Build();
    if (client_width > 0) nodes_[0].given_content_width = std::max(0, client_width - 2 * metrics_.gap);
    for (int round = 0; round < kMostSharingRounds; ++round) {
      Measure(0);
      if (!Share(0)) break;
    }
    Measure(0);
    PlaceColumn(0, metrics_.gap, metrics_.gap);
  }

  int FittedWidth() const { return nodes_[0].width + 2 * metrics_.gap; }
  int FittedHeight() const { return nodes_[0].height + 2 * metrics_.gap; }

  void WriteTo(FormLayout& layout) const {
    layout.tiles.assign(tiles_.size(), LayoutRect{});
    layout.on_page.assign(tiles_.size(), false);
    for (size_t i = 0; i < tiles_.size(); ++i) layout.on_page[i] = OnPage(tiles_[i], page_);
    for (const Node& node : nodes_) {
      layout.nodes.push_back(LayoutNode{node.kind, node.tile, node.parent, node.rect});
      if (node.tile < 0) continue;
      const bool drawn = node.kind == LayoutNodeKind::kTile || node.captioned;
      if (drawn) layout.tiles[static_cast<size_t>(node.tile)] = node.rect;
    }
  }

 private:
  int Add(LayoutNodeKind kind, int tile, int parent) {
    Node node;
    node.kind = kind;
    node.tile = tile;
    node.parent = parent;
    nodes_.push_back(node);
    const int index = static_cast<int>(nodes_.size()) - 1;
    if (parent >= 0) nodes_[parent].children.push_back(index);
    return index;
  }

  // Turns the tile sequence into columns of rows of tiles and columns.
  void Build() {
    nodes_.clear();
    std::vector<int> open_columns{Add(LayoutNodeKind::kColumn, -1, -1)};
    int row = Add(LayoutNodeKind::kRow, -1, 0);
    for (size_t i = 0; i < tiles_.size(); ++i) {
      const Tile& tile = tiles_[i];
      if (!OnPage(tile, page_)) continue;
      const int index = static_cast<int>(i);
      switch (tile.type) {
        case TileType::kRowBreak:
          row = Add(LayoutNodeKind::kRow, -1, open_columns.back());
          break;
        case TileType::kColumnBegin: {
          const int column = Add(LayoutNodeKind::kColumn, index, row);
          nodes_[column].captioned = !tile.text.empty();
          open_columns.push_back(column);
          row = Add(LayoutNodeKind::kRow, -1, column);
          break;
        }
        case TileType::kColumnEnd:
          if (open_columns.size() > 1) {
            const int closed = open_columns.back();
            open_columns.pop_back();
            row = nodes_[closed].parent;
          }
          break;
        case TileType::kGroupFrame:
          break;  // groups its radio buttons; takes no room
        default: {
          const int node = Add(LayoutNodeKind::kTile, index, row);
          nodes_[node].resizable = TileIsResizable(tile);
          nodes_[node].width = TileWidthInPixels(tile, metrics_);
          nodes_[node].height = TileHeightInPixels(tile, metrics_);
        }
      }
    }
  }

  int Frame(const Node& column) const { return column.captioned ? 2 * metrics_.char_width : 0; }

  // Bottom-up: rows from their children, columns from their rows. Tile
  // sizes are set when built and only grow by sharing.
  void Measure(int index) {
    Node& node = nodes_[index];
    if (node.kind == LayoutNodeKind::kTile) return;
    for (const int child : node.children) Measure(child);
    if (node.kind == LayoutNodeKind::kRow) {
      node.width = node.height = 0;
      node.resizable = false;
      for (const int child : node.children) {
        const Node& item = nodes_[child];
        if (child != node.children.front()) node.width += metrics_.gap;
        node.width += item.width;
        node.height = std::max(node.height, item.height);
        node.resizable = node.resizable || item.resizable;
      }
      return;
    }
    int widest = 0, content_height = 0, y = 0;
    node.resizable = false;
    for (const int row : node.children) {
      const Node& r = nodes_[row];
      widest = std::max(widest, r.width);
      if (!r.children.empty()) content_height = std::max(content_height, y + r.height);
      y += r.height + metrics_.gap;
      node.resizable = node.resizable || r.resizable;
    }
    node.content_width = std::max(widest, node.given_content_width);
    node.width = node.content_width + Frame(node);
    node.height = node.captioned ? metrics_.line_height + content_height + metrics_.gap : content_height;
  }

  // Top-down: every row narrower than its column shares the difference
  // among its resizable items. True when anything grew.
  bool Share(int column) {
    bool grew = false;
    const Node& col = nodes_[column];
    const int content_width = col.content_width;
    for (const int row : col.children) {
      const Node& r = nodes_[row];
      const int spare = content_width - r.width;
      if (r.resizable && 2 * spare > metrics_.char_width) grew = ShareRow(row, spare) || grew;
      for (const int child : r.children)
        if (nodes_[child].kind == LayoutNodeKind::kColumn) grew = Share(child) || grew;
    }
    return grew;
  }

  bool ShareRow(int row, int spare) {
    std::vector<int> sharing;
    int pool = spare;
    for (const int child : nodes_[row].children)
      if (nodes_[child].resizable) {
        sharing.push_back(child);
        pool += nodes_[child].width;
      }
    int share = 0;
    for (;;) {
      if (sharing.empty()) return false;
      share = pool / static_cast<int>(sharing.size());
      const auto wider = std::stable_partition(sharing.begin(), sharing.end(),
                                               [&](int child) { return nodes_[child].width <= share; });
      if (wider == sharing.end()) break;
      for (auto it = wider; it != sharing.end(); ++it) pool -= nodes_[*it].width;
      sharing.erase(wider, sharing.end());
    }
    bool grew = false;
    for (const int child : sharing) {
      Node& item = nodes_[child];
      if (item.width >= share) continue;
      item.width = share;
      if (item.kind == LayoutNodeKind::kColumn) item.given_content_width = share - Frame(item);
      grew = true;
    }
    return grew;
  }

  void PlaceColumn(int index, int left, int top) {
    Node& column = nodes_[index];
    column.rect = {left, top, column.width, column.height};
    const int content_left = left + (column.captioned ? metrics_.char_width : 0);
    int y = top + (column.captioned ? metrics_.line_height : 0);
    for (const int row : column.children) {
      PlaceRow(row, content_left, y);
      y += nodes_[row].height + metrics_.gap;
    }
  }

  void PlaceRow(int index, int left, int top) {
    Node& row = nodes_[index];
    row.rect = {left, top, row.width, row.height};
    int x = left;
    for (const int child : row.children) {
      Node& item = nodes_[child];
      if (item.kind == LayoutNodeKind::kColumn)
        PlaceColumn(child, x, top);
      else
        item.rect = {x, top + (row.height - item.height) / 2, item.width, item.height};
      x += item.width + metrics_.gap;
    }
  }

  const std::vector<Tile>& tiles_;
  const FormMetrics& metrics_;
  const int page_;
  std::vector<Node> nodes_;
};

}  // namespace

bool TileIsResizable(const Tile& tile) {
  return tile.resize || tile.width == 0;
}

int TileWidthInPixels(const Tile& tile, const FormMetrics& metrics) {
  int width = TileWidthIsPixels(tile) ? tile.width : tile.width * metrics.char_width;
  if (tile.type == TileType::kCheckBox) width += kCheckBoxRoom;
  return std::max({width, tile.min_width, 0});
}

int TileHeightInPixels(const Tile& tile, const FormMetrics& metrics) {
  const int line = metrics.line_height;
  const auto lines = [&](int fallback) { return tile.height > 0 ? tile.height : fallback; };
  int height = 0;
  switch (tile.type) {
    case TileType::kLabel:
      height = tile.picture && tile.height > 0 ? tile.height : line;
      break;
    case TileType::kButton:
      height = line * 3 / 2;
      break;
    case TileType::kEdit:
      height = line + 4 + (tile.page >= 0 ? 2 : 0);
      break;
    case TileType::kDropDown:
    case TileType::kComboBox:
      height = line + 8;
      break;
    case TileType::kSlider:
    case TileType::kProgressBar:
      height = tile.height > 0 ? tile.height : line;
      break;
    case TileType::kCheckBox:
    case TileType::kRadioButton:
      height = line;
      break;
    case TileType::kListBox:
      height = lines(kDefaultListBoxLines) * line + 4;
      break;
    case TileType::kListView:
      height = (lines(kDefaultListViewLines) + 1) * line + 4;  // one line more for the header
      break;
    default:
      return 0;
  }
  return std::max(height, tile.min_height);
}

FormLayout LayOutForm(const std::vector<Tile>& tiles, const FormMetrics& metrics, const LayoutRequest& request) {
  std::set<int> pages{request.page};
  for (const Tile& tile : tiles)
    if (tile.page >= 0) pages.insert(tile.page);
  FormLayout layout;
  for (const int page : pages) {
    LayoutPass pass(tiles, metrics, page);
    pass.Run(request.client_width);
    layout.fitted_width = std::max(layout.fitted_width, pass.FittedWidth());
    layout.fitted_height = std::max(layout.fitted_height, pass.FittedHeight());
    if (page == request.page) pass.WriteTo(layout);
  }
  return layout;
}

}  // namespace pelikon
