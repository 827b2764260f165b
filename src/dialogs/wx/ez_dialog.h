// A window built at run time from named tiles. The caller creates the
// host window, appends tiles in reading order, lays them out and runs the
// window modally until a callback ends it with a result code:
//
//   EZDialog form;
//   form.Create(parent, {.title = Tr("Title")});
//   form.AddLabel("prompt", 30, kAlignLeft, Tr("Name"));
//   form.RowBreak();
//   form.AddButton("ok", 8, Tr("OK"), [](PopDialog& host, const std::string&, int) { host.Form()->End(1); });
//   form.LayOutAndShow(true, true);
//   const int result = form.RunModal();
//
// Controls are made when their tile is added and moved to the rectangles
// the layout pass computes (dialogs/form_layout.h). Values are read and
// written by tile name; a name that is not in the form is reported as
// "Tile %s is not found" on the trace and the call returns -1. The focus
// starts on the first tile that takes it, or on the one SetFirstFocus
// names. Escape and
// the close box click the form's way out (TileTable::EscapeTile) and are
// ignored when it has none. User-interface thread only.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <wx/bitmap.h>
#include <wx/weakref.h>

#include "dialogs/form_layout.h"
#include "dialogs/form_metrics.h"
#include "dialogs/form_values.h"
#include "dialogs/list_sort.h"
#include "dialogs/tile_table.h"
#include "dialogs/wx/pop_dialog.h"

namespace pelikon {

// How the host window looks.
struct FormFrame {
  std::string title;
  int width_chars = 0;  // with height_lines: a window of this size; 0: sized to fit the tiles
  int height_lines = 0;
  int font_height = 0;  // pixels; 0: the desktop's dialog font
  bool bold = false;
  bool resizable = false;
  bool maximize_box = false;
  bool system_menu = true;  // the close box
  bool stay_on_top = false;
};

// The less common parts of a tile, for AddTile.
struct TileOptions {
  int height = 0;  // see Tile::height
  bool resize = false;
  bool multiple = false;  // list boxes
};

class EZDialog {
 public:
  EZDialog() = default;
  ~EZDialog();
  EZDialog(const EZDialog&) = delete;
  EZDialog& operator=(const EZDialog&) = delete;

  // Makes the host window and the metrics of its font; 1, or 0 when the
  // form already has a window.
  int Create(wxWindow* parent, const FormFrame& frame);
  PopDialog* Host() const { return host_.get(); }
  const FormMetrics& Metrics() const { return metrics_; }
  const TileTable& Tiles() const { return tiles_; }
  // Replaces the hooks of the host window (none: the hooks that do nothing).
  void SetEvents(std::unique_ptr<PopDialogEvent> events);

  // ---- Building: each returns the new tile's index, or -1 -------------
  int BeginColumn(const std::string& name, const std::string& caption);
  int EndColumn();
  int RowBreak();
  int AddLabel(const std::string& name, int width, int alignment, const std::string& text);
  int AddEdit(const std::string& name, int width, const std::string& text);
  // With a callback, it is called for the events of kButtonEventMask.
  int AddButton(const std::string& name, int width, const std::string& caption, TileCallback callback = {});
  // Any other tile type (drop-downs, sliders, check boxes, lists ...).
  int AddTile(const std::string& name, TileType type, int width, const std::string& text,
              const TileOptions& options = {});
  // Tiles added from now on belong to `page` (-1: every page).
  void SetTilePage(int page) { tile_page_ = page; }

  // ---- Tile settings: 1, or -1 for an unknown name ----------------------
  int RegisterCallback(std::string_view name, TileCallback callback, int event_mask);
  // Shows `bitmap` in a label tile; its width and height become pixels.
  int SetTileImage(std::string_view name, const wxBitmap& bitmap);
  // An upper-case letter, or kEscapeAccelerator.
  int SetAccelerator(std::string_view name, int key);
  int SetToolTip(std::string_view name, const std::string& text);
  // The tile that has the focus when the window shows (instead of the
  // first one that takes it); a button becomes the default button too.
  int SetFirstFocus(std::string_view name);
  int SetTileColour(std::string_view name, uint32_t rgb);
  int SetTileFont(std::string_view name, int height, bool bold);

  // ---- Values and state by tile name ------------------------------------
  int SetText(std::string_view name, const std::string& text);
  int GetText(std::string_view name, std::string& text) const;
  int Enable(std::string_view name, bool on);
  int Show(std::string_view name, bool on);
  // The tile's control, for direct use; nullptr when it has none.
  wxWindow* FindControl(std::string_view name) const;
  // The value store, for values no control shows.
  void SetValue(std::string_view name, unsigned value) { values_.SetValue(name, value); }
  unsigned GetValue(std::string_view name) const { return values_.GetValue(name); }
  FormValues& Values() { return values_; }

  // ---- Running -----------------------------------------------------------
  // Lays the tiles out, sizes a window created without a size to fit
  // them, centres it over its parent when asked, shows it when asked and
  // gives the focus to the first tile that takes it. 1, or 0 without a
  // window.
  int LayOutAndShow(bool show, bool centre);
  // Shows `page`'s tiles (and those of every page) and lays them out.
  void ShowPage(int page);
  int CurrentPage() const { return page_; }
  // Runs the window modally with its parent disabled; returns the result
  // code that End was given.
  int RunModal();
  // Ends the run with `code`; callbacks call it.
  void End(int code);
  bool Running() const { return running_; }
  int Result() const { return result_; }
  // The tile and event of the callback called last.
  int PendingTile() const { return pending_tile_; }
  int PendingEvent() const { return pending_event_; }
  const FormLayout& Layout() const { return layout_; }

 private:
  friend class PopDialog;

  // Appends `tile` with its control; -1 after the failure message when the
  // control cannot be made.
  int Append(Tile tile);
  wxWindow* Control(int index) const;
  bool RadioStartsGroup(int index) const;
  bool IsShownTile(int index) const;
  // The tiles a setting applies to: the tile, and a group frame's radio buttons.
  std::vector<int> WithGroup(int index) const;
  // `client_width` as in LayoutRequest.
  void ApplyLayout(int client_width);
  void GiveFocusBack(wxWindow* had_focus);

  // From the host window. True when a tile's callback took the event.
  bool OnTileEvent(int control_id, int event_code);
  bool OnEscape();
  bool OnAccelerator(int key_code);
  void OnColumnClick(int control_id, int column);
  void OnResized();
  bool Dispatch(int index, int event_code);

  TileTable tiles_;
  std::vector<wxWindow*> controls_;  // by tile index; owned by the host window
  FormValues values_;
  wxWeakRef<PopDialog> host_;
  FormFrame frame_;
  FormMetrics metrics_;
  FormLayout layout_;
  bool laid_out_ = false;
  int tile_page_ = -1;
  int page_ = 0;
  int focus_tile_ = -1;
  int first_focus_ = -1;  // asked for by SetFirstFocus
  bool running_ = false;
  int result_ = 0;
  int pending_tile_ = -1;
  int pending_event_ = 0;
  std::map<int, ColumnSortState> sort_states_;  // by list-view tile
};

}  // namespace pelikon
