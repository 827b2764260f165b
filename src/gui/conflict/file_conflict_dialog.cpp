#include "gui/conflict/file_conflict_dialog.h"

#include <array>
#include <string_view>
#include <utility>

#include <wx/artprov.h>

#include "dialogs/new_file_name.h"
#include "dialogs/wx/ez_dialog.h"
#include "dialogs/wx/plain_message_box.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/ui.h"

namespace pelikon {

namespace {

constexpr int kLogoSize = 48;

// The buttons that answer at once.
constexpr std::array<std::pair<std::string_view, int>, 5> kAnswers{{
    {"overwrite", kAnswerYes},
    {"overwrite_all", kAnswerYesAll},
    {"skip", kAnswerNo},
    {"skip_all", kAnswerNoAll},
    {"merge", kAnswerMerge},
}};

bool IsAnswer(int code) {
  if (code == kAnswerRename) return true;
  for (const auto& [tile, answer] : kAnswers)
    if (answer == code) return true;
  return false;
}

}  // namespace

int RunFileConflictDialog(wxWindow* parent, const std::string& target_name, bool offer_all, bool offer_merge,
                          std::string& new_name) {
  EZDialog form;
  FormFrame frame;
  frame.title = Tr("File Conflict Resolution");
  frame.system_menu = false;
  frame.stay_on_top = true;
  if (!form.Create(parent, frame)) return kAnswerNo;
  form.Values().SetText("filename", target_name);

  const TileCallback on_button = [&](PopDialog& host, const std::string& tile, int) {
    for (const auto& [name, answer] : kAnswers) {
      if (tile == name) {
        form.End(answer);
        return;
      }
    }
    // The button, or Enter in the name field.
    if (tile != "rename" && tile != "name") return;
    std::string typed;
    form.GetText("name", typed);
    if (const char* problem = NewFileNameProblem(typed, form.Values().GetText("filename"))) {
      ShowPlainMessageBox(&host, Tr(problem));
      return;  // the dialog stays open for another try
    }
    new_name = typed;
    form.End(kAnswerRename);
  };

  form.BeginColumn("logo_column", "");
  form.AddLabel("logo", kLogoSize, kAlignLeft, "");
  form.SetTileImage("logo", wxArtProvider::GetBitmap(wxART_WARNING, wxART_MESSAGE_BOX, wxSize(kLogoSize, kLogoSize)));
  form.EndColumn();
  form.AddLabel("space", 0, kAlignLeft, "");
  form.BeginColumn("message_column", "");
  form.AddLabel("message1", 40, kAlignLeft, StrPrintf(Tr("WARNING! Target file '%s' exists."), target_name.c_str()));
  form.RowBreak();
  form.AddLabel("message2", 40, kAlignLeft, Tr("Copying as is will DESTROY original file. Select action:"));
  form.RowBreak();
  form.AddButton("overwrite", 15, Tr("Overwrite File"), on_button);
  if (offer_all) form.AddButton("overwrite_all", 0, Tr("Overwrite All Existing"), on_button);
  form.RowBreak();
  form.AddButton("skip", 15, Tr("Skip File"), on_button);
  if (offer_all) form.AddButton("skip_all", 0, Tr("Skip All Existing"), on_button);
  form.RowBreak();
  form.AddLabel("rentxt", 10, kAlignRight, Tr("New name"));
  form.AddEdit("name", 20, "");
  form.AddButton("rename", 0, Tr("Rename File"), on_button);
  form.RowBreak();
  if (offer_merge && EqualsNoCase(FileNameExtension(target_name), "crd")) {
    form.AddButton("merge", 15, Tr("Merge Points"), on_button);
    form.RowBreak();
  }
  form.EndColumn();
  form.RegisterCallback("name", on_button, kEventEnter);
  // Escape and the close box skip the file, and Enter skips it until the
  // user moves elsewhere: leaving the question must never overwrite.
  form.SetAccelerator("skip", kEscapeAccelerator);
  form.SetFirstFocus("skip");

  form.LayOutAndShow(true, false);
  const int answer = form.RunModal();
  return IsAnswer(answer) ? answer : kAnswerNo;
}

}  // namespace pelikon
