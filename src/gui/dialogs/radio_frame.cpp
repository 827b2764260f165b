#include "gui/dialogs/radio_frame.h"

#include <algorithm>

namespace pelikon {

RadioFrame::RadioFrame(wxWindow* parent, const wxString& title, const wxArrayString& labels, int rows)
    : sizer_(new wxStaticBoxSizer(wxVERTICAL, parent, title)) {
  wxStaticBox* frame = Frame();
  const int count = static_cast<int>(labels.size());
  rows = std::clamp(rows, 1, std::max(count, 1));
  const int columns = (count + rows - 1) / rows;
  for (int i = 0; i < count; ++i)
    buttons_.push_back(
        new wxRadioButton(frame, wxID_ANY, labels[i], wxDefaultPosition, wxDefaultSize, i == 0 ? wxRB_GROUP : 0));

  const int gap = parent->FromDIP(6);
  auto* grid = new wxFlexGridSizer(rows, columns, gap, 3 * gap);
  // The grid fills row by row; the items go down the columns.
  for (int row = 0; row < rows; ++row) {
    for (int column = 0; column < columns; ++column) {
      const int item = column * rows + row;
      if (item < count)
        grid->Add(buttons_[item]);
      else
        grid->AddSpacer(0);
    }
  }
  sizer_->Add(grid, wxSizerFlags(1).Border(wxALL, parent->FromDIP(8)));
  if (!buttons_.empty()) buttons_.front()->SetValue(true);
}

int RadioFrame::GetSelection() const {
  for (size_t i = 0; i < buttons_.size(); ++i)
    if (buttons_[i]->GetValue()) return static_cast<int>(i);
  return -1;
}

void RadioFrame::SetSelection(int item) {
  if (item >= 0 && item < static_cast<int>(buttons_.size())) buttons_[static_cast<size_t>(item)]->SetValue(true);
}

}  // namespace pelikon
