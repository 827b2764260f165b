// Printing only the selection: the print dialog offers "Selection", and
// the printout learns, as printing starts, whether the user chose it. The
// toolkit's dialogs take the offer from wxPrintDialogData; GTK's own
// dialog, which the toolkit does not tell, is told while it opens.
#pragma once

#include <wx/modalhook.h>
#include <wx/print.h>

namespace pelikon {

class PrintSelectionOffer final : public wxModalDialogHook {
 public:
  // Marks `data`, the dialog data the printer is to be made from, as
  // offering the selection. Keep the offer while the printer runs.
  explicit PrintSelectionOffer(wxPrintDialogData& data);
  ~PrintSelectionOffer() override;
  PrintSelectionOffer(const PrintSelectionOffer&) = delete;
  PrintSelectionOffer& operator=(const PrintSelectionOffer&) = delete;

  // Whether the user asked `printer` for the selection; valid from the
  // moment it starts printing.
  static bool Chosen(wxPrinter& printer);

 protected:
  int Enter(wxDialog* dialog) override;
};

}  // namespace pelikon
