#include "dialogs/wx/ez_dialog.h"

#include <cctype>

#include <wx/button.h>
#include <wx/colour.h>
#include <wx/listctrl.h>
#include <wx/statbmp.h>

#include "dialogs/wx/list_view_sort.h"
#include "dialogs/wx/plain_message_box.h"
#include "dialogs/wx/tile_controls.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

long HostStyle(const FormFrame& frame) {
  long style = wxCAPTION;
  if (frame.system_menu) style |= wxSYSTEM_MENU | wxCLOSE_BOX;
  if (frame.resizable) style |= wxRESIZE_BORDER;
  if (frame.maximize_box) style |= wxMAXIMIZE_BOX;
  if (frame.stay_on_top) style |= wxSTAY_ON_TOP;
  return style;
}

wxRect ToWxRect(const LayoutRect& rect) {
  return wxRect(rect.left, rect.top, rect.width, rect.height);
}

}  // namespace

EZDialog::~EZDialog() {
  if (PopDialog* host = host_.get()) {
    host->DetachForm();
    host->Destroy();
  }
}

int EZDialog::Create(wxWindow* parent, const FormFrame& frame) {
  if (host_) return 0;
  frame_ = frame;
  PopDialog* host = new PopDialog(*this, parent, ToWx(frame.title), HostStyle(frame));
  host_ = host;
  if (frame.font_height > 0 || frame.bold) host->SetFont(FormFont(frame.font_height, frame.bold));
  int alphabet_width = 0;
  host->GetTextExtent(kMetricsAlphabet, &alphabet_width, nullptr);
  metrics_ = MetricsFromFont(alphabet_width, host->GetCharHeight());
  if (frame.width_chars > 0 && frame.height_lines > 0)
    host->SetClientSize(frame.width_chars * metrics_.char_width, frame.height_lines * metrics_.line_height);
  return 1;
}

void EZDialog::SetEvents(std::unique_ptr<PopDialogEvent> events) {
  if (PopDialog* host = host_.get()) host->SetEvents(std::move(events));
}

// ---- Building ---------------------------------------------------------------

int EZDialog::Append(Tile tile) {
  PopDialog* host = host_.get();
  if (host == nullptr) {
    Trace("Form has no window: tile %s is not added", tile.name.c_str());
    return -1;
  }
  if (tiles_.Size() >= TileTable::kMaxTiles) {
    Trace("Form is full: tile %s is not added", tile.name.c_str());
    return -1;
  }
  tile.page = tile_page_;
  tile.control_id = tiles_.NextControlId(tile.type);
  wxWindow* control = nullptr;
  if (TileHasControl(tile)) {
    const bool starts_group = tile.type == TileType::kRadioButton && RadioStartsGroup(static_cast<int>(tiles_.Size()));
    control = CreateTileControl(host, tile, starts_group);
    if (control == nullptr) {
      ShowPlainMessageBox(host, Tr(ControlFailureText(tile.type)));
      return -1;
    }
  }
  const int index = tiles_.Add(std::move(tile));
  controls_.push_back(control);
  return index;
}

int EZDialog::BeginColumn(const std::string& name, const std::string& caption) {
  return AddTile(name, TileType::kColumnBegin, 0, caption);
}

int EZDialog::EndColumn() {
  return AddTile({}, TileType::kColumnEnd, 0, {});
}

int EZDialog::RowBreak() {
  return AddTile({}, TileType::kRowBreak, 0, {});
}

int EZDialog::AddLabel(const std::string& name, int width, int alignment, const std::string& text) {
  Tile tile;
  tile.name = name;
  tile.text = text;
  tile.type = TileType::kLabel;
  tile.width = width;
  tile.alignment = alignment;
  return Append(std::move(tile));
}

int EZDialog::AddEdit(const std::string& name, int width, const std::string& text) {
  return AddTile(name, TileType::kEdit, width, text);
}

int EZDialog::AddButton(const std::string& name, int width, const std::string& caption, TileCallback callback) {
  PopDialog* host = host_.get();
  if (host != nullptr) host->Events().BeforeAddButton(*this, name);
  Tile tile;
  tile.name = name;
  tile.text = caption;
  tile.type = TileType::kButton;
  tile.width = width;
  if (callback) {
    tile.callback = std::move(callback);
    tile.event_mask = kButtonEventMask;
  }
  const int index = Append(std::move(tile));
  if (host != nullptr) host->Events().AfterAddButton(*this, name, index);
  return index;
}

int EZDialog::AddTile(const std::string& name, TileType type, int width, const std::string& text,
                      const TileOptions& options) {
  Tile tile;
  tile.name = name;
  tile.text = text;
  tile.type = type;
  tile.width = width;
  tile.height = options.height;
  tile.resize = options.resize;
  tile.multiple = options.multiple;
  return Append(std::move(tile));
}

bool EZDialog::RadioStartsGroup(int index) const {
  for (int i = index - 1; i >= 0; --i) {
    const TileType type = tiles_[i].type;
    if (type != TileType::kRowBreak) return type != TileType::kRadioButton;
  }
  return true;
}

// ---- Tile settings ----------------------------------------------------------

wxWindow* EZDialog::Control(int index) const {
  if (!host_ || index < 0 || static_cast<size_t>(index) >= controls_.size()) return nullptr;
  return controls_[static_cast<size_t>(index)];
}

int EZDialog::RegisterCallback(std::string_view name, TileCallback callback, int event_mask) {
  const int index = tiles_.Find(name);
  if (index < 0) return -1;
  tiles_[index].callback = std::move(callback);
  tiles_[index].event_mask = event_mask;
  return 1;
}

int EZDialog::SetTileImage(std::string_view name, const wxBitmap& bitmap) {
  const int index = tiles_.Find(name);
  PopDialog* host = host_.get();
  if (index < 0 || host == nullptr) return -1;
  Tile& tile = tiles_[index];
  if (tile.type != TileType::kLabel) return -1;
  wxWindow*& control = controls_[static_cast<size_t>(index)];
  if (auto* shown = dynamic_cast<wxStaticBitmap*>(control)) {
    shown->SetBitmap(bitmap);
  } else {
    auto* picture = new wxStaticBitmap;
    if (!picture->Create(host, tile.control_id, bitmap)) {
      delete picture;
      ShowPlainMessageBox(host, Tr(ControlFailureText(tile.type)));
      return -1;
    }
    picture->Show(control != nullptr && control->IsShown());
    if (control != nullptr) control->Destroy();
    control = picture;
  }
  tile.picture = true;
  tile.height = bitmap.IsOk() ? bitmap.GetHeight() : 0;
  return 1;
}

int EZDialog::SetAccelerator(std::string_view name, int key) {
  const int index = tiles_.Find(name);
  if (index < 0) return -1;
  tiles_[index].accelerator = key;
  return 1;
}

int EZDialog::SetFirstFocus(std::string_view name) {
  const int index = tiles_.Find(name);
  if (index < 0) return -1;
  first_focus_ = index;
  if (auto* button = dynamic_cast<wxButton*>(Control(index))) button->SetDefault();
  return 1;
}

int EZDialog::SetToolTip(std::string_view name, const std::string& text) {
  const int index = tiles_.Find(name);
  PopDialog* host = host_.get();
  if (index < 0 || host == nullptr) return -1;
  host->ToolTips().Set(Control(index), text);
  return 1;
}

int EZDialog::SetTileColour(std::string_view name, uint32_t rgb) {
  const int index = tiles_.Find(name);
  if (index < 0) return -1;
  tiles_[index].colour = rgb;
  if (wxWindow* control = Control(index))
    control->SetBackgroundColour(wxColour((rgb >> 16) & 0xff, (rgb >> 8) & 0xff, rgb & 0xff));
  return 1;
}

int EZDialog::SetTileFont(std::string_view name, int height, bool bold) {
  const int index = tiles_.Find(name);
  if (index < 0) return -1;
  tiles_[index].font = TileFont{height, bold};
  if (wxWindow* control = Control(index)) control->SetFont(FormFont(height, bold));
  return 1;
}

// ---- Values and state -------------------------------------------------------

std::vector<int> EZDialog::WithGroup(int index) const {
  std::vector<int> tiles{index};
  for (const int member : tiles_.GroupMembers(index)) tiles.push_back(member);
  return tiles;
}

bool EZDialog::IsShownTile(int index) const {
  return laid_out_ && static_cast<size_t>(index) < layout_.on_page.size() && layout_.on_page[index] &&
         tiles_[index].visible;
}

int EZDialog::SetText(std::string_view name, const std::string& text) {
  const int index = tiles_.Find(name);
  if (index < 0) return -1;
  Tile& tile = tiles_[index];
  tile.text = text;
  if (TileCaptionHasAccelerator(tile.type) && tile.accelerator != kEscapeAccelerator)
    tile.accelerator = AcceleratorOf(text);
  ShowTileText(Control(index), tile, text);
  if (tile.type == TileType::kRadioButton && text == "1")
    for (const int member : tiles_.GroupMembers(tiles_.GroupFrameOf(index)))
      if (member != index) tiles_[member].text.assign(1, '0');  // assign(): g++ 12 warns wrongly on = "0" here
  return 1;
}

int EZDialog::GetText(std::string_view name, std::string& text) const {
  const int index = tiles_.Find(name);
  if (index < 0) return -1;
  text = ReadTileText(Control(index), tiles_[index]);
  return 1;
}

int EZDialog::Enable(std::string_view name, bool on) {
  const int index = tiles_.Find(name);
  if (index < 0) return -1;
  for (const int tile : WithGroup(index)) {
    tiles_[tile].enabled = on;
    if (wxWindow* control = Control(tile)) control->Enable(on);
  }
  return 1;
}

int EZDialog::Show(std::string_view name, bool on) {
  const int index = tiles_.Find(name);
  if (index < 0) return -1;
  for (const int tile : WithGroup(index)) {
    tiles_[tile].visible = on;
    if (wxWindow* control = Control(tile); control != nullptr && laid_out_) control->Show(IsShownTile(tile));
  }
  return 1;
}

wxWindow* EZDialog::FindControl(std::string_view name) const {
  return Control(tiles_.Find(name));
}

// ---- Layout and running -----------------------------------------------------

void EZDialog::ApplyLayout(int client_width) {
  for (size_t i = 0; i < controls_.size(); ++i) MeasureTileControl(controls_[i], tiles_[static_cast<int>(i)]);
  layout_ = LayOutForm(tiles_.Tiles(), metrics_, LayoutRequest{page_, client_width});
  for (size_t i = 0; i < controls_.size(); ++i) {
    wxWindow* control = controls_[i];
    if (control == nullptr) continue;
    const bool shown = layout_.on_page[i] && tiles_[static_cast<int>(i)].visible;
    if (shown) control->SetSize(ToWxRect(layout_.tiles[i]));
    control->Show(shown);
  }
}

int EZDialog::LayOutAndShow(bool show, bool centre) {
  PopDialog* host = host_.get();
  if (host == nullptr) return 0;
  host->Events().BeforeShow(*this);
  const bool sized_by_caller = frame_.width_chars > 0 && frame_.height_lines > 0;
  ApplyLayout(sized_by_caller ? host->GetClientSize().x : 0);
  if (!sized_by_caller) {
    host->SetClientSize(layout_.fitted_width, layout_.fitted_height);
    if (frame_.resizable) host->SetMinClientSize(wxSize(layout_.fitted_width, layout_.fitted_height));
  }
  laid_out_ = true;
  if (centre) host->CentreOnParent();
  focus_tile_ = -1;
  const auto can_focus = [this](int index) {
    return TileTakesFocus(tiles_[index].type) && IsShownTile(index) && tiles_[index].enabled;
  };
  if (first_focus_ >= 0 && can_focus(first_focus_)) focus_tile_ = first_focus_;
  for (size_t i = 0; i < tiles_.Size() && focus_tile_ < 0; ++i) {
    const int index = static_cast<int>(i);
    if (can_focus(index)) focus_tile_ = index;
  }
  if (show) {
    host->Show();
    if (wxWindow* first = Control(focus_tile_)) first->SetFocus();
  }
  host->Events().AfterShow(*this);
  return 1;
}

void EZDialog::ShowPage(int page) {
  page_ = page;
  if (PopDialog* host = host_.get(); host != nullptr && laid_out_) ApplyLayout(host->GetClientSize().x);
}

int EZDialog::RunModal() {
  PopDialog* host = host_.get();
  if (host == nullptr) return result_;
  // Disabled here as well as by the modal loop, so that the parent stays
  // disabled exactly while the form runs.
  wxWeakRef<wxWindow> parent = host->GetParent();
  const bool disable_parent = parent && parent->IsEnabled();
  if (disable_parent) parent->Disable();
  running_ = true;
  result_ = 0;
  host->Raise();
  host->Events().BeforeRun(*this);
  result_ = host->ShowModal();
  running_ = false;
  if (disable_parent && parent) parent->Enable();
  if (PopDialog* still = host_.get()) still->Events().AfterRun(*this, result_);
  return result_;
}

void EZDialog::End(int code) {
  result_ = code;
  running_ = false;
  if (PopDialog* host = host_.get(); host != nullptr && host->IsModal()) host->EndModal(code);
}

// ---- Events -----------------------------------------------------------------

bool EZDialog::Dispatch(int index, int event_code) {
  if (index < 0 || !TileWantsEvent(tiles_[index], event_code)) return false;
  PopDialog* host = host_.get();
  if (host == nullptr) return false;
  pending_tile_ = index;
  pending_event_ = event_code;
  wxWindow* focus = wxWindow::FindFocus();
  const wxWeakRef<wxWindow> had_focus = focus != nullptr && host->IsDescendant(focus) ? focus : nullptr;
  // Copies: the callback may register another one, or add tiles.
  const TileCallback callback = tiles_[index].callback;
  const std::string name = tiles_[index].name;
  const wxWeakRef<PopDialog> alive = host;
  callback(*host, name, event_code);
  if (alive && alive->IsShown()) {
    alive->Enable();
    GiveFocusBack(had_focus.get());
  }
  return true;
}

void EZDialog::GiveFocusBack(wxWindow* had_focus) {
  wxWindow* target = had_focus;
  if (target == nullptr || !target->IsShownOnScreen() || !target->IsEnabled()) target = Control(focus_tile_);
  if (target != nullptr && target->IsShownOnScreen() && target->IsEnabled()) target->SetFocus();
}

bool EZDialog::OnTileEvent(int control_id, int event_code) {
  return Dispatch(tiles_.FindByControlId(control_id), event_code);
}

bool EZDialog::OnEscape() {
  return Dispatch(tiles_.EscapeTile(), kEventClick);
}

bool EZDialog::OnAccelerator(int key_code) {
  if (key_code <= 0 || key_code > 127 || !std::isalnum(key_code)) return false;
  const int index = tiles_.AcceleratorTile(std::toupper(key_code));
  return index >= 0 && IsShownTile(index) && Dispatch(index, kEventClick);
}

void EZDialog::OnColumnClick(int control_id, int column) {
  const int index = tiles_.FindByControlId(control_id);
  auto* list = dynamic_cast<wxListCtrl*>(Control(index));
  if (list == nullptr) return;
  SortListViewByColumn(*list, column, sort_states_[index].Click(column));
}

void EZDialog::OnResized() {
  PopDialog* host = host_.get();
  if (host != nullptr && laid_out_ && frame_.resizable) ApplyLayout(host->GetClientSize().x);
}

}  // namespace pelikon
