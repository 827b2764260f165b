#include "report/wx/export_destination_dialog.h"

#include <wx/filedlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "dialogs/wx/plain_message_box.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"

namespace pelikon {

namespace {

constexpr std::array<ExportKind, 5> kKinds = {ExportKind::kDelimited, ExportKind::kTabText, ExportKind::kRecordXml,
                                              ExportKind::kSqlite, ExportKind::kOdbc};

// The file picker's choice of files for a kind that writes one.
const char* Wildcard(ExportKind kind) {
  switch (kind) {
    case ExportKind::kDelimited:
      return N_("CSV files (*.csv)|*.csv|All files (*)|*");
    case ExportKind::kTabText:
      return N_("Text files (*.txt)|*.txt|All files (*)|*");
    case ExportKind::kRecordXml:
      return N_("XML files (*.xml)|*.xml|All files (*)|*");
    case ExportKind::kSqlite:
      return N_("SQLite databases (*.db;*.sqlite)|*.db;*.sqlite|All files (*)|*");
    case ExportKind::kOdbc:
      break;
  }
  return N_("All files (*)|*");
}

wxStaticText* Label(wxWindow* parent, const char* text) {
  return new wxStaticText(parent, wxID_ANY, ToWx(Tr(text)));
}

wxTextCtrl* Edit(wxWindow* parent, const char* name, const wxString& value = {}) {
  return new wxTextCtrl(parent, wxID_ANY, value, wxDefaultPosition, wxDefaultSize, 0, wxDefaultValidator, name);
}

}  // namespace

ExportDestinationDialog::ExportDestinationDialog(wxWindow* parent, Formatter& formatter)
    : wxDialog(parent, wxID_ANY, ToWx(Tr("Data Destination Selection"))), formatter_(formatter) {
  const char* const labels[] = {N_("Comma separated values (CSV)"), N_("Tab-separated text"), N_("XML records"),
                                N_("SQLite database file"), N_("ODBC data source")};
  const char* const names[] = {"csv", "tsv", "xml", "sqlite", "odbc"};
  for (size_t i = 0; i < kinds_.size(); ++i) {
    kinds_[i] = new wxRadioButton(this, wxID_ANY, ToWx(Tr(labels[i])), wxDefaultPosition, wxDefaultSize,
                                  i == 0 ? wxRB_GROUP : 0, wxDefaultValidator, names[i]);
    kinds_[i]->Bind(wxEVT_RADIOBUTTON, [this](wxCommandEvent&) { UpdateEnabling(); });
  }
  const wxString separators[] = {",", ";"};
  separator_ = new wxComboBox(this, wxID_ANY, ",", wxDefaultPosition, wxSize(FromDIP(60), -1), 2, separators,
                              wxCB_DROPDOWN, wxDefaultValidator, "separator");
  file_ = Edit(this, "file");
  browse_ = new wxButton(this, wxID_ANY, ToWx(Tr("&Browse...")), wxDefaultPosition, wxDefaultSize, 0,
                         wxDefaultValidator, "browse");
  connection_ = Edit(this, "connection");
  connection_->SetHint(ToWx(Tr("DSN or connection string")));
  table_name_ = Edit(this, "table_name", "report");
  include_text_ = new wxCheckBox(this, wxID_ANY, ToWx(Tr("&Include Text Lines")), wxDefaultPosition, wxDefaultSize, 0,
                                 wxDefaultValidator, "include_text");
  include_totals_ = new wxCheckBox(this, wxID_ANY, ToWx(Tr("&Include Totals")), wxDefaultPosition, wxDefaultSize, 0,
                                   wxDefaultValidator, "include_totals");

  const int gap = FromDIP(6);
  auto* choices = new wxBoxSizer(wxVERTICAL);
  auto* csv = new wxBoxSizer(wxHORIZONTAL);
  csv->Add(kinds_[0], wxSizerFlags().CentreVertical());
  csv->AddSpacer(2 * gap);
  csv->Add(Label(this, N_("Separator:")), wxSizerFlags().CentreVertical().Border(wxRIGHT, gap));
  csv->Add(separator_, wxSizerFlags().CentreVertical());
  choices->Add(csv, wxSizerFlags().Border(wxBOTTOM, gap / 2));
  for (size_t i = 1; i < kinds_.size(); ++i) choices->Add(kinds_[i], wxSizerFlags().Border(wxBOTTOM, gap / 2));

  auto* fields = new wxFlexGridSizer(3, gap, gap);
  fields->AddGrowableCol(1);
  fields->Add(Label(this, N_("File:")), wxSizerFlags().CentreVertical());
  fields->Add(file_, wxSizerFlags().Expand().CentreVertical());
  fields->Add(browse_, wxSizerFlags().CentreVertical());
  fields->Add(Label(this, N_("Data source:")), wxSizerFlags().CentreVertical());
  fields->Add(connection_, wxSizerFlags().Expand().CentreVertical());
  fields->AddSpacer(0);
  fields->Add(Label(this, N_("Table name:")), wxSizerFlags().CentreVertical());
  fields->Add(table_name_, wxSizerFlags().Expand().CentreVertical());
  fields->AddSpacer(0);

  auto* includes = new wxBoxSizer(wxHORIZONTAL);
  includes->Add(include_text_, wxSizerFlags().Border(wxRIGHT, 2 * gap));
  includes->Add(include_totals_);

  auto* outer = new wxBoxSizer(wxVERTICAL);
  outer->Add(choices, wxSizerFlags().Border(wxALL, 2 * gap));
  outer->Add(fields, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT, 2 * gap));
  outer->Add(includes, wxSizerFlags().Border(wxALL, 2 * gap));
  outer->Add(CreateStdDialogButtonSizer(wxOK | wxCANCEL), wxSizerFlags().Expand().Border(wxALL, 2 * gap));
  SetSizer(outer);
  file_->SetMinSize(wxSize(FromDIP(320), -1));
  Fit();
  CentreOnParent();

  browse_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Browse(); });
  Bind(
      wxEVT_BUTTON, [this](wxCommandEvent&) { Export(); }, wxID_OK);
  UpdateEnabling();
}

ExportKind ExportDestinationDialog::Kind() const {
  for (size_t i = 0; i < kinds_.size(); ++i)
    if (kinds_[i]->GetValue()) return kKinds[i];
  return ExportKind::kDelimited;
}

ExportDestination ExportDestinationDialog::Destination() const {
  ExportDestination destination;
  destination.kind = Kind();
  destination.separator = FromWx(separator_->GetValue());
  destination.file = FromWx(file_->GetValue());
  destination.connection = FromWx(connection_->GetValue());
  destination.table_name = FromWx(table_name_->GetValue());
  const bool rows_of_text = ExportTakesTextAndTotals(destination.kind);
  destination.options.include_text = rows_of_text && include_text_->GetValue();
  destination.options.include_totals = rows_of_text && include_totals_->GetValue();
  return destination;
}

void ExportDestinationDialog::UpdateEnabling() {
  const ExportKind kind = Kind();
  separator_->Enable(kind == ExportKind::kDelimited);
  file_->Enable(ExportWritesFile(kind));
  browse_->Enable(ExportWritesFile(kind));
  connection_->Enable(kind == ExportKind::kOdbc);
  table_name_->Enable(kind == ExportKind::kSqlite || kind == ExportKind::kOdbc);
  include_text_->Enable(ExportTakesTextAndTotals(kind));
  include_totals_->Enable(ExportTakesTextAndTotals(kind));
}

void ExportDestinationDialog::Browse() {
  const ExportKind kind = Kind();
  const wxString current = file_->GetValue();
  // An SQLite file keeps its other tables: choosing it replaces nothing yet.
  const long style = wxFD_SAVE | (kind == ExportKind::kSqlite ? 0 : wxFD_OVERWRITE_PROMPT);
  wxFileDialog picker(this, ToWx(Tr("Data Destination File")), wxString(), current, ToWx(Tr(Wildcard(kind))), style);
  if (picker.ShowModal() == wxID_OK) file_->SetValue(picker.GetPath());
}

void ExportDestinationDialog::Export() {
  const ExportDestination destination = Destination();
  ReportTable table;
  if (!formatter_.BuildTable(destination.options.include_text, destination.options.include_totals, table)) return;
  const TableExportResult result = ExportTable(table, destination);
  if (!result.ok) {
    ShowMessageBox(this, result.error, Tr("Data Destination Selection"), true);
    return;
  }
  ShowMessageBox(this, Tr("Export completed."), Tr("Data Destination Selection"), false);
  EndModal(wxID_OK);
}

void RunDataExport(wxWindow* parent, Formatter& formatter) {
  ExportDestinationDialog dialog(parent, formatter);
  dialog.ShowModal();
}

}  // namespace pelikon
