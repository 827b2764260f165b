// The "Report Formatter Options" window: the user moves the report's
// fields between the available and the used list, orders them and gives
// each its sort mode, sets the layout options, keeps all of it as named
// formats, and sends the report on — shown as text, as a spreadsheet, into
// an Excel workbook, to a text export or a database, saved or merged with
// a saved one. Three tabs ("Report", "MS Excel", "Import/Export") hold the
// ways out; the lists and options stay in view on every tab.
//
// Every action works on the formatter it is given; its messages go through
// the formatter's port. The window stays open until "&Exit" (or Escape).
#pragma once

#include "report/wx/file_picker.h"

class wxWindow;

namespace pelikon {

class Formatter;
class EZDialog;

// Tab pages of the window.
enum FormatterPage : int { kReportPage = 0, kExcelPage = 1, kImportExportPage = 2 };

// Runs the window over `parent` until the user leaves it; the options
// shown last stay in the formatter. `pick` chooses files (the desktop's
// dialog when empty).
void RunFormatterDialog(wxWindow* parent, Formatter& formatter, ReportFilePicker pick = {});

}  // namespace pelikon
