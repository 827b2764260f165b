#include "report/wx/viewer_options_dialog.h"

#include <wx/fontdlg.h>
#include <wx/sizer.h>

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

wxSpinCtrl* Number(wxWindow* parent, int value, int lowest, int highest) {
  return new wxSpinCtrl(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxSP_ARROW_KEYS, lowest,
                        highest, value);
}

}  // namespace

ViewerOptionsDialog::ViewerOptionsDialog(wxWindow* parent, ViewerSettings& settings)
    : wxDialog(parent, wxID_ANY, ToWx(Tr("Report Viewer Options"))),
      settings_(settings),
      print_format_(new wxCheckBox(this, wxID_ANY, ToWx(Tr("Use print settings")))),
      degree_symbols_(new wxCheckBox(this, wxID_ANY, ToWx(Tr("Use degree symbols")))),
      page_numbers_(new wxCheckBox(this, wxID_ANY, ToWx(Tr("Use page numbers")))),
      lines_per_page_(Number(this, settings.lines_per_page, 1, 1000)),
      left_margin_(Number(this, settings.left_margin, 0, 200)),
      top_margin_(Number(this, settings.top_margin, 0, 200)),
      bottom_margin_(Number(this, settings.bottom_margin, 0, 200)),
      printer_font_button_(new wxButton(this, wxID_ANY, ToWx(Tr("&Select Font")))),
      editor_font_button_(new wxButton(this, wxID_ANY, ToWx(Tr("Editor &Font")))),
      editor_font_(new wxStaticText(this, wxID_ANY, wxString())),
      printer_font_(new wxStaticText(this, wxID_ANY, wxString())) {
  print_format_->SetValue(settings.print_format);
  degree_symbols_->SetValue(settings.degree_symbols);
  page_numbers_->SetValue(settings.page_numbers);
  auto* numbers = new wxFlexGridSizer(2, FromDIP(6), FromDIP(8));
  const auto add = [&](const char* label, wxWindow* control) {
    numbers->Add(new wxStaticText(this, wxID_ANY, ToWx(Tr(label))), wxSizerFlags().CentreVertical());
    numbers->Add(control);
  };
  add("Lines/Page", lines_per_page_);
  add("Left margin", left_margin_);
  add("Top margin", top_margin_);
  add("Bottom margin", bottom_margin_);
  auto* fonts = new wxFlexGridSizer(2, FromDIP(6), FromDIP(8));
  fonts->Add(printer_font_button_);
  fonts->Add(printer_font_, wxSizerFlags().CentreVertical());
  fonts->Add(editor_font_button_);
  fonts->Add(editor_font_, wxSizerFlags().CentreVertical());
  auto* column = new wxBoxSizer(wxVERTICAL);
  for (wxWindow* box : {static_cast<wxWindow*>(print_format_), static_cast<wxWindow*>(degree_symbols_),
                        static_cast<wxWindow*>(page_numbers_)})
    column->Add(box, wxSizerFlags().Border(wxBOTTOM, FromDIP(4)));
  column->Add(numbers, wxSizerFlags().Border(wxTOP | wxBOTTOM, FromDIP(6)));
  column->Add(fonts, wxSizerFlags().Border(wxBOTTOM, FromDIP(8)));
  column->Add(new wxButton(this, wxID_OK, ToWx(Tr("E&xit"))), wxSizerFlags().Right());
  auto* outer = new wxBoxSizer(wxVERTICAL);
  outer->Add(column, wxSizerFlags(1).Expand().Border(wxALL, FromDIP(12)));
  SetSizerAndFit(outer);
  ShowFonts();
  printer_font_button_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { PickFont(true); });
  editor_font_button_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { PickFont(false); });
}

void ViewerOptionsDialog::ShowFonts() {
  editor_font_->SetLabel(ToWx(StrPrintf(Tr("Editor Font: %s %dpt"), settings_.font_name.c_str(), settings_.font_size)));
  printer_font_->SetLabel(
      ToWx(StrPrintf(Tr("Printer Font: %s %dpt"), settings_.printer_font_name.c_str(), settings_.printer_font_size)));
  Layout();
}

void ViewerOptionsDialog::PickFont(bool printer) {
  std::string& name = printer ? settings_.printer_font_name : settings_.font_name;
  int& size = printer ? settings_.printer_font_size : settings_.font_size;
  int& weight = printer ? settings_.printer_font_weight : settings_.font_weight;
  wxFontData data;
  data.SetInitialFont(wxFont(wxFontInfo(size).FaceName(ToWx(name))));
  wxFontDialog picker(this, data);
  if (picker.ShowModal() != wxID_OK) return;
  const wxFont chosen = picker.GetFontData().GetChosenFont();
  if (!chosen.IsOk()) return;
  name = FromWx(chosen.GetFaceName());
  size = chosen.GetPointSize() < 5 ? 10 : chosen.GetPointSize();
  weight = chosen.GetNumericWeight();
  ShowFonts();
}

bool ViewerOptionsDialog::TransferDataFromWindow() {
  settings_.print_format = print_format_->GetValue();
  settings_.degree_symbols = degree_symbols_->GetValue();
  settings_.page_numbers = page_numbers_->GetValue();
  settings_.lines_per_page = lines_per_page_->GetValue();
  settings_.left_margin = left_margin_->GetValue();
  settings_.top_margin = top_margin_->GetValue();
  settings_.bottom_margin = bottom_margin_->GetValue();
  return true;
}

}  // namespace pelikon
