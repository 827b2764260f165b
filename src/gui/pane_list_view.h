// One pane's list: a virtual report-style list view over a `DirList`.
// Rows are drawn on demand from the entries, so a folder of 100,000 files
// shows as fast as a folder of ten.
//
// A virtual list reports a range selection (Shift with a click or an
// arrow key) with no event per row, and sometimes with none at all, so the
// view does not describe what changed: it says only that the user started
// working in it and that its selection may have changed, and the owner
// reads the selected rows again.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <wx/listctrl.h>

#include "app/panes/dir_list.h"
#include "app/panes/pane_texts.h"

namespace pelikon {

class PaneListView final : public wxListCtrl {
 public:
  PaneListView(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size,
               FileTypeLookup type_lookup);

  // `on_input` runs when a mouse button or a key goes down in the list,
  // before the list acts on it; `on_selection_change` whenever the
  // selected rows may have changed (also mid-way through a change: read
  // the selection once the current event is over).
  void SetListeners(std::function<void()> on_input, std::function<void()> on_selection_change);

  // Shows `list` (which must outlive the view or be replaced before it
  // goes) with no row selected, whatever was selected before.
  void ShowList(const DirList* list);
  std::vector<size_t> SelectedRows() const;
  void SelectAll();
  void DeselectAll();
  // Whether the rows shown since the last ShowList() have been drawn (an
  // empty list has none to draw).
  bool RowsDrawn() const { return rows_drawn_ || GetItemCount() == 0; }
  // The width that shows every column whole, with the vertical scroll bar.
  int WidthForAllColumns() const;
  static constexpr int kNameColumnWidth = 120;
  static constexpr int kColumnCount = 5;

  // Column widths. Each column has the width the user gave it (by
  // dragging a header's edge) or its first width; the name column shows
  // besides all the width the pane has gained since TakeFirstWidth().
  using ColumnWidths = std::array<int, kColumnCount>;
  ColumnWidths UserColumnWidths() const;
  void SetUserColumnWidths(const ColumnWidths& widths);
  // The pane's present width is its first: the name column gets no more.
  void TakeFirstWidth();
  // The pane's width changed: the name column follows it.
  void FollowWidth();
  // The user has dragged a column's edge since the view was made.
  bool ColumnsDragged() const { return columns_dragged_; }

  // The sort order (a SortOrder) that a click on `column`'s heading
  // chooses, or -1 when that column sorts by none of them.
  static int SortOrderOfColumn(int column);
  // Marks the heading of the column that `order` sorts by (none for OFF).
  void ShowSortOrder(int order);

 private:
  // A column width given in the pixels of the classic small font, and at
  // least as wide as the column's heading.
  int ColumnWidth(int classic_pixels, const wxString& heading) const;
  void Started();
  void SelectionMayChange();
  void OnKey(wxKeyEvent& event);

  void OnInternalIdle() override;
  wxString OnGetItemText(long item, long column) const override;
  int OnGetItemImage(long item) const override;

  const DirList* list_ = nullptr;
  FileTypeLookup type_lookup_;
  std::function<void()> on_input_;
  std::function<void()> on_selection_change_;
  bool rows_drawn_ = false;
  int first_width_ = 0;  // 0 until TakeFirstWidth()
  int name_extra_ = 0;   // what the name column shows beyond the user's width
  bool columns_dragged_ = false;
};

// Column widths as stored with the window settings: five decimal numbers
// joined by ",". Parsing gives nothing for any other text or for a width
// outside 1 to 10,000 pixels.
std::string ColumnWidthsText(const PaneListView::ColumnWidths& widths);
std::optional<PaneListView::ColumnWidths> ParseColumnWidths(std::string_view text);

}  // namespace pelikon
