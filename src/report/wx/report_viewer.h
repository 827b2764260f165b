// The report viewer: a small editor showing a text report (or any text
// file) with its File, Edit and Settings menus, run modally over its
// parent. The user reads, edits, searches, saves, appends, previews and
// prints the text (all of it, or the lines of the selection when the print
// dialog asks for it) or sends it to the host ("Screen"), which ends the
// viewer with kSentToHost. Page and font settings come from "rview.ini" in the data
// folder.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <wx/evtloop.h>
#include <wx/fdrepdlg.h>
#include <wx/frame.h>
#include <wx/textctrl.h>

#include "report/viewer/viewer_settings.h"
#include "report/viewer/viewer_text.h"

namespace pelikon {

struct ViewerSetup {
  std::filesystem::path data_folder;
  std::filesystem::path save_folder;  // where Save As and Append To suggest a name
  std::filesystem::path file;         // shown first
};

class ReportViewer : public wxFrame {
 public:
  static constexpr int kSentToHost = 1000;
  // Command numbers of the menus.
  enum Command {
    kOpen = 28001,
    kSave = 28011,
    kSaveAs = 28003,
    kAppendTo = 28034,
    kPrint = 28012,
    kScreen = 28005,
    kExit = 28006,
    kUndo = 28017,
    kSelectAll = 28036,
    kCopy = 28013,
    kCut = 28014,
    kPaste = 28015,
    kDelete = 28037,
    // The search command's own number (57636) is past what window ids may
    // be (32767); it takes the next free number of the series.
    kSearch = 28038,
    kReplace = 28028,
    kOptions = 28035,
    // Print preview has no number of its own in the series either; it
    // takes the next free one after the search command's.
    kPrintPreview = 28039,
  };

  ReportViewer(wxWindow* parent, ViewerSetup setup);
  ~ReportViewer() override;

  // Shows the viewer and returns when it closes: kSentToHost, or 0.
  int Run();

  // Picks a file for a command (title, suggested path, true to save);
  // empty when the user cancels. The default is the desktop's picker.
  using FilePicker = std::function<std::filesystem::path(const std::string&, const std::filesystem::path&, bool)>;
  void SetFilePicker(FilePicker picker) { pick_file_ = std::move(picker); }

  wxTextCtrl* Text() const { return text_; }
  const std::filesystem::path& File() const { return file_; }
  bool Load(const std::filesystem::path& file);

 private:
  void BuildMenus();
  void OnCommand(wxCommandEvent& event);
  void OnClose(wxCloseEvent& event);
  void OnFind(wxFindDialogEvent& event);
  // False when the user chose not to go on.
  bool SaveAs();
  bool Save();
  void AppendTo();
  void Screen();
  void Print();
  void PrintPreview();
  void Exit();
  bool OfferToSave();
  void ShowFindDialog(bool replace);
  void EditOptions();
  void ApplyEditorFont();
  bool FindNext(const wxString& what, int flags);
  // The lines the text's selection touches; none without a selection.
  std::vector<std::string> SelectedLines() const;
  void UpdateTitle();
  std::filesystem::path Suggested() const;

  ViewerSetup setup_;
  ViewerSettings settings_;
  wxTextCtrl* text_ = nullptr;
  std::filesystem::path file_;
  ViewerText shown_;
  FilePicker pick_file_;
  wxFindReplaceData find_data_;
  wxFindReplaceDialog* find_dialog_ = nullptr;
  wxEventLoopBase* loop_ = nullptr;
  int result_ = 0;
};

}  // namespace pelikon
