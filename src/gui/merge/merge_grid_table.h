// The merge grid's table: twelve text columns read straight from a
// MergeSession's rows whenever the grid draws, so a list of any length
// opens at once. Cell attributes (the row's mark colour, read-only
// state, the action combo with the row's own choices) are made on demand.
#pragma once

#include <map>
#include <optional>
#include <vector>

#include <wx/grid.h>

#include "coord/merge/merge_session.h"

namespace pelikon {

class MergeGridTable final : public wxGridTableBase {
 public:
  explicit MergeGridTable(const MergeSession& session);
  ~MergeGridTable() override;

  int GetNumberRows() override;
  int GetNumberCols() override;
  wxString GetValue(int row, int col) override;
  // Edits never land in the table: the window takes them from the grid's
  // change events into the session, and the table shows the outcome.
  void SetValue(int row, int col, const wxString& value) override;
  bool IsEmptyCell(int row, int col) override;
  wxString GetColLabelValue(int col) override;
  bool CanHaveAttributes() override { return true; }
  wxGridCellAttr* GetAttr(int row, int col, wxGridCellAttr::wxAttrKind kind) override;

  // The choice of row `row` whose caption (as shown) is `text`, if any.
  std::optional<RowChoice> ChoiceOf(int row, const wxString& text) const;
  // The source point of a row, if it has one.
  std::optional<size_t> SourceOf(int row) const;

 private:
  wxGridCellEditor* EditorFor(const std::vector<RowChoice>& choices);

  const MergeSession& session_;
  // One combo editor per set of choices, shared by every row offering it.
  std::map<std::vector<RowChoice>, wxGridCellEditor*> editors_;
};

// The grid columns (0-based) that the window edits.
inline constexpr int kSourceIdColumn = 0;
inline constexpr int kSourceDescColumn = 4;
inline constexpr int kActionColumn = 6;

}  // namespace pelikon
