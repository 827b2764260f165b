// `Geoid`: the "Set Geoid Area" dialog of Make geoid grid. Its OK runs the
// cut (a function given by the caller) and stays open, with the fields as
// the cut left them, when the cut refused or failed.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/geoid/make_geoid_grid.h"
#include "gui/dialogs/pelikon_dialog.h"

namespace pelikon {

class Geoid final : public PelikonDialog {
 public:
  // The sub-grid written, or nothing (the cut has said why).
  using Cut = std::function<std::optional<std::filesystem::path>(GeoidAreaFields& fields)>;

  Geoid(wxWindow* parent, GeoidAreaFields& fields, Cut cut);

  const std::filesystem::path& Written() const { return written_; }

  wxTextCtrl* FolderField() const { return folder_; }
  wxButton* SelectButton() const { return select_; }
  wxChoice* ModelChoice() const { return model_; }
  wxTextCtrl* LatitudeField() const { return latitude_; }
  wxRadioButton* South() const { return south_; }
  wxTextCtrl* LongitudeField() const { return longitude_; }
  wxRadioButton* East() const { return east_; }
  wxTextCtrl* SizeField() const { return size_; }
  wxRadioButton* UnitButton(GridSizeUnit unit) const;
  wxStaticText* EstimateLabel() const { return estimate_; }
  wxTextCtrl* NameField() const { return name_; }

 protected:
  bool TransferDataFromWindow() override;

 private:
  void OnSelect();
  GridSizeUnit ChosenUnit() const;
  void ShowEstimate();
  void ShowFields();

  GeoidAreaFields& fields_;
  Cut cut_;
  std::filesystem::path written_;
  wxTextCtrl* folder_;
  wxButton* select_;
  wxChoice* model_;
  wxTextCtrl* latitude_;
  wxRadioButton* north_;
  wxRadioButton* south_;
  wxTextCtrl* longitude_;
  wxRadioButton* east_;
  wxRadioButton* west_;
  wxTextCtrl* size_;
  wxStaticText* estimate_;
  wxRadioButton* miles_;
  wxRadioButton* km_;
  wxRadioButton* degrees_;
  wxTextCtrl* name_;
};

// The dialog as Make geoid grid asks through it.
class WxGeoidAreaDialog final : public GeoidAreaDialogPort {
 public:
  WxGeoidAreaDialog(wxWindow* parent, Geoid::Cut cut) : parent_(parent), cut_(std::move(cut)) {}
  bool Ask(GeoidAreaFields& fields, std::filesystem::path& written) override;

 private:
  wxWindow* parent_;
  Geoid::Cut cut_;
};

}  // namespace pelikon
