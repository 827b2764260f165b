// One pane's list: a virtual report-style list view over a `DirList`.
// Rows are drawn on demand from the entries, so a folder of 100,000 files
// shows as fast as a folder of ten.
#pragma once

#include <vector>

#include <wx/listctrl.h>

#include "app/panes/dir_list.h"
#include "app/panes/pane_texts.h"

namespace pelikon {

class PaneListView final : public wxListCtrl {
 public:
  PaneListView(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size,
               FileTypeLookup type_lookup);

  // Shows `list` (which must outlive the view or be replaced before it goes).
  void ShowList(const DirList* list);
  std::vector<size_t> SelectedRows() const;
  void DeselectAll();
  // Gives the name column its first width back.
  void ResetNameColumn();
  static constexpr int kNameColumnWidth = 120;

 private:
  // A column width given in the pixels of the classic small font.
  int ColumnWidth(int classic_pixels) const;

  wxString OnGetItemText(long item, long column) const override;
  int OnGetItemImage(long item) const override;

  const DirList* list_ = nullptr;
  FileTypeLookup type_lookup_;
};

}  // namespace pelikon
