// The tile table and the value store of a form, without windows.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/form_values.h"
#include "dialogs/tile_table.h"
#include "platform/trace.h"

namespace pelikon {
namespace {

Tile MakeTile(std::string name, TileType type, std::string text = {}) {
  Tile tile;
  tile.name = std::move(name);
  tile.type = type;
  tile.text = std::move(text);
  return tile;
}

Tile WithClick(Tile tile, int mask = kButtonEventMask) {
  tile.callback = [](PopDialog&, const std::string&, int) {};
  tile.event_mask = mask;
  return tile;
}

TEST(TileTable, ControlIdsCountTheControlsBeforeAndLayoutTilesHaveNone) {
  TileTable table;
  const int label = table.Add(MakeTile("a", TileType::kLabel));
  const int row = table.Add(MakeTile("", TileType::kRowBreak));
  const int column = table.Add(MakeTile("c", TileType::kColumnBegin));
  const int end = table.Add(MakeTile("", TileType::kColumnEnd));
  const int button = table.Add(MakeTile("b", TileType::kButton));
  EXPECT_EQ(table[label].control_id, 2027);
  EXPECT_EQ(table[row].control_id, 0);
  EXPECT_EQ(table[column].control_id, 2028);
  EXPECT_EQ(table[end].control_id, 0);
  EXPECT_EQ(table[button].control_id, 2029);
  EXPECT_EQ(table.FindByControlId(2029), button);
  EXPECT_EQ(table.FindByControlId(0), -1) << "row breaks are not controls";
}

TEST(TileTable, NamesAreExactAndAMissingOneIsTraced) {
  TileTable table;
  table.Add(MakeTile("ok", TileType::kButton));
  table.Add(MakeTile("ok", TileType::kLabel));
  EXPECT_EQ(table.Find("ok"), 0) << "the first of that name";
  TraceCapture trace;
  EXPECT_EQ(table.Find("OK"), -1) << "names keep their case";
  EXPECT_NE(trace.Text().find("Tile OK is not found"), std::string::npos) << trace.Text();
  TraceCapture quiet;
  EXPECT_EQ(table.IndexOf("missing"), -1);
  EXPECT_EQ(quiet.Text(), "");
}

TEST(TileTable, HoldsAThousandTiles) {
  TileTable table;
  for (size_t i = 0; i < TileTable::kMaxTiles; ++i) ASSERT_EQ(table.Add(MakeTile("t", TileType::kLabel)), int(i));
  EXPECT_EQ(table.Add(MakeTile("one too many", TileType::kLabel)), -1);
  EXPECT_EQ(table.Size(), TileTable::kMaxTiles);
}

TEST(TileTable, ClickableCaptionsGiveAccelerators) {
  EXPECT_EQ(AcceleratorOf("&Overwrite"), 'O');
  EXPECT_EQ(AcceleratorOf("Save &as"), 'A');
  EXPECT_EQ(AcceleratorOf("Fish && Chips"), 0) << "a shown ampersand";
  EXPECT_EQ(AcceleratorOf("Fish && &chips"), 'C');
  EXPECT_EQ(AcceleratorOf("Ends &"), 0);

  TileTable table;
  const int button = table.Add(WithClick(MakeTile("b", TileType::kButton, "&Rename")));
  const int label = table.Add(MakeTile("l", TileType::kLabel, "Tom & &Jerry"));
  EXPECT_EQ(table[button].accelerator, 'R');
  EXPECT_EQ(table[label].accelerator, 0) << "a label shows its text as given";
  EXPECT_EQ(table.AcceleratorTile('R'), button);
  table[button].enabled = false;
  EXPECT_EQ(table.AcceleratorTile('R'), -1) << "a disabled tile is not pressed";
}

TEST(TileTable, EscapeGoesThroughCancelThenExitThenTheEscapeAccelerator) {
  TileTable none;
  none.Add(WithClick(MakeTile("ok", TileType::kButton)));
  EXPECT_EQ(none.EscapeTile(), -1) << "no way out: Escape does nothing";

  TileTable exit_only;
  exit_only.Add(MakeTile("cancel", TileType::kButton));  // no callback
  const int exit = exit_only.Add(WithClick(MakeTile("exit", TileType::kButton)));
  EXPECT_EQ(exit_only.EscapeTile(), exit);

  TileTable both;
  const int exit2 = both.Add(WithClick(MakeTile("exit", TileType::kButton)));
  const int cancel = both.Add(WithClick(MakeTile("cancel", TileType::kButton)));
  EXPECT_EQ(both.EscapeTile(), cancel);
  both[cancel].event_mask = kEventEnter;
  EXPECT_EQ(both.EscapeTile(), exit2) << "a cancel that does not take clicks";

  TileTable accelerated;
  accelerated.Add(WithClick(MakeTile("ok", TileType::kButton)));
  Tile skip = WithClick(MakeTile("skip", TileType::kButton));
  skip.accelerator = kEscapeAccelerator;
  const int skip_index = accelerated.Add(skip);
  EXPECT_EQ(accelerated.EscapeTile(), skip_index);
}

TEST(TileTable, RadioGroupsRunFromTheirFrameOverRadioButtonsAndRowBreaks) {
  TileTable table;
  const int frame = table.Add(MakeTile("frame", TileType::kGroupFrame));
  const int first = table.Add(MakeTile("r1", TileType::kRadioButton));
  table.Add(MakeTile("", TileType::kRowBreak));
  const int second = table.Add(MakeTile("r2", TileType::kRadioButton));
  table.Add(MakeTile("l", TileType::kLabel));
  const int outside = table.Add(MakeTile("r3", TileType::kRadioButton));
  EXPECT_EQ(table.GroupMembers(frame), (std::vector<int>{first, second}));
  EXPECT_EQ(table.GroupFrameOf(second), frame);
  EXPECT_EQ(table.GroupFrameOf(outside), -1);
  EXPECT_TRUE(table.GroupMembers(first).empty()) << "only a frame has members";
}

TEST(TileTable, ButtonMaskTakesClicksEnterDoubleClicksAndListChanges) {
  const Tile button = WithClick(MakeTile("b", TileType::kButton));
  for (const int code : {kEventInserted, kEventClick, kEventEnter, kEventDoubleClick, kEventItemChange})
    EXPECT_TRUE(TileWantsEvent(button, code)) << code;
  EXPECT_FALSE(TileWantsEvent(button, 8));
  EXPECT_FALSE(TileWantsEvent(MakeTile("no callback", TileType::kButton), kEventClick));
}

TEST(FormValues, NumbersAsDecimalTextAndMissingOnesAreZero) {
  FormValues values;
  EXPECT_EQ(values.GetValue("count"), 0u);
  values.SetValue("count", 42);
  values.SetValue("big", 4294967295u);
  EXPECT_EQ(values.GetValue("COUNT"), 42u) << "value names ignore case";
  EXPECT_EQ(values.GetText("big"), "4294967295");
  EXPECT_EQ(values.GetValue("big"), 4294967295u);
  values.SetText("filename", "JOB1.crd");
  EXPECT_EQ(values.GetText("filename"), "JOB1.crd");
  EXPECT_EQ(values.GetValue("filename"), 0u) << "text that is no number";
  values.SetValue("count", 7);
  EXPECT_EQ(values.GetValue("count"), 7u) << "replaced, not added";
}

}  // namespace
}  // namespace pelikon
