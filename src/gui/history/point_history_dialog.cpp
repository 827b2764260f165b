#include "gui/history/point_history_dialog.h"

#include <wx/listctrl.h>

#include "coord/history/history_rows.h"
#include "dialogs/wx/ez_dialog.h"
#include "dialogs/wx/plain_message_box.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

constexpr const char* kCaption = N_("CRD History Utilities");
constexpr int kListWidth = 100;
constexpr int kListLines = 12;

void FillList(wxListCtrl& list, const std::vector<PointHistoryRow>& rows) {
  static constexpr const char* kColumns[] = {N_("Command"), N_("Description"), N_("North"), N_("East"),
                                             N_("Elev."),   N_("Info"),        N_("Date")};
  int column = 0;
  for (const char* heading : kColumns) list.InsertColumn(column++, ToWx(Tr(heading)));
  for (size_t i = 0; i < rows.size(); ++i) {
    const PointHistoryRow& row = rows[i];
    const long item = list.InsertItem(static_cast<long>(i), ToWx(row.command));
    int field = 1;
    for (const std::string* text : {&row.description, &row.north, &row.east, &row.elevation, &row.info, &row.date})
      list.SetItem(item, field++, ToWx(*text));
    // Rows keep their entry when the user sorts them by a heading.
    list.SetItemData(item, static_cast<long>(i));
  }
  for (int i = 0; i < column; ++i) list.SetColumnWidth(i, wxLIST_AUTOSIZE_USEHEADER);
}

}  // namespace

int ShowPointHistory(const std::string& identifier, CrdFile& file, const HistoryList& entries, wxWindow* parent,
                     bool allow_undo) {
  const std::vector<PointHistoryRow> rows = PointHistoryRows(entries, identifier);
  EZDialog form;
  FormFrame frame;
  frame.title = std::string(Tr("Point History for Point ")) + "\"" + identifier + "\"";
  if (!form.Create(parent, frame)) return 0;

  int changed = 0;
  const TileCallback on_undo = [&](PopDialog& host, const std::string&, int) {
    auto* list = dynamic_cast<wxListCtrl*>(form.FindControl("TransactionList"));
    const long item = list ? list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED) : -1;
    if (item < 0) {
      ShowMessageBox(&host, Tr("Nothing selected!"), Tr(kCaption), true);
      return;
    }
    const std::string question = std::string(Tr("Are you sure you want to undo all of the changes\n")) +
                                 Tr("to this point, from the most recent down through\n") +
                                 Tr("to the selected row? If you click OK, the crd file\n") +
                                 Tr("will be updated so that this point will have the\n") +
                                 Tr("values shown on the row above the selected row.");
    if (!AskOkCancel(&host, question, Tr(kCaption))) return;
    const PointHistoryRow& row = rows.at(static_cast<size_t>(list->GetItemData(item)));
    if (UndoHistory(file, entries, row.time, identifier) != 1) {
      ShowMessageBox(&host, Tr("The point could not be put back; the CRD file may be in use."), Tr(kCaption), true);
      return;
    }
    changed = 1;
    form.End(1);
  };

  form.AddTile("TransactionList", TileType::kListView, kListWidth, "", TileOptions{.height = kListLines});
  if (auto* list = dynamic_cast<wxListCtrl*>(form.FindControl("TransactionList"))) FillList(*list, rows);
  form.RowBreak();
  if (allow_undo) form.AddButton("undo", 20, Tr("&Undo thru Selected"), on_undo);
  form.AddButton("close", 10, Tr("&Close"), [&](PopDialog&, const std::string&, int) { form.End(0); });
  form.SetAccelerator("close", kEscapeAccelerator);
  form.SetFirstFocus("TransactionList");
  form.LayOutAndShow(false, true);
  form.RunModal();
  return changed;
}

}  // namespace pelikon
