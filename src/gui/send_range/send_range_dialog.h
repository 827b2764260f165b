// `SendRange`: the "Send Range of Points" dialog of Send Pnts. "Select"
// picks the local coordinate file (and fills an empty remote name and the
// range from it); OK checks that all three fields are filled. The fields
// live in the caller's SendRangeFields, so they survive between uses.
#pragma once

#include <filesystem>

#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/send_range/send_range.h"
#include "gui/dialogs/pelikon_dialog.h"
#include "platform/ui.h"

namespace pelikon {

class SendRange final : public PelikonDialog {
 public:
  // `folder`: where the file picker opens.
  SendRange(wxWindow* parent, SendRangeFields& fields, Ui& ui, std::filesystem::path folder);

  wxTextCtrl* RemoteNameField() const { return remote_name_; }
  wxTextCtrl* RangeField() const { return range_; }
  wxButton* SelectButton() const { return select_; }
  wxStaticText* LocalFileLabel() const { return local_file_; }

 protected:
  bool TransferDataFromWindow() override;

 private:
  void OnSelect();
  void ShowLocalFile();

  SendRangeFields& fields_;
  Ui& ui_;
  std::filesystem::path folder_;
  wxStaticText* local_file_;
  wxButton* select_;
  wxTextCtrl* remote_name_;
  wxTextCtrl* range_;
};

// The dialog as Send Pnts asks through it.
class WxSendRangeDialog final : public SendRangeDialogPort {
 public:
  WxSendRangeDialog(wxWindow* parent, Ui& ui, std::function<std::filesystem::path()> folder)
      : parent_(parent), ui_(ui), folder_(std::move(folder)) {}
  bool Ask(SendRangeFields& fields) override;

 private:
  wxWindow* parent_;
  Ui& ui_;
  std::function<std::filesystem::path()> folder_;
};

}  // namespace pelikon
