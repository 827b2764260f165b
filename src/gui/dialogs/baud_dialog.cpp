#include "gui/dialogs/baud_dialog.h"

#include <wx/arrstr.h>

#include "app/options/option_texts.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"

namespace pelikon {

namespace {

wxArrayString RateLabels() {
  wxArrayString labels;
  for (const int rate : kBaudRates) labels.Add(ToWx(std::to_string(rate)));
  return labels;
}

}  // namespace

CBaud::CBaud(wxWindow* parent, std::string& speed_text)
    : PelikonDialog(parent, ToWx(Tr("Select Baud Rate"))),
      speed_text_(speed_text),
      rates_(std::make_unique<RadioFrame>(this, ToWx(Tr("Select Baud Rate")), RateLabels(), 3)) {
  for (size_t i = 0; i < kBaudRates.size(); ++i)
    if (speed_text == std::to_string(kBaudRates[i])) rates_->SetSelection(static_cast<int>(i));
  auto* content = new wxBoxSizer(wxVERTICAL);
  content->Add(rates_->Sizer(), wxSizerFlags().Expand());
  LayOut(content, MakeButtonRow(Buttons::kOkCancel));
}

bool CBaud::TransferDataFromWindow() {
  const int chosen = rates_->GetSelection();
  if (chosen >= 0 && chosen < static_cast<int>(kBaudRates.size())) speed_text_ = std::to_string(kBaudRates[chosen]);
  return true;
}

}  // namespace pelikon
