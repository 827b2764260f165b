#include "report/wx/report_viewer.h"

#include <algorithm>
#include <optional>

#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/printdlg.h>
#include <wx/prntbase.h>
#include <wx/sizer.h>

#include "dialogs/wx/plain_message_box.h"
#include "dialogs/wx/wx_text.h"
#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/wx/file_picker.h"
#include "report/wx/print_file_suggestion.h"
#include "report/wx/print_selection.h"
#include "report/wx/report_printout.h"
#include "report/wx/viewer_options_dialog.h"

namespace pelikon {

namespace {

std::filesystem::path PickWithDesktop(wxWindow* parent, const std::string& title,
                                      const std::filesystem::path& suggested, bool save) {
  return PickFileOnDesktop(parent, FilePick{title, suggested, "", save});
}

}  // namespace

ReportViewer::ReportViewer(wxWindow* parent, ViewerSetup setup)
    : wxFrame(parent, wxID_ANY, wxString(), wxDefaultPosition, wxSize(820, 620),
              wxDEFAULT_FRAME_STYLE | wxFRAME_FLOAT_ON_PARENT),
      setup_(std::move(setup)),
      settings_(ReadViewerSettings(setup_.data_folder)) {
  text_ = new wxTextCtrl(this, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
                         wxTE_MULTILINE | wxTE_RICH2 | wxTE_DONTWRAP | wxTE_NOHIDESEL);
  text_->SetFont(
      wxFont(wxFontInfo(settings_.font_size).Family(wxFONTFAMILY_TELETYPE).FaceName(ToWx(settings_.font_name))));
  auto* sizer = new wxBoxSizer(wxVERTICAL);
  sizer->Add(text_, 1, wxEXPAND);
  SetSizer(sizer);
  BuildMenus();
  pick_file_ = [this](const std::string& title, const std::filesystem::path& suggested, bool save) {
    return PickWithDesktop(this, title, suggested, save);
  };
  Bind(wxEVT_MENU, &ReportViewer::OnCommand, this);
  Bind(wxEVT_CLOSE_WINDOW, &ReportViewer::OnClose, this);
  Bind(wxEVT_FIND, &ReportViewer::OnFind, this);
  Bind(wxEVT_FIND_NEXT, &ReportViewer::OnFind, this);
  Bind(wxEVT_FIND_REPLACE, &ReportViewer::OnFind, this);
  Bind(wxEVT_FIND_REPLACE_ALL, &ReportViewer::OnFind, this);
  Bind(wxEVT_FIND_CLOSE, [this](wxFindDialogEvent&) {
    if (find_dialog_ != nullptr) find_dialog_->Destroy();
    find_dialog_ = nullptr;
  });
  text_->Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent&) {
    wxMenu menu;
    menu.Append(kUndo, ToWx(Tr("&Undo")));
    menu.AppendSeparator();
    menu.Append(kCut, ToWx(Tr("&Cut")));
    menu.Append(kCopy, ToWx(Tr("&Copy")));
    menu.Append(kPaste, ToWx(Tr("&Paste")));
    menu.Append(kDelete, ToWx(Tr("&Delete")));
    menu.AppendSeparator();
    menu.Append(kSelectAll, ToWx(Tr("&Select All")));
    PopupMenu(&menu);
  });
  if (!setup_.file.empty()) Load(setup_.file);
}

ReportViewer::~ReportViewer() {
  if (find_dialog_ != nullptr) find_dialog_->Destroy();
}

void ReportViewer::BuildMenus() {
  auto* file = new wxMenu;
  file->Append(kOpen, ToWx(Tr("&Open")));
  file->Append(kSave, ToWx(Tr("&Save")));
  file->Append(kSaveAs, ToWx(Tr("Save &As")));
  file->Append(kAppendTo, ToWx(Tr("Append &To")));
  file->AppendSeparator();
  file->Append(kPrint, ToWx(Tr("&Print")));
  file->Append(kPrintPreview, ToWx(Tr("Print Pre&view")));
  file->Append(kScreen, ToWx(Tr("Sc&reen")));
  file->AppendSeparator();
  file->Append(kExit, ToWx(Tr("E&xit")));
  auto* edit = new wxMenu;
  edit->Append(kUndo, ToWx(Tr("&Undo\tCtrl+Z")));
  edit->AppendSeparator();
  edit->Append(kSelectAll, ToWx(Tr("Se&lect All\tCtrl+A")));
  edit->Append(kCopy, ToWx(Tr("&Copy\tCtrl+C")));
  edit->Append(kCut, ToWx(Tr("C&ut\tCtrl+X")));
  edit->Append(kPaste, ToWx(Tr("&Paste\tCtrl+V")));
  edit->AppendSeparator();
  edit->Append(kSearch, ToWx(Tr("&Search\tCtrl+F")));
  edit->Append(kReplace, ToWx(Tr("&Replace\tCtrl+H")));
  auto* settings = new wxMenu;
  settings->Append(kOptions, ToWx(Tr("&Options...")));
  auto* bar = new wxMenuBar;
  bar->Append(file, ToWx(Tr("&File")));
  bar->Append(edit, ToWx(Tr("&Edit")));
  bar->Append(settings, ToWx(Tr("&Settings")));
  SetMenuBar(bar);
}

int ReportViewer::Run() {
  wxWindowDisabler others(this);
  Show();
  Raise();
  text_->SetFocus();
  wxGUIEventLoop loop;
  loop_ = &loop;
  loop.Run();
  loop_ = nullptr;
  Hide();
  return result_;
}

bool ReportViewer::Load(const std::filesystem::path& file) {
  ViewerText loaded;
  if (!LoadViewerText(file, settings_.degree_symbols, loaded)) {
    ShowMessageBox(this, Tr("Unable to load file"), Tr("Report Viewer"), true);
    return false;
  }
  shown_ = std::move(loaded);
  file_ = file;
  text_->ChangeValue(ToWx(shown_.text));
  text_->DiscardEdits();
  UpdateTitle();
  return true;
}

void ReportViewer::UpdateTitle() {
  SetTitle(ToWx(StrPrintf(Tr("%s Edit : %s"), kReportViewerName, file_.string().c_str())));
}

std::filesystem::path ReportViewer::Suggested() const {
  if (shown_.is_report) return SuggestedReportFile(setup_.save_folder, shown_.title);
  return file_;
}

bool ReportViewer::SaveAs() {
  const std::filesystem::path chosen = pick_file_(Tr("File to Save As"), Suggested(), true);
  if (chosen.empty()) return false;
  if (WriteFileAtomically(chosen, FromWx(text_->GetValue()))) {
    ShowMessageBox(this, StrPrintf(Tr("Can't write file %s"), chosen.c_str()), Tr("Report Viewer"), true);
    return false;
  }
  file_ = chosen;
  shown_.is_report = false;
  text_->DiscardEdits();
  UpdateTitle();
  return true;
}

bool ReportViewer::Save() {
  // The report the formatter wrote is its own: it is saved under a name.
  if (shown_.is_report || file_.empty()) return SaveAs();
  if (WriteFileAtomically(file_, FromWx(text_->GetValue()))) {
    ShowMessageBox(this, StrPrintf(Tr("Can't write file %s"), file_.c_str()), Tr("Report Viewer"), true);
    return false;
  }
  text_->DiscardEdits();
  return true;
}

void ReportViewer::AppendTo() {
  const std::filesystem::path chosen = pick_file_(Tr("File to Append To"), Suggested(), true);
  if (chosen.empty()) return;
  std::string old;
  ReadWholeFile(chosen, old);
  std::string text = FromWx(text_->GetValue());
  if (!text.empty() && text.back() != '\n') text.push_back('\n');
  if (WriteFileAtomically(chosen, old + text))
    ShowMessageBox(this, StrPrintf(Tr("Can't write file %s"), chosen.c_str()), Tr("Report Viewer"), true);
}

void ReportViewer::Screen() {
  if (WriteFileAtomically(setup_.data_folder / "tobrrprt.scr", FromWx(text_->GetValue()))) return;
  result_ = kSentToHost;
  if (loop_ != nullptr) loop_->Exit();
}

bool ReportViewer::OfferToSave() {
  if (!text_->IsModified()) return true;
  wxMessageDialog question(this, ToWx(Tr("Save Changes to Report?")), ToWx(Tr("Confirm Exit")),
                           wxYES_NO | wxCANCEL | wxICON_QUESTION);
  const int answer = question.ShowModal();
  if (answer == wxID_CANCEL) return false;
  return answer != wxID_YES || Save();
}

void ReportViewer::Exit() {
  if (!OfferToSave()) return;
  if (loop_ != nullptr) loop_->Exit();
}

void ReportViewer::OnClose(wxCloseEvent& event) {
  if (loop_ == nullptr) {
    event.Skip();
    return;
  }
  event.Veto();
  Exit();
}

std::vector<std::string> ReportViewer::SelectedLines() const {
  long from = 0, to = 0;
  text_->GetSelection(&from, &to);
  TextSpot start, end;
  if (from == to || !text_->PositionToXY(from, &start.column, &start.line) ||
      !text_->PositionToXY(to, &end.column, &end.line))
    return {};
  return LinesOfSelection(SplitPrintLines(FromWx(text_->GetValue())), start, end);
}

void ReportViewer::Print() {
  ReportPrintout printout(ReportJobName(), FromWx(text_->GetValue()), settings_);
  wxPrintDialogData data;
  std::filesystem::path pdf = Suggested();
  SuggestPrintFile(data.GetPrintData(), pdf.replace_extension(".pdf"));
  std::vector<std::string> selected = SelectedLines();
  std::optional<PrintSelectionOffer> offer;
  if (!selected.empty()) offer.emplace(data);
  wxPrinter printer(&data);
  if (offer) printout.OfferSelection(std::move(selected), [&printer] { return PrintSelectionOffer::Chosen(printer); });
  if (!printer.Print(this, &printout, true) && wxPrinter::GetLastError() == wxPRINTER_ERROR)
    ShowMessageBox(this, Tr("Print Error!"), Tr("Report Viewer"), true);
  if (printout.ReducedTo() > 0)
    ShowMessageBox(this, StrPrintf(Tr("Number of lines per page\nwas reduced to %d to fit"), printout.ReducedTo()),
                   Tr("Report Viewer"), false);
}

// The whole text on the screen, page by page, over the viewer until closed.
void ReportViewer::PrintPreview() {
  const std::string text = FromWx(text_->GetValue());
  wxPrintDialogData data;
  auto* preview = new wxPrintPreview(new ReportPrintout(ReportJobName(), text, settings_),
                                     new ReportPrintout(ReportJobName(), text, settings_), &data);
  if (!preview->IsOk()) {
    delete preview;
    ShowMessageBox(this, Tr("Print Error!"), Tr("Report Viewer"), true);
    return;
  }
  auto* frame = new wxPreviewFrame(preview, this, ToWx(ReportJobName()), wxDefaultPosition, GetSize());
  frame->InitializeWithModality(wxPreviewFrame_WindowModal);
  frame->Show();
}

void ReportViewer::ApplyEditorFont() {
  wxFont font(wxFontInfo(settings_.font_size).Family(wxFONTFAMILY_TELETYPE).FaceName(ToWx(settings_.font_name)));
  font.SetNumericWeight(std::clamp(settings_.font_weight, 1, 1000));
  // A new font is no change of the text (the toolkit marks it as one).
  const bool modified = text_->IsModified();
  text_->SetFont(font);
  if (!modified) text_->DiscardEdits();
}

// Leaving the options applies the editor font and keeps the settings.
void ReportViewer::EditOptions() {
  ViewerSettings chosen = settings_;
  ViewerOptionsDialog dialog(this, chosen);
  dialog.ShowModal();
  settings_ = chosen;
  ApplyEditorFont();
  if (!WriteViewerSettings(setup_.data_folder, settings_))
    ShowMessageBox(this, StrPrintf(Tr("Can't write file %s"), (setup_.data_folder / kViewerSettingsFile).c_str()),
                   Tr("Report Viewer"), true);
}

void ReportViewer::ShowFindDialog(bool replace) {
  if (find_dialog_ != nullptr) find_dialog_->Destroy();
  find_dialog_ = new wxFindReplaceDialog(this, &find_data_, ToWx(Tr(replace ? "Replace" : "Search")),
                                         replace ? wxFR_REPLACEDIALOG : 0);
  find_dialog_->Show();
}

// From the caret (or after the selection) to the end; selects the match.
bool ReportViewer::FindNext(const wxString& what, int flags) {
  if (what.empty()) return false;
  const wxString text = text_->GetValue();
  long from = 0, to = 0;
  text_->GetSelection(&from, &to);
  const bool match_case = (flags & wxFR_MATCHCASE) != 0;
  const wxString haystack = match_case ? text : text.Lower();
  const wxString needle = match_case ? what : what.Lower();
  const size_t at = haystack.find(needle, static_cast<size_t>(to));
  if (at == wxString::npos) return false;
  text_->SetSelection(static_cast<long>(at), static_cast<long>(at + what.length()));
  text_->ShowPosition(static_cast<long>(at));
  return true;
}

void ReportViewer::OnFind(wxFindDialogEvent& event) {
  const wxEventType type = event.GetEventType();
  const wxString what = event.GetFindString();
  if (type == wxEVT_FIND_REPLACE_ALL) {
    int replaced = 0;
    text_->SetSelection(0, 0);
    while (FindNext(what, event.GetFlags())) {
      long from = 0, to = 0;
      text_->GetSelection(&from, &to);
      text_->Replace(from, to, event.GetReplaceString());
      text_->SetSelection(from + static_cast<long>(event.GetReplaceString().length()),
                          from + static_cast<long>(event.GetReplaceString().length()));
      ++replaced;
    }
    ShowMessageBox(this, Tr(replaced > 0 ? "Search finished" : "No match found"), Tr("Report Viewer"), false);
    return;
  }
  if (type == wxEVT_FIND_REPLACE && text_->GetStringSelection() == what && !what.empty()) {
    long from = 0, to = 0;
    text_->GetSelection(&from, &to);
    text_->Replace(from, to, event.GetReplaceString());
    text_->SetSelection(from, from + static_cast<long>(event.GetReplaceString().length()));
  }
  if (!FindNext(what, event.GetFlags()))
    ShowMessageBox(this, Tr(type == wxEVT_FIND ? "No match found" : "Search finished"), Tr("Report Viewer"), false);
}

void ReportViewer::OnCommand(wxCommandEvent& event) {
  switch (event.GetId()) {
    case kOpen:
      if (OfferToSave()) {
        const std::filesystem::path chosen = pick_file_(Tr("File to Load"), file_, false);
        if (!chosen.empty()) Load(chosen);
      }
      break;
    case kSave:
      Save();
      break;
    case kSaveAs:
      SaveAs();
      break;
    case kAppendTo:
      AppendTo();
      break;
    case kPrint:
      Print();
      break;
    case kPrintPreview:
      PrintPreview();
      break;
    case kScreen:
      Screen();
      break;
    case kExit:
      Exit();
      break;
    case kUndo:
      text_->Undo();
      break;
    case kSelectAll:
      text_->SelectAll();
      break;
    case kCopy:
      text_->Copy();
      break;
    case kCut:
      text_->Cut();
      break;
    case kPaste:
      text_->Paste();
      break;
    case kDelete: {
      long from = 0, to = 0;
      text_->GetSelection(&from, &to);
      if (from != to) text_->Remove(from, to);
      break;
    }
    case kSearch:
      ShowFindDialog(false);
      break;
    case kReplace:
      ShowFindDialog(true);
      break;
    case kOptions:
      EditOptions();
      break;
    default:
      event.Skip();
  }
}

}  // namespace pelikon
