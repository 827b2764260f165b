#include "dialogs/wx/tile_controls.h"

#include <algorithm>
#include <utility>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/gauge.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/statbmp.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

constexpr int kScaleTop = 100;  // sliders and progress bars run from 0 to 100

// Two-step creation, so that a control that cannot be made is reported
// instead of half-existing.
template <class Control, class... Args>
wxWindow* Make(Args&&... args) {
  auto* control = new Control;
  if (!control->Create(std::forward<Args>(args)...)) {
    delete control;
    return nullptr;
  }
  return control;
}

int Number(const std::string& text) {
  return LenientInt32(text);
}

long LabelStyle(int alignment) {
  const long align = alignment == kAlignCentre  ? wxALIGN_CENTRE_HORIZONTAL
                     : alignment == kAlignRight ? wxALIGN_RIGHT
                                                : wxALIGN_LEFT;
  return align | wxST_NO_AUTORESIZE;
}

}  // namespace

bool TileHasControl(const Tile& tile) {
  switch (tile.type) {
    case TileType::kRowBreak:
    case TileType::kColumnEnd:
    case TileType::kGroupFrame:
      return false;
    case TileType::kColumnBegin:
      return !tile.text.empty();
    default:
      return true;
  }
}

wxWindow* CreateTileControl(wxWindow* host, const Tile& tile, bool starts_group) {
  const int id = tile.control_id;
  const wxString text = ToWx(tile.text);
  const wxPoint at = wxDefaultPosition;
  const wxSize size = wxDefaultSize;
  wxWindow* control = nullptr;
  switch (tile.type) {
    case TileType::kLabel: {
      control = Make<wxStaticText>(host, id, wxString(), at, size, LabelStyle(tile.alignment));
      if (control != nullptr) static_cast<wxStaticText*>(control)->SetLabelText(text);
      break;
    }
    case TileType::kButton:
      control = Make<wxButton>(host, id, text, at, size, 0L);
      break;
    case TileType::kEdit:
      control = Make<wxTextCtrl>(host, id, text, at, size, long{wxTE_PROCESS_ENTER | wxBORDER_SUNKEN});
      break;
    case TileType::kDropDown:
      control = Make<wxChoice>(host, id, at, size, 0, nullptr, 0L);
      break;
    case TileType::kSlider:
      control = Make<wxSlider>(host, id, 0, 0, kScaleTop, at, size, long{wxSL_HORIZONTAL});
      break;
    case TileType::kComboBox:
      control = Make<wxComboBox>(host, id, text, at, size, 0, nullptr, long{wxCB_DROPDOWN | wxTE_PROCESS_ENTER});
      break;
    case TileType::kCheckBox:
      control = Make<wxCheckBox>(host, id, text, at, size, 0L);
      break;
    case TileType::kRadioButton:
      control = Make<wxRadioButton>(host, id, text, at, size, starts_group ? long{wxRB_GROUP} : 0L);
      break;
    case TileType::kColumnBegin:
      control = Make<wxStaticBox>(host, id, text, at, size, 0L);
      break;
    case TileType::kListBox:
      control =
          Make<wxListBox>(host, id, at, size, 0, nullptr, tile.multiple ? long{wxLB_EXTENDED} : long{wxLB_SINGLE});
      break;
    case TileType::kListView:
      control = Make<wxListCtrl>(host, id, at, size, long{wxLC_REPORT | wxBORDER_SUNKEN});
      break;
    case TileType::kProgressBar:
      control = Make<wxGauge>(host, id, kScaleTop, at, size, long{wxGA_HORIZONTAL});
      break;
    default:
      return nullptr;
  }
  if (control != nullptr) control->Hide();  // shown where the layout puts it
  return control;
}

const char* ControlFailureText(TileType type) {
  switch (type) {
    case TileType::kButton:
    case TileType::kCheckBox:
    case TileType::kRadioButton:
      return N_("Bad button");
    case TileType::kEdit:
    case TileType::kComboBox:
      return N_("Bad edit");
    default:
      return N_("Bad text");
  }
}

void ShowTileText(wxWindow* control, const Tile& tile, const std::string& text) {
  if (control == nullptr) return;
  const wxString shown = ToWx(text);
  if (auto* label = dynamic_cast<wxStaticText*>(control)) {
    label->SetLabelText(shown);
  } else if (auto* edit = dynamic_cast<wxTextCtrl*>(control)) {
    edit->ChangeValue(shown);
  } else if (auto* combo = dynamic_cast<wxComboBox*>(control)) {
    combo->SetSelection(wxNOT_FOUND);
    combo->ChangeValue(shown);
  } else if (auto* choice = dynamic_cast<wxChoice*>(control)) {
    const int index = Number(text);
    choice->SetSelection(index >= 0 && index < static_cast<int>(choice->GetCount()) ? index : wxNOT_FOUND);
  } else if (auto* check = dynamic_cast<wxCheckBox*>(control)) {
    check->SetValue(text == "1");
  } else if (auto* radio = dynamic_cast<wxRadioButton*>(control)) {
    radio->SetValue(text == "1");  // the rest of its group clears itself
  } else if (auto* slider = dynamic_cast<wxSlider*>(control)) {
    slider->SetValue(Number(text));
  } else if (auto* gauge = dynamic_cast<wxGauge*>(control)) {
    gauge->SetValue(std::clamp(Number(text), 0, gauge->GetRange()));
  } else if (auto* list = dynamic_cast<wxListBox*>(control)) {
    const int index = Number(text);
    if (index >= 0 && index < static_cast<int>(list->GetCount()))
      list->SetSelection(index);
    else
      list->SetSelection(wxNOT_FOUND);
  } else if (auto* view = dynamic_cast<wxListCtrl*>(control)) {
    const long item = Number(text);
    if (item >= 0 && item < view->GetItemCount()) {
      view->SetItemState(item, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                         wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
      view->EnsureVisible(item);
    }
  } else if (tile.type == TileType::kButton || tile.type == TileType::kColumnBegin) {
    control->SetLabel(shown);
  }
}

std::string ReadTileText(const wxWindow* control, const Tile& tile) {
  if (control == nullptr || tile.type == TileType::kLabel) return tile.text;
  if (const auto* edit = dynamic_cast<const wxTextCtrl*>(control)) return FromWx(edit->GetValue());
  if (const auto* combo = dynamic_cast<const wxComboBox*>(control)) return FromWx(combo->GetValue());
  if (const auto* choice = dynamic_cast<const wxChoice*>(control)) return StrPrintf("%d", choice->GetSelection());
  if (const auto* check = dynamic_cast<const wxCheckBox*>(control)) return check->GetValue() ? "1" : "0";
  if (const auto* radio = dynamic_cast<const wxRadioButton*>(control)) return radio->GetValue() ? "1" : "0";
  if (const auto* slider = dynamic_cast<const wxSlider*>(control)) return StrPrintf("%d", slider->GetValue());
  if (const auto* gauge = dynamic_cast<const wxGauge*>(control)) return StrPrintf("%d", gauge->GetValue());
  if (const auto* list = dynamic_cast<const wxListBox*>(control)) {
    if (!tile.multiple) return StrPrintf("%d", list->GetSelection());
    wxArrayInt selected;
    list->GetSelections(selected);
    std::string indices;
    for (const int index : selected) indices += (indices.empty() ? "" : ",") + StrPrintf("%d", index);
    return indices;
  }
  if (const auto* view = dynamic_cast<const wxListCtrl*>(control))
    return StrPrintf("%ld", view->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED));
  return FromWx(control->GetLabel());
}

void MeasureTileControl(wxWindow* control, Tile& tile) {
  tile.min_width = tile.min_height = 0;
  if (control == nullptr) return;
  control->InvalidateBestSize();  // a label of fixed size keeps the best size of its first text
  const wxSize best = control->GetBestSize();
  switch (tile.type) {
    case TileType::kLabel:
    case TileType::kButton:
    case TileType::kCheckBox:
    case TileType::kRadioButton:
      tile.min_width = best.x;
      tile.min_height = best.y;
      break;
    case TileType::kEdit:
    case TileType::kDropDown:
    case TileType::kComboBox:
    case TileType::kSlider:
    case TileType::kProgressBar:
      tile.min_height = best.y;  // their best widths are arbitrary; the tile's width rules
      break;
    default:
      break;
  }
}

}  // namespace pelikon
