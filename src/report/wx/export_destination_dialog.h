// "Data Destination Selection": where the formatter's report goes as a
// table — a delimited text file with a separator of the user's choice, a
// tab-separated text file, the record XML file, an SQLite database file or
// an ODBC data source — and, for the text files, whether the text lines
// and totals go with it. OK builds the table and exports it: on success the
// user is told so and the dialog closes; a failure is shown and the
// dialog stays open for another try. Cancel leaves without exporting.
//
// Controls are named for what they hold: "csv", "tsv", "xml", "sqlite",
// "odbc" (the choices), "separator", "file", "browse", "connection",
// "table_name", "include_text", "include_totals".
#pragma once

#include <array>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/dialog.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "report/export/export_destination.h"
#include "report/formatter.h"

namespace pelikon {

class ExportDestinationDialog : public wxDialog {
 public:
  ExportDestinationDialog(wxWindow* parent, Formatter& formatter);

  // The destination as the controls say.
  ExportDestination Destination() const;

 private:
  ExportKind Kind() const;
  void UpdateEnabling();
  void Browse();
  void Export();

  Formatter& formatter_;
  std::array<wxRadioButton*, 5> kinds_;  // in the order of ExportKind
  wxComboBox* separator_;
  wxTextCtrl* file_;
  wxButton* browse_;
  wxTextCtrl* connection_;
  wxTextCtrl* table_name_;
  wxCheckBox* include_text_;
  wxCheckBox* include_totals_;
};

// Runs "Data Destination Selection" over `parent` until it is left.
void RunDataExport(wxWindow* parent, Formatter& formatter);

}  // namespace pelikon
