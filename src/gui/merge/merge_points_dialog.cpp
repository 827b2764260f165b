#include "gui/merge/merge_points_dialog.h"

#include <algorithm>
#include <array>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/grid.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "coord/merge/merge_columns.h"
#include "dialogs/data_folder.h"
#include "dialogs/wx/plain_message_box.h"
#include "dialogs/wx/window_position.h"
#include "dialogs/wx/wx_text.h"
#include "gui/merge/merge_grid_table.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

constexpr const char* kPositionName = "merge_coord";
constexpr int kStatisticsLines = 5;  // "text2" .. "text6"
constexpr int kGap = 4;

class MergePointsDialog final : public wxDialog {
 public:
  MergePointsDialog(wxWindow* parent, MergeSession& session, const std::string& source_name,
                    const std::string& target_name, const MergeWindowHooks& hooks)
      : wxDialog(parent, wxID_ANY, ToWx(Tr("Merge Points Manager")), wxDefaultPosition, wxDefaultSize,
                 wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
        session_(session),
        hooks_(hooks),
        widths_(ReadMergeColumnWidths(DataFolder())) {
    Build(source_name, target_name);
    session_.NextConflict();  // opens on the first undecided point
    Refresh(true);
    if (RestoreWindowPosition(*this, kPositionName) == 0) CentreOnParent();
  }

  // The widths as the dialog leaves them: read back from the grid after
  // OK, as they were read otherwise.
  const MergeColumnWidths& Widths() const { return widths_; }

 private:
  using Handler = void (MergePointsDialog::*)();

  void Build(const std::string& source_name, const std::string& target_name) {
    auto* top = new wxBoxSizer(wxVERTICAL);

    auto* names = new wxBoxSizer(wxHORIZONTAL);
    names->Add(Label(this, "merge_text", StrPrintf(Tr("Source Coordinate File (%s)"), source_name.c_str())), 1,
               wxALIGN_CENTRE_VERTICAL);
    names->Add(Label(this, "dir_text", Tr("====>")), 0, wxALIGN_CENTRE_VERTICAL | wxLEFT | wxRIGHT, 3 * kGap);
    names->Add(Label(this, "orig_text", StrPrintf(Tr("Target Coordinate File (%s)"), target_name.c_str())), 1,
               wxALIGN_CENTRE_VERTICAL);
    top->Add(names, 0, wxEXPAND | wxALL, kGap);

    grid_ = new wxGrid(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS, "spread");
    table_ = new MergeGridTable(session_);
    grid_->SetTable(table_, true, wxGrid::wxGridSelectRows);
    shown_rows_ = table_->GetNumberRows();
    grid_->SetRowLabelSize(grid_->GetCharWidth() * 7);
    grid_->DisableDragRowSize();
    ApplyWidths();
    int grid_width = grid_->GetRowLabelSize() + wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, grid_);
    for (int col = 0; col < kMergeColumnCount; ++col) grid_width += grid_->GetColSize(col);
    grid_->SetMinSize(wxSize(grid_width, grid_->GetCharHeight() * 24));
    top->Add(grid_, 1, wxEXPAND | wxLEFT | wxRIGHT, kGap);

    auto* controls = new wxBoxSizer(wxHORIZONTAL);
    controls->Add(BuildNavigation(), 0, wxEXPAND | wxALL, kGap);
    controls->Add(BuildRangeActions(), 0, wxEXPAND | wxALL, kGap);
    controls->Add(BuildClosing(), 1, wxEXPAND | wxALL, kGap);
    top->Add(controls, 0, wxEXPAND);
    SetSizerAndFit(top);

    grid_->Bind(wxEVT_GRID_CELL_CHANGING, &MergePointsDialog::OnCellChanging, this);
    grid_->Bind(wxEVT_GRID_RANGE_SELECTED, &MergePointsDialog::OnRangeSelected, this);
    SetEscapeId(wxID_CANCEL);
  }

  wxSizer* BuildNavigation() {
    auto* column = new wxBoxSizer(wxVERTICAL);
    include_same_ = new wxCheckBox(this, wxID_ANY, ToWx(Tr("Show Matching Points")), wxDefaultPosition, wxDefaultSize,
                                   0, wxDefaultValidator, "includesame");
    include_same_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
      session_.SetShowMatching(include_same_->GetValue());
      Refresh(true);
    });
    column->Add(include_same_, 0, wxBOTTOM, kGap);
    auto* moves = new wxBoxSizer(wxHORIZONTAL);
    AddButton(this, moves, "next", Tr("Next Conflict"), &MergePointsDialog::OnNext);
    AddButton(this, moves, "prev", Tr("Previous Conflict"), &MergePointsDialog::OnPrevious);
    column->Add(moves);
    auto* views = new wxBoxSizer(wxHORIZONTAL);
    history_ = AddButton(this, views, "history", Tr("History"), &MergePointsDialog::OnHistory);
    report_ = AddButton(this, views, "report", Tr("Report"), &MergePointsDialog::OnReport);
    column->Add(views);

    auto* stats = Group("stats", Tr("Current Merge Status"));
    wxWindow* box = stats->GetStaticBox();
    current_text_ = Label(box, "text1", "");
    stats->Add(current_text_, 0, wxEXPAND | wxALL, 2);
    for (int line = 0; line < kStatisticsLines; ++line) {
      statistics_[static_cast<size_t>(line)] = Label(box, StrPrintf("text%d", line + 2), "");
      stats->Add(statistics_[static_cast<size_t>(line)], 0, wxEXPAND | wxLEFT | wxRIGHT, 2);
    }
    column->Add(stats, 1, wxEXPAND | wxTOP, kGap);
    return column;
  }

  wxSizer* BuildRangeActions() {
    auto* column = new wxBoxSizer(wxVERTICAL);
    whole_range_ = new wxCheckBox(this, wxID_ANY, ToWx(Tr("Include entire Point Range when renumbering")),
                                  wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, "treat_same");
    whole_range_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
      session_.SetWholeRange(whole_range_->GetValue());
      UpdateEnabling();
    });
    column->Add(whole_range_, 0, wxBOTTOM, kGap);

    auto* range = new wxBoxSizer(wxHORIZONTAL);
    range->Add(Label(this, "range_txt", Tr("Point Range")), 0, wxALIGN_CENTRE_VERTICAL | wxRIGHT, kGap);
    range_ = new wxTextCtrl(this, wxID_ANY, "", wxDefaultPosition, wxSize(GetCharWidth() * 20, -1), 0,
                            wxDefaultValidator, "range");
    range_->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnRangeTyped(); });
    range->Add(range_, 1, wxALIGN_CENTRE_VERTICAL);
    AddButton(this, range, "all", Tr("ALL"), &MergePointsDialog::OnAll);
    column->Add(range, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* conflicting = Group("all1", Tr("Conflicting Points"));
    wxWindow* box = conflicting->GetStaticBox();
    conflict_buttons_ = {
        AddButton(box, conflicting, "accept_all", Tr("Overwrite"), &MergePointsDialog::OnOverwrite),
        AddButton(box, conflicting, "skip_all_dup", Tr("Skip"), &MergePointsDialog::OnSkipConflicts),
        AddButton(box, conflicting, "renumber_all", Tr("Renumber"), &MergePointsDialog::OnRenumber),
    };
    column->Add(conflicting, 0, wxEXPAND | wxBOTTOM, kGap);

    auto* renumber = Group("cola", Tr("Renumber Point #"));
    box = renumber->GetStaticBox();
    next_available_ = new wxRadioButton(box, wxID_ANY, ToWx(Tr("Next Available")), wxDefaultPosition, wxDefaultSize,
                                        wxRB_GROUP, wxDefaultValidator, "next_avail");
    end_of_file_ = new wxRadioButton(box, wxID_ANY, ToWx(Tr("End Of File ")), wxDefaultPosition, wxDefaultSize, 0,
                                     wxDefaultValidator, "at_end");
    starting_at_ = new wxRadioButton(box, wxID_ANY, ToWx(Tr("Starting At Point #")), wxDefaultPosition, wxDefaultSize,
                                     0, wxDefaultValidator, "at_point");
    start_ = new wxTextCtrl(box, wxID_ANY, "", wxDefaultPosition, wxSize(GetCharWidth() * 10, -1), 0,
                            wxDefaultValidator, "renumber");
    next_available_->SetValue(true);
    renumber->Add(next_available_, 0, wxALL, 2);
    renumber->Add(end_of_file_, 0, wxALL, 2);
    auto* at = new wxBoxSizer(wxHORIZONTAL);
    at->Add(starting_at_, 0, wxALIGN_CENTRE_VERTICAL | wxRIGHT, kGap);
    at->Add(start_, 0, wxALIGN_CENTRE_VERTICAL);
    renumber->Add(at, 0, wxALL, 2);
    column->Add(renumber, 0, wxEXPAND);
    return column;
  }

  wxSizer* BuildClosing() {
    auto* column = new wxBoxSizer(wxVERTICAL);
    auto* missing = Group("all2", Tr("Non-Conflicting Points"));
    wxWindow* box = missing->GetStaticBox();
    missing_buttons_ = {
        AddButton(box, missing, "accept_all_new", Tr("Store"), &MergePointsDialog::OnStoreMissing),
        AddButton(box, missing, "skip_all_miss", Tr("Skip"), &MergePointsDialog::OnSkipMissing),
    };
    column->Add(missing, 0, wxEXPAND);
    column->AddStretchSpacer();
    AddButton(this, column, "ok", Tr("OK"), &MergePointsDialog::OnOk, wxID_OK);
    AddButton(this, column, "exit", Tr("Cancel"), nullptr, wxID_CANCEL);
    AddButton(this, column, "undo", Tr("Reset"), &MergePointsDialog::OnReset);
    return column;
  }

  wxStaticText* Label(wxWindow* parent, const std::string& name, const std::string& text) {
    return new wxStaticText(parent, wxID_ANY, ToWx(text), wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE,
                            ToWx(name));
  }

  wxStaticBoxSizer* Group(const char* name, const std::string& caption) {
    auto* box = new wxStaticBox(this, wxID_ANY, ToWx(caption), wxDefaultPosition, wxDefaultSize, 0, name);
    auto* group = new wxStaticBoxSizer(box, wxVERTICAL);
    // Wide enough for its caption, whatever it holds.
    group->SetMinSize(wxSize(box->GetTextExtent(box->GetLabel()).x + 6 * kGap, -1));
    return group;
  }

  // A button in `sizer`; without a handler it keeps the dialog's own
  // meaning of its id (Cancel ends the dialog).
  wxButton* AddButton(wxWindow* parent, wxSizer* sizer, const char* name, const std::string& caption, Handler handler,
                      wxWindowID id = wxID_ANY) {
    auto* button =
        new wxButton(parent, id, ToWx(caption), wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, name);
    if (handler != nullptr) button->Bind(wxEVT_BUTTON, [this, handler](wxCommandEvent&) { (this->*handler)(); });
    sizer->Add(button, 0, wxEXPAND | wxALL, 2);
    return button;
  }

  // ---- Showing the session -------------------------------------------------

  void ApplyWidths() {
    const int char_width = grid_->GetCharWidth();
    for (int col = 0; col < kMergeColumnCount; ++col)
      grid_->SetColSize(col, widths_[static_cast<size_t>(col)] * char_width);
  }

  MergeColumnWidths ReadWidths() const {
    const int char_width = std::max(1, grid_->GetCharWidth());
    MergeColumnWidths widths{};
    for (int col = 0; col < kMergeColumnCount; ++col)
      widths[static_cast<size_t>(col)] = std::max(1, (grid_->GetColSize(col) + char_width / 2) / char_width);
    return widths;
  }

  // Everything the session shows, after any change to it; with
  // `go_to_current` the current point's row is selected and scrolled to.
  void Refresh(bool go_to_current) {
    grid_->BeginBatch();
    const int rows = table_->GetNumberRows();
    if (rows > shown_rows_) {
      wxGridTableMessage appended(table_, wxGRIDTABLE_NOTIFY_ROWS_APPENDED, rows - shown_rows_);
      grid_->ProcessTableMessage(appended);
    } else if (rows < shown_rows_) {
      wxGridTableMessage deleted(table_, wxGRIDTABLE_NOTIFY_ROWS_DELETED, rows, shown_rows_ - rows);
      grid_->ProcessTableMessage(deleted);
    }
    shown_rows_ = rows;
    if (go_to_current) SelectCurrent();
    grid_->EndBatch();
    grid_->ForceRefresh();
    range_->ChangeValue(ToWx(session_.Range()));
    UpdateTexts();
    UpdateEnabling();
  }

  void SelectCurrent() {
    const std::optional<size_t> current = session_.Current();
    const int row = current ? session_.Source()[*current].row - 1 : -1;
    selecting_ = true;
    grid_->ClearSelection();
    if (row >= 0 && row < shown_rows_) {
      grid_->GoToCell(row, 0);
      grid_->SelectRow(row);
    }
    selecting_ = false;
  }

  void UpdateTexts() {
    current_text_->SetLabel(ToWx(session_.CurrentText()));
    const std::vector<std::string> lines = session_.StatisticsText();
    for (size_t line = 0; line < statistics_.size(); ++line)
      statistics_[line]->SetLabel(line < lines.size() ? ToWx(lines[line]) : wxString());
  }

  void UpdateEnabling() {
    const bool conflicts = session_.ConflictActionsEnabled();
    for (wxButton* button : conflict_buttons_) button->Enable(conflicts);
    for (wxWindow* choice : std::array<wxWindow*, 4>{next_available_, end_of_file_, starting_at_, start_})
      choice->Enable(conflicts);
    const bool missing = session_.MissingActionsEnabled();
    for (wxButton* button : missing_buttons_) button->Enable(missing);
    history_->Enable(hooks_.show_history && session_.Current().has_value());
    report_->Enable(static_cast<bool>(hooks_.report));
  }

  // ---- Grid ----------------------------------------------------------------

  // Edits go to the session; the table then shows its outcome (a refused
  // identifier thus reverts). The change is applied once the editor has
  // closed, since it may change the rows under it.
  void OnCellChanging(wxGridEvent& event) {
    const int row = event.GetRow();
    const int col = event.GetCol();
    const wxString text = event.GetString();
    event.Veto();
    CallAfter([this, row, col, text] { ApplyEdit(row, col, text); });
  }

  void ApplyEdit(int row, int col, const wxString& text) {
    if (col == kActionColumn) {
      const std::optional<RowChoice> choice = table_->ChoiceOf(row, text);
      if (!choice) return;
      if (!session_.Choose(static_cast<size_t>(row), *choice) &&
          (*choice == RowChoice::kRenumberNext || *choice == RowChoice::kRenumberEnd))
        ShowPlainMessageBox(this, Tr("No free Point Number is left for renumbering"));
    } else if (const std::optional<size_t> source = table_->SourceOf(row)) {
      if (col == kSourceIdColumn) {
        if (!session_.RenamePoint(*source, FromWx(text))) ShowPlainMessageBox(this, Tr(kIdInUseText));
      } else if (col == kSourceDescColumn) {
        session_.SetDescription(*source, FromWx(text));
      }
    }
    Refresh(true);
  }

  void OnRangeSelected(wxGridRangeSelectEvent& event) {
    event.Skip();
    if (selecting_ || !event.Selecting()) return;
    // Once the whole gesture (a drag, a shift-click) has landed.
    CallAfter([this] {
      const wxArrayInt selected = grid_->GetSelectedRows();
      std::vector<size_t> rows;
      for (const int row : selected)
        if (row >= 0) rows.push_back(static_cast<size_t>(row));
      if (rows.empty()) return;
      std::sort(rows.begin(), rows.end());
      session_.SelectRows(rows);
      range_->ChangeValue(ToWx(session_.Range()));
      UpdateTexts();
      UpdateEnabling();
    });
  }

  // The typed range selects the rows it holds.
  void OnRangeTyped() {
    session_.SetRange(FromWx(range_->GetValue()));
    selecting_ = true;
    grid_->BeginBatch();
    grid_->ClearSelection();
    const std::vector<size_t> rows = session_.RowsInRange();
    // Runs of neighbouring rows as one block each.
    for (size_t first = 0; first < rows.size();) {
      size_t last = first;
      while (last + 1 < rows.size() && rows[last + 1] == rows[last] + 1) ++last;
      grid_->SelectBlock(static_cast<int>(rows[first]), 0, static_cast<int>(rows[last]), kMergeColumnCount - 1, true);
      first = last + 1;
    }
    grid_->EndBatch();
    selecting_ = false;
    UpdateEnabling();
  }

  // ---- Buttons -------------------------------------------------------------

  void OnNext() {
    session_.NextConflict();
    Refresh(true);
  }

  void OnPrevious() {
    if (!session_.PreviousConflict()) {
      ShowPlainMessageBox(this, Tr(kNoPreviousConflictText));
      return;
    }
    Refresh(true);
  }

  void OnHistory() {
    const std::optional<size_t> current = session_.Current();
    if (current && hooks_.show_history) hooks_.show_history(session_.Source()[*current].orig_id);
  }

  void OnReport() {
    if (hooks_.report) hooks_.report();
  }

  void OnAll() {
    session_.SetRangeAll();
    range_->ChangeValue(ToWx(session_.Range()));
    selecting_ = true;
    grid_->ClearSelection();
    selecting_ = false;
    UpdateEnabling();
  }

  void OnOverwrite() {
    Bulk([this] { session_.Overwrite(); });
  }
  void OnSkipConflicts() {
    Bulk([this] { session_.SkipConflicts(); });
  }
  void OnStoreMissing() {
    Bulk([this] { session_.StoreMissing(); });
  }
  void OnSkipMissing() {
    Bulk([this] { session_.SkipMissing(); });
  }
  void OnReset() {
    Bulk([this] { session_.Reset(); });
  }

  void OnRenumber() {
    RenumberFrom from = RenumberFrom::kNextAvailable;
    if (end_of_file_->GetValue()) from = RenumberFrom::kEndOfFile;
    if (starting_at_->GetValue()) from = RenumberFrom::kStartingAt;
    const std::string start = FromWx(start_->GetValue());
    if (session_.Renumber(from, start) < 0) {
      ShowPlainMessageBox(this, Tr("No free Point Number is left for renumbering"));
      return;
    }
    Refresh(true);
  }

  template <typename Action>
  void Bulk(Action action) {
    action();
    Refresh(true);
  }

  void OnOk() {
    const int conflicts = session_.Counts().unresolved_conflicts;
    if (conflicts > 0) {
      const std::string question = StrPrintf(Tr("There are %d conflict points remaining.\n"
                                                "Click 'Yes' to accept only resolved points and exit.\n"
                                                "Click 'No' to go back and fix remaining conflicts."),
                                             conflicts);
      wxMessageDialog box(this, ToWx(question), ToWx(Tr("Confirm Exit")), wxYES_NO | wxICON_WARNING | wxCENTRE);
      if (box.ShowModal() != wxID_YES) return;
    }
    widths_ = ReadWidths();
    SaveWindowPosition(*this, kPositionName);
    EndModal(wxID_OK);
  }

  MergeSession& session_;
  const MergeWindowHooks& hooks_;
  MergeColumnWidths widths_;
  wxGrid* grid_ = nullptr;
  MergeGridTable* table_ = nullptr;  // owned by the grid
  int shown_rows_ = 0;
  bool selecting_ = false;  // the window itself is changing the grid's selection
  wxCheckBox* include_same_ = nullptr;
  wxCheckBox* whole_range_ = nullptr;
  wxTextCtrl* range_ = nullptr;
  wxButton* history_ = nullptr;
  wxButton* report_ = nullptr;
  std::vector<wxButton*> conflict_buttons_;
  std::vector<wxButton*> missing_buttons_;
  wxRadioButton* next_available_ = nullptr;
  wxRadioButton* end_of_file_ = nullptr;
  wxRadioButton* starting_at_ = nullptr;
  wxTextCtrl* start_ = nullptr;
  wxStaticText* current_text_ = nullptr;
  std::array<wxStaticText*, kStatisticsLines> statistics_{};
};

}  // namespace

int RunMergePointsDialog(wxWindow* parent, MergeSession& session, const std::string& source_name,
                         const std::string& target_name, const MergeWindowHooks& hooks) {
  MergePointsDialog dialog(parent, session, source_name, target_name, hooks);
  const int answer = dialog.ShowModal();
  // The record goes back in any case: a damaged or missing one is mended.
  WriteMergeColumnWidths(DataFolder(), dialog.Widths());
  return answer == wxID_OK ? 1 : 0;
}

}  // namespace pelikon
