#include "report/wx/attribute_dialogs.h"

#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/listbox.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include <algorithm>
#include <charconv>
#include <optional>

#include "dialogs/wx/ez_dialog.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/attribute_store.h"
#include "report/formatter.h"
#include "report/user_attributes.h"

namespace pelikon {

namespace {

constexpr int kMostDecimals = 14;

// The report's fields, used and available, as key and note.
std::vector<std::pair<std::string, std::string>> ReportKeys(Formatter& formatter) {
  std::vector<std::pair<std::string, std::string>> keys;
  for (const auto* list : {&formatter.Fields().Used(), &formatter.Fields().Available()})
    for (const ReportField& field : *list) keys.emplace_back(field.key, field.note);
  return keys;
}

// One window for both kinds: a display option is a user attribute
// without equation, "&Reported" and "&Recalculate".
class AttributeDialog {
 public:
  AttributeDialog(Formatter& formatter, bool user_attributes)
      : formatter_(formatter), user_(user_attributes), keys_(ReportKeys(formatter)) {
    const FormatterSetup& setup = formatter.Setup();
    file_ = setup.data_folder / (user_ ? kUserAttributesFile : kAttributeDisplayFile);
    if (user_) {
      entries_ = ReadUserAttributes(file_, setup.section);
    } else {
      for (const AttributeDisplay& display : ReadAttributeDisplays(file_, setup.section))
        entries_.push_back(UserAttribute{display.key, display.note, "", true, display.decimals, display.aver_key});
    }
  }

  void Run(wxWindow* parent) {
    FormFrame frame;
    frame.title = user_ ? Tr("User-Defined Attributes") : Tr("Attribute Display Options");
    if (!form_.Create(parent, frame)) return;
    Build();
    ShowKeys();
    Show(entries_.empty() ? UserAttribute{} : entries_.front());
    form_.LayOutAndShow(true, true);
    form_.RunModal();
  }

 private:
  void Tip(const char* name, const std::string& tip) { form_.SetToolTip(name, tip); }
  void Radio(const char* name, int width, const std::string& caption, const std::string& tip = {}) {
    form_.AddTile(name, TileType::kRadioButton, width, caption);
    form_.RegisterCallback(name, on_tile_, kEventClick);
    if (!tip.empty()) Tip(name, tip);
  }

  void Build() {
    on_tile_ = [this](PopDialog& host, const std::string& tile, int) { OnTile(host, tile); };
    form_.AddLabel("key_label", 8, kAlignRight, Tr("Key:"));
    form_.AddTile("key", TileType::kComboBox, 20, "");
    form_.RegisterCallback("key", on_tile_, kEventItemChange);
    Tip("key", Tr("Unique key name"));
    form_.AddLabel("note_label", 6, kAlignRight, Tr("Desc:"));
    form_.AddEdit("note", 30, "");
    Tip("note", Tr("Visible field name"));
    if (user_) {
      form_.AddTile("shown", TileType::kCheckBox, 12, Tr("&Reported"));
      Tip("shown", Tr("Field reported or just used in calculations"));
      form_.RowBreak();
      form_.AddLabel("equation_label", 8, kAlignRight, Tr("Equation:"));
      form_.AddEdit("equation", 50, "");
      Tip("equation", Tr("User-defined equation for the field"));
      form_.AddButton("list", 12, Tr("List &keys"), on_tile_);
      Tip("list", Tr("Select field for the equation from the existing list"));
    }
    form_.RowBreak();
    form_.AddLabel("total_label", 14, kAlignLeft, Tr("Total Options:"));
    Radio("nothing", 11, Tr("&No total"));
    Radio("summed", 8, Tr("&Sum"));
    if (user_)
      Radio("recalc", 14, Tr("&Recalculate"), Tr("Evaluate the field based on totals of variables in the equation"));
    Radio("average", 12, Tr("&Averaged"));
    form_.AddLabel("average_label", 11, kAlignRight, Tr("Average By: "));
    form_.AddTile("namelist", TileType::kDropDown, 20, "");
    form_.RowBreak();
    // A label shows its text as it is: the accelerator goes to the field.
    form_.AddLabel("decimal_label", 8, kAlignRight, FromWx(wxStripMenuCodes(ToWx(Tr("Dec&imals")))));
    form_.AddEdit("decimal", 4, "3");
    form_.SetAccelerator("decimal", 'I');
    form_.RowBreak();
    form_.AddLabel("space", 0, kAlignLeft, "");
    form_.AddButton("save", 10, Tr("&Save"), on_tile_);
    form_.AddButton("delete", 10, Tr("&Delete"), on_tile_);
    form_.AddButton("exit", 10, Tr("E&xit"), on_tile_);

    if (auto* average_by = dynamic_cast<wxChoice*>(form_.FindControl("namelist")))
      for (const auto& key : keys_) average_by->Append(ToWx(key.first));
  }

  // The key list: the entries kept, and for display options the report's
  // fields that have none yet.
  void ShowKeys() {
    auto* combo = dynamic_cast<wxComboBox*>(form_.FindControl("key"));
    if (combo == nullptr) return;
    const wxString typed = combo->GetValue();
    combo->Clear();
    for (const UserAttribute& entry : entries_) combo->Append(ToWx(entry.key));
    if (!user_)
      for (const auto& key : keys_)
        if (Find(key.first) == nullptr) combo->Append(ToWx(key.first));
    combo->ChangeValue(typed);
  }

  UserAttribute* Find(const std::string& key) {
    for (UserAttribute& entry : entries_)
      if (EqualsNoCase(entry.key, key)) return &entry;
    return nullptr;
  }

  void Show(const UserAttribute& entry) {
    form_.SetText("key", entry.key);
    form_.SetText("note", entry.note);
    if (user_) {
      form_.SetText("shown", entry.shown ? "1" : "0");
      form_.SetText("equation", entry.equation);
    }
    const TotalOption total = TotalOptionOf(entry.aver_key);
    const char* radio = total == TotalOption::kNone          ? "nothing"
                        : total == TotalOption::kRecalculate ? (user_ ? "recalc" : "summed")
                        : total == TotalOption::kAverage     ? "average"
                                                             : "summed";
    form_.SetText(radio, "1");
    int average_by = -1;
    for (size_t i = 0; i < keys_.size() && total == TotalOption::kAverage; ++i)
      if (EqualsNoCase(keys_[i].first, *entry.aver_key)) average_by = static_cast<int>(i);
    form_.SetText("namelist", StrPrintf("%d", average_by));
    form_.SetText("decimal", StrPrintf("%d", entry.decimals));
  }

  std::string Text(const char* name) const {
    std::string text;
    form_.GetText(name, text);
    return std::string(Trim(text));
  }

  // The entry the controls show; nullopt after telling what is wrong.
  std::optional<UserAttribute> Shown() {
    UserAttribute entry;
    entry.key = Text("key");
    entry.note = Text("note");
    entry.shown = !user_ || Text("shown") == "1";
    if (user_) entry.equation = Text("equation");
    std::string problem = AttributeEntryProblem(entry, user_);
    const std::string decimals = Text("decimal");
    const auto [end, error] = std::from_chars(decimals.data(), decimals.data() + decimals.size(), entry.decimals);
    if (problem.empty() && (error != std::errc() || end != decimals.data() + decimals.size() || entry.decimals < 0 ||
                            entry.decimals > kMostDecimals))
      problem = StrPrintf(Tr("Decimals must be a number from 0 to %d"), kMostDecimals);
    if (Text("nothing") == "1") {
      entry.aver_key = "";
    } else if (user_ && Text("recalc") == "1") {
      entry.aver_key = kRecalculateKey;
    } else if (Text("average") == "1") {
      int index = -1;
      const std::string chosen = Text("namelist");
      std::from_chars(chosen.data(), chosen.data() + chosen.size(), index);
      if (index >= 0 && static_cast<size_t>(index) < keys_.size())
        entry.aver_key = keys_[static_cast<size_t>(index)].first;
      else if (problem.empty())
        problem = Tr("Please select the field to average by");
    }
    if (!problem.empty()) {
      formatter_.Port().ShowMessage(problem);
      return std::nullopt;
    }
    return entry;
  }

  bool Write() {
    const std::string& section = formatter_.Setup().section;
    bool written = false;
    if (user_) {
      written = WriteUserAttributes(file_, section, entries_);
    } else {
      std::vector<AttributeDisplay> displays;
      for (const UserAttribute& entry : entries_)
        displays.push_back(AttributeDisplay{entry.key, entry.note, entry.decimals, entry.aver_key});
      written = WriteAttributeDisplays(file_, section, displays);
    }
    if (!written) formatter_.Port().ShowMessage(StrPrintf(Tr("Can't write file %s"), file_.string().c_str()));
    return written;
  }

  void OnTile(PopDialog& host, const std::string& tile) {
    if (tile == "exit") {
      form_.End(0);
    } else if (tile == "key") {
      auto* combo = dynamic_cast<wxComboBox*>(form_.FindControl("key"));
      const std::string key = combo != nullptr ? FromWx(combo->GetStringSelection()) : std::string();
      if (const UserAttribute* entry = Find(key)) {
        Show(*entry);
      } else {
        // A report field without options yet: its own look to start from.
        for (const auto* list : {&formatter_.Fields().Used(), &formatter_.Fields().Available()})
          for (const ReportField& field : *list)
            if (EqualsNoCase(field.key, key))
              Show(UserAttribute{field.key, field.note, "", true, field.places, field.aver_key});
      }
    } else if (tile == "list") {
      const std::string key = PickReportKey(&host, keys_);
      if (key.empty()) return;
      // Where the user's cursor was; the brackets let any key stand in an equation.
      if (auto* equation = dynamic_cast<wxTextCtrl*>(form_.FindControl("equation")))
        equation->WriteText(ToWx("[" + key + "]"));
    } else if (tile == "save") {
      const std::optional<UserAttribute> shown = Shown();
      if (!shown) return;
      const std::vector<UserAttribute> before = entries_;
      if (UserAttribute* kept = Find(shown->key))
        *kept = *shown;
      else
        entries_.push_back(*shown);
      if (!Write()) entries_ = before;
      ShowKeys();
    } else if (tile == "delete") {
      const std::string key = Text("key");
      const std::vector<UserAttribute> before = entries_;
      std::erase_if(entries_, [&](const UserAttribute& entry) { return EqualsNoCase(entry.key, key); });
      if (entries_.size() == before.size()) return;
      if (!Write()) entries_ = before;
      ShowKeys();
      Show(entries_.empty() ? UserAttribute{} : entries_.front());
    }
  }

  Formatter& formatter_;
  const bool user_;
  const std::vector<std::pair<std::string, std::string>> keys_;
  std::filesystem::path file_;
  std::vector<UserAttribute> entries_;
  EZDialog form_;
  TileCallback on_tile_;
};

}  // namespace

void RunUserAttributesDialog(wxWindow* parent, Formatter& formatter) {
  AttributeDialog(formatter, true).Run(parent);
}

void RunAttributeDisplayDialog(wxWindow* parent, Formatter& formatter) {
  AttributeDialog(formatter, false).Run(parent);
}

std::string PickReportKey(wxWindow* parent, const std::vector<std::pair<std::string, std::string>>& keys) {
  EZDialog form;
  FormFrame frame;
  frame.title = Tr("Select one of available keys");
  if (!form.Create(parent, frame)) return {};
  std::string chosen;
  const TileCallback on_tile = [&](PopDialog&, const std::string& tile, int) {
    std::string text;
    form.GetText("keys", text);
    int index = -1;
    std::from_chars(text.data(), text.data() + text.size(), index);
    if (tile != "cancel" && index >= 0 && static_cast<size_t>(index) < keys.size())
      chosen = keys[static_cast<size_t>(index)].first;
    if (tile == "cancel" || !chosen.empty()) form.End(chosen.empty() ? 0 : 1);
  };
  form.AddLabel("heading", 62, kAlignLeft, StrPrintf("%-25.25s %-35.35s", Tr("Key"), Tr("Description")));
  form.RowBreak();
  form.AddTile("keys", TileType::kListBox, 62, "", TileOptions{.height = 14});
  form.RegisterCallback("keys", on_tile, kEventDoubleClick);
  form.RowBreak();
  form.AddLabel("space", 0, kAlignLeft, "");
  form.AddButton("ok", 8, Tr("OK"), on_tile);
  form.AddButton("cancel", 8, Tr("Cancel"), on_tile);
  wxFont fixed_pitch(wxFontInfo(form.Host()->GetFont().GetPointSize()).Family(wxFONTFAMILY_TELETYPE));
  if (auto* list = dynamic_cast<wxListBox*>(form.FindControl("keys"))) {
    list->SetFont(fixed_pitch);
    for (const auto& [key, note] : keys) list->Append(ToWx(StrPrintf("%-25.25s %-35.35s", key.c_str(), note.c_str())));
    if (!keys.empty()) list->SetSelection(0);
  }
  if (wxWindow* heading = form.FindControl("heading")) heading->SetFont(fixed_pitch);
  form.LayOutAndShow(true, true);
  form.RunModal();
  return chosen;
}

}  // namespace pelikon
