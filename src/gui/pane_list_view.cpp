#include "gui/pane_list_view.h"

#include "platform/catalogue.h"

namespace pelikon {

namespace {

enum Column : long { kName, kSize, kModified, kType, kAttributes };

}  // namespace

PaneListView::PaneListView(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size,
                           FileTypeLookup type_lookup)
    : wxListCtrl(parent, id, position, size, wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_SUNKEN),
      type_lookup_(std::move(type_lookup)) {
  AppendColumn(wxString::FromUTF8(Tr("Name")), wxLIST_FORMAT_LEFT, ColumnWidth(kNameColumnWidth));
  AppendColumn(wxString::FromUTF8(Tr("Size")), wxLIST_FORMAT_RIGHT, ColumnWidth(60));
  AppendColumn(wxString::FromUTF8(Tr("Modified")), wxLIST_FORMAT_RIGHT, ColumnWidth(100));
  AppendColumn(wxString::FromUTF8(Tr("File Type")), wxLIST_FORMAT_LEFT, ColumnWidth(100));
  AppendColumn(wxString::FromUTF8(Tr("Attributes")), wxLIST_FORMAT_LEFT, ColumnWidth(40));
}

int PaneListView::ColumnWidth(int classic_pixels) const {
  // The widths were chosen for a small 8-point font, where four dialog
  // units across are six pixels; scale them to the font this desktop uses.
  return ConvertDialogToPixels(wxSize(classic_pixels * 2 / 3, 0)).x;
}

void PaneListView::ResetNameColumn() {
  SetColumnWidth(kName, ColumnWidth(kNameColumnWidth));
}

void PaneListView::ShowList(const DirList* list) {
  list_ = list;
  DeselectAll();
  SetItemCount(list_ ? static_cast<long>(list_->entries.size()) : 0);
  Refresh();
}

std::vector<size_t> PaneListView::SelectedRows() const {
  std::vector<size_t> rows;
  for (long item = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item != -1;
       item = GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
    rows.push_back(static_cast<size_t>(item));
  return rows;
}

void PaneListView::DeselectAll() {
  if (GetItemCount() == 0) return;
  for (long item = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item != -1;
       item = GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
    SetItemState(item, 0, wxLIST_STATE_SELECTED);
}

wxString PaneListView::OnGetItemText(long item, long column) const {
  if (!list_ || item < 0 || static_cast<size_t>(item) >= list_->entries.size()) return {};
  const DirEntry& entry = list_->entries[static_cast<size_t>(item)];
  switch (column) {
    case kName:
      return wxString::FromUTF8(NameText(entry));
    case kSize:
      return wxString::FromUTF8(SizeText(entry));
    case kModified:
      return wxString::FromUTF8(ModifiedText(entry));
    case kType:
      return wxString::FromUTF8(FileTypeText(entry, type_lookup_));
    case kAttributes:
      return wxString::FromUTF8(AttributesText(entry));
    default:
      return {};
  }
}

int PaneListView::OnGetItemImage(long item) const {
  if (!list_ || item < 0 || static_cast<size_t>(item) >= list_->entries.size()) return -1;
  return RowImage(list_->entries[static_cast<size_t>(item)]);
}

}  // namespace pelikon
