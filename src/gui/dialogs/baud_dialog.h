// `CBaud`: chooses the serial speed among the offered rates. Works on the
// speed's decimal text, which it changes only when accepted; a text that is
// no offered rate starts on the slowest.
#pragma once

#include <string>

#include <memory>

#include "gui/dialogs/pelikon_dialog.h"
#include "gui/dialogs/radio_frame.h"

namespace pelikon {

class CBaud final : public PelikonDialog {
 public:
  CBaud(wxWindow* parent, std::string& speed_text);

  RadioFrame* Rates() const { return rates_.get(); }  // item n is kBaudRates[n]

 protected:
  bool TransferDataFromWindow() override;

 private:
  std::string& speed_text_;
  std::unique_ptr<RadioFrame> rates_;
};

}  // namespace pelikon
