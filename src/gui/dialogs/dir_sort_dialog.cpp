#include "gui/dialogs/dir_sort_dialog.h"

#include <wx/arrstr.h>

#include "app/panes/dir_list.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"

namespace pelikon {

namespace {

wxArrayString OrderLabels() {
  wxArrayString labels;
  // In SortOrder's numbering, so that item n is order n.
  for (const char* label : {Tr("&Off"), Tr("By &Name"), Tr("By &Date"), Tr("By &Size")}) labels.Add(ToWx(label));
  return labels;
}

}  // namespace

CDirSort::CDirSort(wxWindow* parent, std::string& sort_text)
    : PelikonDialog(parent, ToWx(Tr("Directory Sort"))),
      sort_text_(sort_text),
      orders_(std::make_unique<RadioFrame>(this, ToWx(Tr("File Sort Order")), OrderLabels(), 4)) {
  orders_->SetSelection(SortOrderFromText(sort_text));
  auto* content = new wxBoxSizer(wxVERTICAL);
  content->Add(orders_->Sizer(), wxSizerFlags().Expand());
  LayOut(content, MakeButtonRow(Buttons::kOkCancel));
}

bool CDirSort::TransferDataFromWindow() {
  sort_text_ = SortOrderText(orders_->GetSelection());
  return true;
}

}  // namespace pelikon
