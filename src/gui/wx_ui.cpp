#include "gui/wx_ui.h"

#include <wx/app.h>
#include <wx/filedlg.h>

#include "dialogs/wx/plain_message_box.h"
#include "dialogs/wx/text_input_window.h"
#include "dialogs/wx/wx_text.h"
#include "gui/conflict/file_conflict_dialog.h"
#include "gui/dialogs/dir_dialog.h"
#include "gui/dialogs/file_mask_dialog.h"
#include "gui/dialogs/message_dialogs.h"
#include "gui/dialogs/path_dialog.h"
#include "gui/dialogs/progress_dialog.h"
#include "gui/dialogs/yes_no_dialog.h"

namespace pelikon {

namespace {

// Often enough that the window never looks stuck, rarely enough that the
// link's tight waits do not spend their time dispatching nothing.
constexpr std::chrono::milliseconds kPumpInterval{5};

}  // namespace

WxUi::~WxUi() {
  CloseProgress();
}

wxWindow* WxUi::PopupParent() {
  return progress_ ? static_cast<wxWindow*>(progress_) : main_.Window();
}

void WxUi::ShowMessageBox(const std::string& text) {
  ShowPlainMessageBox(PopupParent(), text);
}

void WxUi::ShowError(const std::string& message) {
  CComError dialog(PopupParent(), message);
  dialog.ShowModal();
}

void WxUi::ShowMessage(const std::string& first, const std::string& second) {
  CMsgDlg dialog(PopupParent(), first, second);
  dialog.ShowModal();
}

int WxUi::AskYesNo(const std::string& message, const std::string& caption, int flags) {
  CYesNoDlg dialog(PopupParent(), message, caption, flags);
  return dialog.ShowModal();
}

void WxUi::ShowCaptioned(const std::string& text, const std::string& caption, bool error_icon) {
  pelikon::ShowMessageBox(PopupParent(), text, caption, error_icon);
}

bool WxUi::AskNewName(std::string& text) {
  CFileMask dialog(PopupParent(), CFileMask::Form::kRename, text);
  return dialog.ShowModal() == wxID_OK;
}

bool WxUi::AskFolderName(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) {
  CDir dialog(PopupParent(), prompt, remote_allowed);
  const bool accepted = dialog.ShowModal() == wxID_OK;
  text = accepted ? dialog.Name() : std::string();
  local = dialog.LocalChosen();
  return accepted;
}

bool WxUi::AskPath(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) {
  CPath dialog(PopupParent(), prompt, text, local, remote_allowed);
  if (dialog.ShowModal() != wxID_OK) return false;
  text = dialog.Path();
  local = dialog.LocalChosen();
  return true;
}

bool WxUi::AskText(const std::string& caption, const std::string& prompt, std::string& text) {
  return RunTextInputWindow(PopupParent(), caption, prompt, text) == 1;
}

bool WxUi::AskExistingFile(const std::string& caption, const std::string& pattern, const std::filesystem::path& folder,
                           std::filesystem::path& chosen) {
  if (file_picker_) return file_picker_(caption, chosen);
  wxFileDialog picker(PopupParent(), ToWx(caption), ToWx(folder.string()), wxString(), ToWx(pattern + "|" + pattern),
                      wxFD_OPEN | wxFD_FILE_MUST_EXIST);
  if (picker.ShowModal() != wxID_OK) return false;
  chosen = std::filesystem::path(picker.GetPath().utf8_string());
  return !chosen.empty();
}

int WxUi::AskFileConflict(const std::string& target_name, bool offer_all, bool offer_merge, std::string& new_name) {
  return RunFileConflictDialog(PopupParent(), target_name, offer_all, offer_merge, new_name);
}

void WxUi::OpenProgress(std::function<void()> on_cancel) {
  if (progress_) return;
  progress_ = new CAviDlg(main_.Window(), std::move(on_cancel));
  progress_->Show();
  progress_->Update();
}

void WxUi::CloseProgress() {
  if (!progress_) return;
  CAviDlg::Dismiss(progress_);
}

void WxUi::SetProgressStatus(const std::string& text) {
  if (progress_) progress_->SetStatus(text);
}

void WxUi::SetProgressBar(int percent) {
  if (progress_) progress_->SetBar(percent);
}

void WxUi::SetProgressSubject(const std::string& text) {
  if (progress_) progress_->SetSubject(text);
}

void WxUi::Pump() {
  const auto now = std::chrono::steady_clock::now();
  if (now - last_pump_ < kPumpInterval) return;
  last_pump_ = now;
  // Outside a running loop (start-up, tests) wx makes a passing one.
  if (wxTheApp) wxTheApp->Yield(true);
}

}  // namespace pelikon
