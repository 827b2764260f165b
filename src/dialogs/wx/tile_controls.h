// The wx control behind each tile type: making it, showing a value text
// in it and reading the text back, and measuring what it needs so that
// the layout pass never cuts its text off.
//
//   label          wxStaticText (text shown as given) or, with a picture, wxStaticBitmap
//   button         wxButton ("&" marks the accelerator)
//   edit           wxTextCtrl, sunken; Enter is reported
//   drop-down      wxChoice        value: the selected index
//   slider         wxSlider 0-100  value: the position
//   combo box      wxComboBox      value: the text
//   check box      wxCheckBox      value: "1" or "0"
//   radio button   wxRadioButton   value: "1" or "0"
//   list box       wxListBox       value: the selected index (several: "i,j,...")
//   list view      wxListCtrl      value: the selected item (-1: none)
//   progress bar   wxGauge 0-100   value: the position
//   column begin   wxStaticBox when captioned
// Row breaks, column ends, group frames and plain columns have none.
#pragma once

#include <string>

#include <wx/window.h>

#include "dialogs/tile.h"

namespace pelikon {

// Whether the tile is shown by a control of its own.
bool TileHasControl(const Tile& tile);

// Makes the tile's control at its ID; nullptr when it cannot be made.
// `starts_group`: a radio button that begins a new group.
wxWindow* CreateTileControl(wxWindow* host, const Tile& tile, bool starts_group);

// The message that reports a control that could not be made (a catalogue
// key).
const char* ControlFailureText(TileType type);

void ShowTileText(wxWindow* control, const Tile& tile, const std::string& text);
std::string ReadTileText(const wxWindow* control, const Tile& tile);

// Sets the tile's min_width and min_height from what the control needs.
void MeasureTileControl(wxWindow* control, Tile& tile);

}  // namespace pelikon
