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
  void OnValueButton(ValueRow& row);
  void EditMask();
  void ShowValue(const ValueRow& row);
  const ValueRow* RowFor(std::string_view setting) const;

  OptionTexts& texts_;
  OptionTexts working_;
  std::string& remembered_text_;
  wxChoice* link_;
  std::vector<ValueRow> rows_;
};

}  // namespace pelikon
