#include "gui/merge/merge_grid_table.h"

#include "coord/merge/merge_columns.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

// Shown values of one side of a row: identifier, northing, easting,
// elevation, description.
wxString SideValue(const MergePoint& point, int field) {
  switch (field) {
    case 0:
      return ToWx(point.id);
    case 1:
      return ToWx(StrPrintf("%.3f", point.north));
    case 2:
      return ToWx(StrPrintf("%.3f", point.east));
    case 3:
      return ToWx(StrPrintf("%.3f", point.elev));
    case 4:
      return ToWx(point.desc);
    default:
      return {};
  }
}

wxColour MarkColour(RowMark mark) {
  switch (mark) {
    case RowMark::kResolved:
      return {210, 240, 210};
    case RowMark::kUnresolvedConflict:
      return {250, 200, 200};
    case RowMark::kUnresolvedMissing:
      return {250, 240, 190};
    case RowMark::kPlain:
      break;
  }
  return *wxWHITE;
}

constexpr int kSideWidth = 5;  // columns per side
constexpr int kTargetFirstColumn = kActionColumn + 1;

}  // namespace

MergeGridTable::MergeGridTable(const MergeSession& session) : session_(session) {}

MergeGridTable::~MergeGridTable() {
  // Their controls go now, while the grid still stands, whoever else
  // still holds the editors.
  for (auto& entry : editors_) {
    entry.second->Destroy();
    entry.second->DecRef();
  }
}

int MergeGridTable::GetNumberRows() {
  return static_cast<int>(session_.Rows().size());
}

int MergeGridTable::GetNumberCols() {
  return kMergeColumnCount;
}

wxString MergeGridTable::GetValue(int row, int col) {
  if (row < 0 || row >= GetNumberRows()) return {};
  const MergeRow& shown = session_.Rows()[static_cast<size_t>(row)];
  if (col < kSideWidth)
    return shown.source < 0 ? wxString() : SideValue(session_.Source()[static_cast<size_t>(shown.source)], col);
  if (col == kActionColumn) return ToWx(Tr(session_.ActionText(static_cast<size_t>(row))));
  if (col >= kTargetFirstColumn)
    return shown.target < 0 ? wxString()
                            : SideValue(session_.Target()[static_cast<size_t>(shown.target)], col - kTargetFirstColumn);
  return {};
}

void MergeGridTable::SetValue(int, int, const wxString&) {}

bool MergeGridTable::IsEmptyCell(int row, int col) {
  return GetValue(row, col).empty();
}

wxString MergeGridTable::GetColLabelValue(int col) {
  return ToWx(Tr(MergeColumnCaption(col + 1)));
}

wxGridCellAttr* MergeGridTable::GetAttr(int row, int col, wxGridCellAttr::wxAttrKind) {
  auto* attr = new wxGridCellAttr;
  if (row < 0 || row >= GetNumberRows()) return attr;
  const auto index = static_cast<size_t>(row);
  attr->SetBackgroundColour(MarkColour(session_.MarkOf(index)));
  bool editable = false;
  if (col == kSourceIdColumn || col == kSourceDescColumn) {
    editable = SourceOf(row).has_value();
  } else if (col == kActionColumn) {
    const std::vector<RowChoice> choices = session_.ChoicesOf(index);
    const std::optional<size_t> source = SourceOf(row);
    editable = !choices.empty() && source && session_.Source()[*source].status != MergeStatus::kSame;
    if (editable) attr->SetEditor(EditorFor(choices));
  }
  // Northing, easting and elevation line up on the decimal point.
  const int field = col < kSideWidth ? col : col - kTargetFirstColumn;
  if ((col < kSideWidth || col >= kTargetFirstColumn) && field >= 1 && field <= 3)
    attr->SetAlignment(wxALIGN_RIGHT, wxALIGN_CENTRE);
  attr->SetReadOnly(!editable);
  return attr;
}

wxGridCellEditor* MergeGridTable::EditorFor(const std::vector<RowChoice>& choices) {
  auto found = editors_.find(choices);
  if (found == editors_.end()) {
    wxArrayString texts;
    for (const RowChoice choice : choices) texts.Add(ToWx(Tr(RowChoiceText(choice))));
    found = editors_.emplace(choices, new wxGridCellChoiceEditor(texts, false)).first;
  }
  found->second->IncRef();  // one reference for the attribute
  return found->second;
}

std::optional<RowChoice> MergeGridTable::ChoiceOf(int row, const wxString& text) const {
  if (row < 0 || static_cast<size_t>(row) >= session_.Rows().size()) return std::nullopt;
  for (const RowChoice choice : session_.ChoicesOf(static_cast<size_t>(row)))
    if (ToWx(Tr(RowChoiceText(choice))) == text) return choice;
  return std::nullopt;
}

std::optional<size_t> MergeGridTable::SourceOf(int row) const {
  if (row < 0 || static_cast<size_t>(row) >= session_.Rows().size()) return std::nullopt;
  const int source = session_.Rows()[static_cast<size_t>(row)].source;
  if (source < 0) return std::nullopt;
  return static_cast<size_t>(source);
}

}  // namespace pelikon
