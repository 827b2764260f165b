// "Report Viewer Options": the viewer's page and font settings. Leaving it
// with "Exit" keeps what was chosen in the settings given (the viewer
// then writes "rview.ini" and applies the editor font).
#pragma once

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dialog.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>

#include "report/viewer/viewer_settings.h"

namespace pelikon {

class ViewerOptionsDialog : public wxDialog {
 public:
  ViewerOptionsDialog(wxWindow* parent, ViewerSettings& settings);

  // The controls, by what they set.
  wxCheckBox* PrintFormat() const { return print_format_; }
  wxCheckBox* DegreeSymbols() const { return degree_symbols_; }
  wxCheckBox* PageNumbers() const { return page_numbers_; }
  wxSpinCtrl* LinesPerPage() const { return lines_per_page_; }
  wxButton* PrinterFontButton() const { return printer_font_button_; }
  wxButton* EditorFontButton() const { return editor_font_button_; }
  wxStaticText* EditorFontLabel() const { return editor_font_; }
  wxStaticText* PrinterFontLabel() const { return printer_font_; }

  bool TransferDataFromWindow() override;

 private:
  void ShowFonts();
  void PickFont(bool printer);

  ViewerSettings& settings_;
  wxCheckBox* print_format_;
  wxCheckBox* degree_symbols_;
  wxCheckBox* page_numbers_;
  wxSpinCtrl* lines_per_page_;
  wxSpinCtrl* left_margin_;
  wxSpinCtrl* top_margin_;
  wxSpinCtrl* bottom_margin_;
  wxButton* printer_font_button_;
  wxButton* editor_font_button_;
  wxStaticText* editor_font_;
  wxStaticText* printer_font_;
};

}  // namespace pelikon
