// `COptions`: the Options window. Edits a working copy of the option
// texts; only acceptance writes the copy back into the caller's texts, so
// Cancel leaves them exactly as they were.
//
// Each value has a button with the value shown beside it: mask, sort order
// and speed open their small dialogs, the four flags toggle between "YES"
// and "NO". A mask with a blank is refused and the old one stays.
//
// The mask dialog shares its remembered text with the name dialog of
// Rename: each time the mask dialog is accepted (whatever becomes of
// Options), that text becomes the text it ended with.
#pragma once

#include <array>
#include <functional>
#include <string>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/stattext.h>

#include "app/options/option_texts.h"
#include "gui/dialogs/pelikon_dialog.h"

namespace pelikon {

class COptions final : public PelikonDialog {
 public:
  enum class Value { kMask, kSort, kSpecial, kOverwrite, kConfirmDelete, kBaud, kProtectRemote, kArchive, kCount };

  // `device_for_com(n)` names the device behind COM n on this system (shown
  // beside the port's name; may be empty). `remembered_text` is the text
  // shared with the name dialog.
  COptions(wxWindow* parent, OptionTexts& texts, std::function<std::string(int com)> device_for_com,
           std::string& remembered_text);

  wxChoice* LinkChoice() const { return link_; }
  wxButton* ButtonFor(Value value) const;
  wxString ShownValue(Value value) const;

 protected:
  bool TransferDataFromWindow() override;

 private:
  struct ValueRow {
    wxButton* button = nullptr;
    wxStaticText* shown = nullptr;
  };

  void AddValueRow(wxSizer* grid, Value value, const char* label);
  void OnValueButton(Value value);
  void EditMask();
  void ShowValue(Value value);
  std::string& TextOf(Value value);

  OptionTexts& texts_;
  OptionTexts working_;
  std::string& remembered_text_;
  wxChoice* link_;
  std::array<ValueRow, static_cast<size_t>(Value::kCount)> rows_;
};

}  // namespace pelikon
