// `COptions`: the Options window. Edits a working copy of the option
// texts; only acceptance writes the copy back into the caller's texts, so
// Cancel leaves them exactly as they were.
//
// Each value has a button with the value shown beside it, labelled as the
// settings table says: mask, sort order and speed open their small
// dialogs, the flags toggle between "YES" and "NO". A mask with a blank is
// refused and the old one stays. Values are named by their settings'
// stored names ("mask", "del" ...).
//
// While the link drop-down shows the docked entry, a line shows the device
// folder in use (or that the desktop's media device is looked for at
// connect) with a button that opens a folder chooser; for a COM port both
// are disabled. A folder the settings store could not read back is refused
// and the old one stays.
//
// The mask dialog shares its remembered text with the name dialog of
// Rename: each time the mask dialog is accepted (whatever becomes of
// Options), that text becomes the text it ended with.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/stattext.h>

#include "app/options/option_texts.h"
#include "gui/dialogs/pelikon_dialog.h"

namespace pelikon {

class COptions final : public PelikonDialog {
 public:
  // `device_for_com(n)` names the device behind COM n on this system (shown
  // beside the port's name; may be empty). `remembered_text` is the text
  // shared with the name dialog.
  COptions(wxWindow* parent, OptionTexts& texts, std::function<std::string(int com)> device_for_com,
           std::string& remembered_text);

  wxChoice* LinkChoice() const { return link_; }
  wxButton* DeviceFolderButton() const { return device_button_; }
  wxStaticText* DeviceFolderLine() const { return device_shown_; }
  wxButton* ButtonFor(std::string_view setting) const;
  wxString ShownValue(std::string_view setting) const;

 protected:
  bool TransferDataFromWindow() override;

 private:
  struct ValueRow {
    const SettingDescription* setting = nullptr;
    wxButton* button = nullptr;
    wxStaticText* shown = nullptr;
  };

  void AddValueRow(wxSizer* grid, const SettingDescription& setting);
  void AddDeviceFolderRow(wxSizer* grid);
  void ChooseDeviceFolder();
  void ShowDeviceFolder();
  void OnValueButton(ValueRow& row);
  void EditMask();
  void ShowValue(const ValueRow& row);
  const ValueRow* RowFor(std::string_view setting) const;

  OptionTexts& texts_;
  OptionTexts working_;
  std::string& remembered_text_;
  wxChoice* link_;
  wxButton* device_button_ = nullptr;
  wxStaticText* device_shown_ = nullptr;
  std::vector<ValueRow> rows_;
};

}  // namespace pelikon
