#include "gui/pane_list_view.h"

#include <array>
#include <charconv>

#include <wx/settings.h>

#include "app/transfer_settings.h"
#include "platform/catalogue.h"

namespace pelikon {

namespace {

enum Column : long { kName, kSize, kModified, kType, kAttributes };

struct ColumnSpec {
  const char* heading;
  wxListColumnFormat format;
  int classic_width;
};
constexpr std::array<ColumnSpec, PaneListView::kColumnCount> kColumns = {{
    {N_("Name"), wxLIST_FORMAT_LEFT, PaneListView::kNameColumnWidth},
    {N_("Size"), wxLIST_FORMAT_RIGHT, 60},
    {N_("Modified"), wxLIST_FORMAT_RIGHT, 100},
    {N_("File Type"), wxLIST_FORMAT_LEFT, 100},
    {N_("Attributes"), wxLIST_FORMAT_LEFT, 40},
}};

}  // namespace

PaneListView::PaneListView(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size,
                           FileTypeLookup type_lookup)
    : wxListCtrl(parent, id, position, size, wxLC_REPORT | wxLC_VIRTUAL | wxBORDER_SUNKEN),
      type_lookup_(std::move(type_lookup)) {
  for (const ColumnSpec& column : kColumns) {
    const wxString heading = wxString::FromUTF8(Tr(column.heading));
    AppendColumn(heading, column.format, ColumnWidth(column.classic_width, heading));
  }

  // The list's own window sends its mouse and key events here first, so
  // these run before the list acts on them.
  const auto button_down = [this](wxMouseEvent& event) {
    Started();
    event.Skip();
  };
  Bind(wxEVT_LEFT_DOWN, button_down);
  Bind(wxEVT_LEFT_DCLICK, button_down);
  Bind(wxEVT_RIGHT_DOWN, button_down);
  Bind(wxEVT_MIDDLE_DOWN, button_down);
  Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& event) {
    SelectionMayChange();
    event.Skip();
  });
  Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
    Started();
    OnKey(event);
  });
  const auto selection = [this](wxListEvent& event) {
    SelectionMayChange();
    event.Skip();
  };
  Bind(wxEVT_LIST_ITEM_SELECTED, selection);
  Bind(wxEVT_LIST_ITEM_DESELECTED, selection);
  Bind(wxEVT_LIST_ITEM_FOCUSED, selection);
  // Drawing a virtual list's rows starts with a hint of the rows about to
  // be drawn.
  // The header sets the width while the edge is dragged; it is the user's
  // width once the drag is over.
  Bind(wxEVT_LIST_COL_END_DRAG, [this](wxListEvent& event) {
    columns_dragged_ = true;
    event.Skip();
  });
  Bind(wxEVT_LIST_CACHE_HINT, [this](wxListEvent& event) {
    rows_drawn_ = true;
    event.Skip();
  });
}

void PaneListView::SetListeners(std::function<void()> on_input, std::function<void()> on_selection_change) {
  on_input_ = std::move(on_input);
  on_selection_change_ = std::move(on_selection_change);
}

int PaneListView::ColumnWidth(int classic_pixels, const wxString& heading) const {
  // The widths were chosen for a small 8-point font, where four dialog
  // units across are six pixels; scale them to the font this desktop uses.
  const int scaled = ConvertDialogToPixels(wxSize(classic_pixels * 2 / 3, 0)).x;
  const int heading_width = GetTextExtent(heading).x + FromDIP(16);
  return std::max(scaled, heading_width);
}

PaneListView::ColumnWidths PaneListView::UserColumnWidths() const {
  ColumnWidths widths{};
  for (int column = 0; column < kColumnCount; ++column) widths[static_cast<size_t>(column)] = GetColumnWidth(column);
  // A name column dragged narrower than its extra width keeps a sliver.
  widths[kName] = std::max(widths[kName] - name_extra_, FromDIP(8));
  return widths;
}

void PaneListView::SetUserColumnWidths(const ColumnWidths& widths) {
  for (int column = 0; column < kColumnCount; ++column)
    SetColumnWidth(column, widths[static_cast<size_t>(column)] + (column == kName ? name_extra_ : 0));
}

void PaneListView::TakeFirstWidth() {
  const int user_name_width = UserColumnWidths()[kName];
  first_width_ = GetSize().x;
  name_extra_ = 0;
  SetColumnWidth(kName, user_name_width);
}

void PaneListView::FollowWidth() {
  if (first_width_ == 0) return;
  const int user_name_width = UserColumnWidths()[kName];
  name_extra_ = std::max(0, GetSize().x - first_width_);
  SetColumnWidth(kName, user_name_width + name_extra_);
}

int PaneListView::SortOrderOfColumn(int column) {
  switch (column) {
    case kName:
      return kSortByName;
    case kSize:
      return kSortBySize;
    case kModified:
      return kSortByDate;
    default:
      return -1;
  }
}

void PaneListView::ShowSortOrder(int order) {
  for (int column = 0; column < kColumnCount; ++column) {
    if (SortOrderOfColumn(column) != order) continue;
    // Newest first is the date order's direction; the others ascend.
    ShowSortIndicator(column, order != kSortByDate);
    return;
  }
  RemoveSortIndicator();
}

std::string ColumnWidthsText(const PaneListView::ColumnWidths& widths) {
  std::string text;
  for (const int width : widths) {
    if (!text.empty()) text += ',';
    text += std::to_string(width);
  }
  return text;
}

std::optional<PaneListView::ColumnWidths> ParseColumnWidths(std::string_view text) {
  constexpr int kWidest = 10000;
  PaneListView::ColumnWidths widths{};
  const char* at = text.data();
  const char* const end = text.data() + text.size();
  for (size_t column = 0; column < widths.size(); ++column) {
    if (column > 0) {
      if (at == end || *at != ',') return std::nullopt;
      ++at;
    }
    const auto [next, error] = std::from_chars(at, end, widths[column]);
    if (error != std::errc() || widths[column] < 1 || widths[column] > kWidest) return std::nullopt;
    at = next;
  }
  if (at != end) return std::nullopt;
  return widths;
}

int PaneListView::WidthForAllColumns() const {
  int width = 0;
  for (int column = 0; column < GetColumnCount(); ++column) width += GetColumnWidth(column);
  // The frame on both sides and the vertical scroll bar that a long
  // listing brings.
  return width + GetSize().x - GetClientSize().x + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this);
}

void PaneListView::ShowList(const DirList* list) {
  list_ = list;
  // Emptying the list makes it forget its old selection whole. Deselecting
  // row by row is not enough: after a large range was selected, the list
  // keeps its selection as "all rows but these", and a longer listing
  // would come up with its extra rows selected.
  DeleteAllItems();
  SetItemCount(list_ ? static_cast<long>(list_->entries.size()) : 0);
  rows_drawn_ = false;
  Refresh();
  SelectionMayChange();
}

std::vector<size_t> PaneListView::SelectedRows() const {
  std::vector<size_t> rows;
  for (long item = GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item != -1;
       item = GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
    rows.push_back(static_cast<size_t>(item));
  return rows;
}

void PaneListView::SelectAll() {
  if (GetItemCount() == 0) return;
  SetItemState(-1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  SelectionMayChange();
}

void PaneListView::DeselectAll() {
  if (GetItemCount() == 0 || GetSelectedItemCount() == 0) return;
  SetItemState(-1, 0, wxLIST_STATE_SELECTED);
  SelectionMayChange();
}

void PaneListView::Started() {
  if (on_input_) on_input_();
  SelectionMayChange();
}

void PaneListView::SelectionMayChange() {
  if (on_selection_change_) on_selection_change_();
}

void PaneListView::OnKey(wxKeyEvent& event) {
  // The list itself knows no key for selecting everything.
  if (event.GetModifiers() == wxMOD_CONTROL && event.GetKeyCode() == 'A') {
    SelectAll();
    return;
  }
  event.Skip();
}

void PaneListView::OnInternalIdle() {
  wxListCtrl::OnInternalIdle();
  // A request to draw new rows can get lost while the program is busy
  // (seen on a loaded machine: a filled pane stayed blank until something
  // else repainted it). Ask again whenever the loop goes idle, until they
  // have been drawn.
  if (!RowsDrawn() && IsShownOnScreen()) Refresh();
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
