// One tile of a run-time built form: what the caller asked for (type,
// name, caption, width) and what the form keeps about it (control ID,
// page, callback and the events it wants, looks). Plain data; the form's
// window backend turns tiles into controls.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace pelikon {

// The host window that callbacks are given; only named here, the window-free
// core never makes one.
class PopDialog;

enum class TileType : int {
  kLabel = 1,
  kButton = 2,
  kEdit = 4,
  kDropDown = 8,
  kSlider = 9,
  kComboBox = 12,
  kCheckBox = 13,
  kRadioButton = 14,
  kGroupFrame = 15,  // the radio buttons and row breaks that follow it form one group
  kColumnBegin = 18,
  kColumnEnd = 19,
  kListBox = 20,
  kListView = 21,
  kProgressBar = 27,
  kRowBreak = 256,
};

// What a control reports, as the bits of a tile's event mask.
enum TileEvent : int {
  kEventInserted = 1,  // a list view's items changed because items were inserted
  kEventClick = 2,
  kEventEnter = 4,
  kEventDoubleClick = 16,
  kEventItemChange = 32,
};

// The events a button's callback is given unless the caller says otherwise.
inline constexpr int kButtonEventMask = 183;

// The accelerator that stands for the Escape key (letters are their
// upper-case ASCII codes).
inline constexpr int kEscapeAccelerator = 27;

// Label alignment.
enum TileAlignment : int { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };

// Called on the user-interface thread with the host window, the tile's
// name and the event code.
using TileCallback = std::function<void(PopDialog& host, const std::string& tile_name, int event_code)>;

struct TileFont {
  int height = 0;  // pixels
  bool bold = false;
};

struct Tile {
  std::string name;  // compared exactly, with case
  std::string text;  // caption or current text
  TileType type = TileType::kLabel;
  int control_id = 0;  // 0 for row breaks and column ends
  int page = -1;       // -1: on every page
  // Character units, or pixels for the pixel-width types (TileWidthIsPixels).
  int width = 0;
  // List boxes and list views: lines (0: a few). Pixel-width types: pixels
  // (0: one line). Ignored by the rest.
  int height = 0;
  bool resize = false;  // takes a share of its row's extra width
  int alignment = kAlignLeft;
  bool picture = false;   // a label showing a bitmap; its width and height are pixels
  bool multiple = false;  // a list box that allows several selected items
  // The least a control needs to show its text, measured by the window
  // backend; 0 for a form without windows.
  int min_width = 0;
  int min_height = 0;
  bool visible = true;
  bool enabled = true;
  std::optional<TileFont> font;
  std::optional<uint32_t> colour;  // background, 0xRRGGBB
  TileCallback callback;
  int event_mask = 0;
  int accelerator = 0;  // upper-case letter, kEscapeAccelerator, or 0
};

// Whether the tile's width (and height) is counted in pixels rather than
// in character units.
bool TileWidthIsPixels(const Tile& tile);

// Row breaks and column ends only shape the layout; every other tile has
// a control ID (a group frame or a plain column, too, though nothing is
// drawn for them).
bool TileHasControlId(TileType type);

// Whether a control of this type can hold the keyboard focus.
bool TileTakesFocus(TileType type);

// Whether the caption of this type is a clickable control's caption, so
// that "&" in it marks an accelerator (labels show their text as given).
bool TileCaptionHasAccelerator(TileType type);

// The upper-cased letter after the first single "&" ("&&" is a shown "&"),
// or 0.
int AcceleratorOf(std::string_view caption);

// Whether the tile's callback is to be called for `event_code`.
bool TileWantsEvent(const Tile& tile, int event_code);

}  // namespace pelikon
