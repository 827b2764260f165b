// `CDirSort`: chooses the pane sort order. Works on the order's text
// ("OFF", "BY NAME", "BY DATE", "BY SIZE"), which it changes only when
// accepted; any other text starts on "&Off".
#pragma once

#include <string>

#include <memory>

#include "gui/dialogs/pelikon_dialog.h"
#include "gui/dialogs/radio_frame.h"

namespace pelikon {

class CDirSort final : public PelikonDialog {
 public:
  CDirSort(wxWindow* parent, std::string& sort_text);

  RadioFrame* Orders() const { return orders_.get(); }  // item n is sort order n

 protected:
  bool TransferDataFromWindow() override;

 private:
  std::string& sort_text_;
  std::unique_ptr<RadioFrame> orders_;
};

}  // namespace pelikon
