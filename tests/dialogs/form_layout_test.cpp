// The layout pass on its own: tiles in, rectangles out, no windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/form_layout.h"

namespace pelikon {
namespace {

// Character width 8, line height 16, gap 10.
constexpr FormMetrics kMetrics{8, 16, 10};

Tile MakeTile(TileType type, int width, bool resize = false, std::string text = {}) {
  Tile tile;
  tile.type = type;
  tile.width = width;
  tile.resize = resize;
  tile.text = std::move(text);
  return tile;
}
Tile Pixels(int width, bool resize = false) {
  return MakeTile(TileType::kSlider, width, resize);
}
Tile Label(int chars, bool resize = false) {
  return MakeTile(TileType::kLabel, chars, resize);
}
Tile Break() {
  return MakeTile(TileType::kRowBreak, 0);
}
Tile Begin(std::string caption = {}) {
  return MakeTile(TileType::kColumnBegin, 0, false, std::move(caption));
}
Tile End() {
  return MakeTile(TileType::kColumnEnd, 0);
}

std::vector<int> Widths(const FormLayout& layout, std::vector<int> tiles) {
  std::vector<int> widths;
  for (const int tile : tiles) widths.push_back(layout.tiles[tile].width);
  return widths;
}

TEST(FormMetrics, FollowTheFontsLetterWidthAndHeight) {
  EXPECT_EQ(MetricsFromFont(364, 15).char_width, 7);  // 364 / 26 = 14, (14 + 1) / 2
  EXPECT_EQ(MetricsFromFont(390, 16).char_width, 8);  // 15 -> 8: rounded, not cut
  EXPECT_EQ(MetricsFromFont(390, 16).line_height, 16);
  EXPECT_EQ(MetricsFromFont(390, 16).gap, 10);  // two thirds, cut
  EXPECT_EQ(MetricsFromFont(390, 9).gap, 6);
  EXPECT_EQ(FormFontFace(10), "Lucida Console");
  EXPECT_EQ(FormFontFace(11), "Arial");
  EXPECT_FALSE(SimilarFontFaces("Arial").empty());
}

TEST(FormLayout, TilesRunLeftToRightAndRowBreaksGoBackToTheColumnsEdge) {
  // label 10 chars, button 5 chars | break | edit 20 chars
  const std::vector<Tile> tiles{Label(10), MakeTile(TileType::kButton, 5), Break(), MakeTile(TileType::kEdit, 20)};
  const FormLayout layout = LayOutForm(tiles, kMetrics);
  EXPECT_EQ(layout.tiles[0], (LayoutRect{10, 14, 80, 16})) << "centred in the row the button makes 24 high";
  EXPECT_EQ(layout.tiles[1], (LayoutRect{100, 10, 40, 24}));
  EXPECT_EQ(layout.tiles[2], LayoutRect{}) << "a row break has no rectangle";
  EXPECT_EQ(layout.tiles[3], (LayoutRect{10, 44, 160, 20})) << "one row height and one gap lower";
  // Widest row 160 and two rows of 24 + 10 + 20, with one gap all round.
  EXPECT_EQ(layout.fitted_width, 180);
  EXPECT_EQ(layout.fitted_height, 74);
}

TEST(FormLayout, SpareWidthIsSharedAndWiderTilesKeepTheirWidth) {
  // A 610-pixel row above two resizable tiles of 100 and 300 (410 with the
  // gap) leaves 200 to share: (100 + 300 + 200) / 2 = 300 each.
  const std::vector<Tile> two{Pixels(610), Break(), Pixels(100, true), Pixels(300, true)};
  FormLayout layout = LayOutForm(two, kMetrics);
  EXPECT_EQ(Widths(layout, {2, 3}), (std::vector<int>{300, 300}));
  EXPECT_EQ(layout.tiles[3].left, 320) << "moved right by the first tile's growth";
  EXPECT_EQ(layout.tiles[3].Right(), layout.tiles[0].Right());

  // A third resizable tile of 500 is wider than (100 + 300 + 500 + 200) / 3
  // and keeps its width; the other two share as before.
  const std::vector<Tile> three{Pixels(1120), Break(), Pixels(100, true), Pixels(300, true), Pixels(500, true)};
  layout = LayOutForm(three, kMetrics);
  EXPECT_EQ(Widths(layout, {2, 3, 4}), (std::vector<int>{300, 300, 500}));
  EXPECT_EQ(layout.tiles[4].left, 630);

  // The same spare width from a window created with a size.
  const std::vector<Tile> alone{Pixels(100, true), Pixels(300, true), Pixels(500, true)};
  layout = LayOutForm(alone, kMetrics, LayoutRequest{0, 20 + 920 + 200});
  EXPECT_EQ(Widths(layout, {0, 1, 2}), (std::vector<int>{300, 300, 500}));
}

TEST(FormLayout, OnlyResizableOrZeroWidthTilesShareAndHalfACharacterIsNotShared) {
  const std::vector<Tile> tiles{Pixels(300), Break(), Pixels(100), Label(0), Break(), Pixels(295, true)};
  const FormLayout layout = LayOutForm(tiles, kMetrics);
  EXPECT_EQ(layout.tiles[2].width, 100) << "not resizable";
  EXPECT_EQ(layout.tiles[3].width, 190) << "width 0 always takes the share";
  EXPECT_EQ(layout.tiles[5].width, 300) << "5 pixels short is more than half a character: shared";

  const std::vector<Tile> close{Pixels(300), Break(), Pixels(296, true)};
  EXPECT_EQ(LayOutForm(close, kMetrics).tiles[2].width, 296) << "4 pixels is not more than half a character";
}

TEST(FormLayout, CaptionedColumnsAreFramedAndIndented) {
  // [ Box: label 10, label 5 | break | label 3 ] label 2
  const std::vector<Tile> tiles{Begin("Box"), Label(10), Label(5), Break(), Label(3), End(), Label(2)};
  const FormLayout layout = LayOutForm(tiles, kMetrics);
  // Content indented one character and one line; 130 wide, two rows of 16.
  EXPECT_EQ(layout.tiles[1], (LayoutRect{18, 26, 80, 16}));
  EXPECT_EQ(layout.tiles[2], (LayoutRect{108, 26, 40, 16}));
  EXPECT_EQ(layout.tiles[4], (LayoutRect{18, 52, 24, 16}));
  // The box reaches one character past the content and one gap below it.
  EXPECT_EQ(layout.tiles[0], (LayoutRect{10, 10, 8 + 130 + 8, 16 + 42 + 10}));
  // The row goes on one gap to the right of the box, centred in its height.
  EXPECT_EQ(layout.tiles[6].left, 10 + 146 + 10);
  EXPECT_EQ(layout.tiles[6].top, 10 + (68 - 16) / 2);
  EXPECT_EQ(layout.fitted_width, 10 + 146 + 10 + 16 + 10);
  EXPECT_EQ(layout.fitted_height, 10 + 68 + 10);
}

TEST(FormLayout, PlainColumnsStackTheirRowsAndRecordTheirParents) {
  // label 4 [ label 10 | break | label 10 ] | break | label 2
  const std::vector<Tile> tiles{Label(4), Begin(), Label(10), Break(), Label(10), End(), Break(), Label(2)};
  const FormLayout layout = LayOutForm(tiles, kMetrics);
  EXPECT_EQ(layout.tiles[1], LayoutRect{}) << "nothing is drawn for a plain column";
  EXPECT_EQ(layout.tiles[2], (LayoutRect{52, 10, 80, 16}));
  EXPECT_EQ(layout.tiles[4], (LayoutRect{52, 36, 80, 16})) << "back to the column's own left edge";
  EXPECT_EQ(layout.tiles[7], (LayoutRect{10, 62, 16, 16})) << "below the column's two rows";

  // tile -> row -> column -> row -> the form
  const auto node_of = [&](int tile) {
    for (size_t i = 0; i < layout.nodes.size(); ++i)
      if (layout.nodes[i].kind == LayoutNodeKind::kTile && layout.nodes[i].tile == tile) return static_cast<int>(i);
    return -1;
  };
  const LayoutNode& row = layout.nodes[layout.nodes[node_of(4)].parent];
  EXPECT_EQ(row.kind, LayoutNodeKind::kRow);
  EXPECT_EQ(row.rect, (LayoutRect{52, 36, 80, 16}));
  const LayoutNode& column = layout.nodes[row.parent];
  EXPECT_EQ(column.kind, LayoutNodeKind::kColumn);
  EXPECT_EQ(column.tile, 1);
  EXPECT_EQ(column.rect, (LayoutRect{52, 10, 80, 42}));
  EXPECT_EQ(layout.nodes[layout.nodes[column.parent].parent].tile, -1) << "the form itself";
}

TEST(FormLayout, ResizableTilesInsideAColumnFollowTheColumnsGrowth) {
  // [ label 10 | break | label 0 ] [ label 30 ] | break | pixels 600
  // The outer row has 600 - (80 + 10 + 240) spare for the column (its
  // label of width 0 makes it resizable); inside, the width-0 label fills
  // the grown column.
  const std::vector<Tile> tiles{Begin(), Label(10), Break(), Label(0), End(), Label(30), Break(), Pixels(600)};
  const FormLayout layout = LayOutForm(tiles, kMetrics);
  EXPECT_EQ(layout.tiles[3].width, 600 - 10 - 240);
  EXPECT_EQ(layout.tiles[5].left, 10 + 350 + 10);
  EXPECT_EQ(layout.tiles[5].Right(), layout.tiles[7].Right());
}

TEST(FormLayout, StrayColumnEndsAreIgnoredAndOpenColumnsCloseAtTheEnd) {
  const std::vector<Tile> tiles{End(), Label(5), Begin("Open"), Label(5)};
  const FormLayout layout = LayOutForm(tiles, kMetrics);
  EXPECT_EQ(layout.tiles[1], (LayoutRect{10, 23, 40, 16}));
  EXPECT_EQ(layout.tiles[2], (LayoutRect{60, 10, 56, 42}));
}

TEST(FormLayout, TypesGiveTheirHeightsAndMeasuredControlsAreNotCut) {
  Tile edit = MakeTile(TileType::kEdit, 10);
  Tile check = MakeTile(TileType::kCheckBox, 10);
  Tile list = MakeTile(TileType::kListView, 10);
  list.height = 3;
  Tile measured = MakeTile(TileType::kButton, 5);
  measured.min_width = 90;
  measured.min_height = 34;
  const FormMetrics& m = kMetrics;
  EXPECT_EQ(TileHeightInPixels(edit, m), 20);
  edit.page = 2;
  EXPECT_EQ(TileHeightInPixels(edit, m), 22) << "an edit field on a tab page";
  EXPECT_EQ(TileWidthInPixels(check, m), 80 + 25) << "room for the box";
  EXPECT_EQ(TileHeightInPixels(list, m), 4 * 16 + 4) << "three lines and the header";
  EXPECT_EQ(TileHeightInPixels(MakeTile(TileType::kButton, 5), m), 24);
  EXPECT_EQ(TileWidthInPixels(measured, m), 90);
  EXPECT_EQ(TileHeightInPixels(measured, m), 34);
  Tile picture = Label(48);
  picture.picture = true;
  picture.height = 40;
  EXPECT_EQ(TileWidthInPixels(picture, m), 48) << "a picture's width is pixels";
  EXPECT_EQ(TileHeightInPixels(picture, m), 40);
}

TEST(FormLayout, OnlyTheCurrentPagesTilesAreLaidOutButTheWindowFitsEveryPage) {
  Tile first = Label(10);
  first.page = 0;
  Tile second = Label(30);
  second.page = 1;
  const std::vector<Tile> tiles{Label(5), Break(), first, second};
  const FormLayout page0 = LayOutForm(tiles, kMetrics, LayoutRequest{0});
  EXPECT_TRUE(page0.on_page[0]);
  EXPECT_TRUE(page0.on_page[2]);
  EXPECT_FALSE(page0.on_page[3]);
  EXPECT_EQ(page0.tiles[3], LayoutRect{});
  EXPECT_EQ(page0.tiles[2].left, 10);
  const FormLayout page1 = LayOutForm(tiles, kMetrics, LayoutRequest{1});
  EXPECT_EQ(page1.tiles[3], (LayoutRect{10, 36, 240, 16})) << "in the place of the other page's tile";
  EXPECT_EQ(page0.fitted_width, 260) << "wide enough for page 1";
  EXPECT_EQ(page1.fitted_width, 260);
}

}  // namespace
}  // namespace pelikon
