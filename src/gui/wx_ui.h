// The user-interface port on wxWidgets: questions, error and message
// windows, the progress window over the disabled main window, and the
// pump that keeps every window alive while the link waits.
#pragma once

#include <chrono>
#include <functional>
#include <string>

#include <wx/window.h>

#include "platform/ui.h"

namespace pelikon {

class CAviDlg;

// What the port needs of the main window.
class MainWindowSurface {
 public:
  virtual ~MainWindowSurface() = default;
  virtual wxWindow* Window() = 0;
  virtual void SetStatusLine(const std::string& text) = 0;
  virtual std::string StatusLine() const = 0;
  // Hides the remote list and shows `text` in its place.
  virtual void ShowHelpText(const std::string& text) = 0;
};

class WxUi final : public Ui {
 public:
  explicit WxUi(MainWindowSurface& main) : main_(main) {}
  ~WxUi() override;

  void ShowMessageBox(const std::string& text) override;
  void ShowError(const std::string& message) override;
  void ShowMessage(const std::string& first, const std::string& second) override;
  int AskYesNo(const std::string& message, const std::string& caption, int flags) override;
  void ShowCaptioned(const std::string& text, const std::string& caption, bool error_icon) override;
  bool AskNewName(std::string& text) override;
  bool AskFolderName(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) override;
  bool AskPath(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) override;
  bool AskText(const std::string& caption, const std::string& prompt, std::string& text) override;
  bool AskExistingFile(const std::string& caption, const std::string& pattern, const std::filesystem::path& folder,
                       std::filesystem::path& chosen) override;
  int AskFileConflict(const std::string& target_name, bool offer_all, bool offer_merge, std::string& new_name) override;
  void OpenProgress(std::function<void()> on_cancel) override;
  void CloseProgress() override;
  bool ProgressOpen() const override { return progress_ != nullptr; }
  void SetProgressStatus(const std::string& text) override;
  void SetProgressBar(int percent) override;
  void SetProgressSubject(const std::string& text) override;
  void ShowNotConnectedHelp(const std::string& text) override { main_.ShowHelpText(text); }
  void SetMainStatus(const std::string& text) override { main_.SetStatusLine(text); }
  std::string MainStatus() const override { return main_.StatusLine(); }
  // Handles what is waiting, at most once per few milliseconds: the link
  // calls this from every wait, far more often than anyone can click.
  void Pump() override;

  // The progress window, when open (for tests).
  CAviDlg* ProgressWindow() const { return progress_; }
  // Stands in for the system's file picker, which a test cannot fill in
  // without showing it: gets the caption and sets the chosen file.
  using FilePicker = std::function<bool(const std::string& caption, std::filesystem::path& chosen)>;
  void SetFilePicker(FilePicker picker) { file_picker_ = std::move(picker); }

 private:
  // The window that owns a pop-up: the progress window while it shows.
  wxWindow* PopupParent();

  MainWindowSurface& main_;
  CAviDlg* progress_ = nullptr;
  FilePicker file_picker_;
  std::chrono::steady_clock::time_point last_pump_{};
};

}  // namespace pelikon
