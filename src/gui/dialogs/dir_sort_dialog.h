// `CDirSort`: chooses the pane sort order. Works on the order's text
// ("OFF", "BY NAME", "BY DATE", "BY SIZE"), which it changes only when
// accepted; any other text starts on "&Off".
#pragma once

#include <string>

#include <wx/radiobox.h>

#include "gui/dialogs/pelikon_dialog.h"

namespace pelikon {

class CDirSort final : public PelikonDialog {
 public:
  CDirSort(wxWindow* parent, std::string& sort_text);

  wxRadioBox* Orders() const { return orders_; }  // item n is sort order n

 protected:
  bool TransferDataFromWindow() override;

 private:
  std::string& sort_text_;
  wxRadioBox* orders_;
};

}  // namespace pelikon
