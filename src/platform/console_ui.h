// A user interface for runs without windows (tools, unattended batch
// runs): texts go to a stream, questions get a fixed answer (printed in the
// words of the button it stands for), and the progress status is written
// only when asked for.
#pragma once

#include <cstdio>
#include <map>
#include <string>

#include "platform/ui.h"

namespace pelikon {

class ConsoleUi final : public Ui {
 public:
  // `answer` replies to every question; `show_progress` writes status lines.
  explicit ConsoleUi(std::FILE* out = stderr, int answer = kAnswerNo, bool show_progress = false)
      : out_(out), answer_(answer), show_progress_(show_progress) {}

  // Questions with the caption `caption` get `answer` instead.
  void AnswerQuestion(const std::string& caption, int answer) { answers_by_caption_[caption] = answer; }
  // The file conflict question gets `answer` (6, 7, 10 or 11) instead of
  // Skip File; an "all" answer where none is offered counts for the one file.
  void AnswerFileConflicts(int answer) { conflict_answer_ = answer; }

  void ShowMessageBox(const std::string& text) override;
  void ShowError(const std::string& message) override;
  void ShowMessage(const std::string& first, const std::string& second) override;
  int AskYesNo(const std::string& message, const std::string& caption, int flags) override;
  void ShowCaptioned(const std::string& text, const std::string& caption, bool error_icon) override;
  // Nobody can type: every input is cancelled.
  bool AskNewName(std::string& text) override;
  bool AskFolderName(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) override;
  bool AskPath(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) override;
  bool AskText(const std::string& caption, const std::string& prompt, std::string& text) override;
  bool AskExistingFile(const std::string& caption, const std::string& pattern, const std::filesystem::path& folder,
                       std::filesystem::path& chosen) override;
  int AskFileConflict(const std::string& target_name, bool offer_all, bool offer_merge, std::string& new_name) override;
  void OpenProgress(std::function<void()> on_cancel) override;
  void CloseProgress() override;
  bool ProgressOpen() const override { return progress_open_; }
  void SetProgressStatus(const std::string& text) override;
  void SetProgressBar(int percent) override;
  void SetProgressSubject(const std::string& text) override { SetProgressStatus(text); }
  void ShowNotConnectedHelp(const std::string& text) override { ShowMessageBox(text); }
  void SetMainStatus(const std::string& text) override { main_status_ = text; }
  std::string MainStatus() const override { return main_status_; }
  void Pump() override {}

 private:
  std::FILE* out_;
  int answer_;
  bool show_progress_;
  std::map<std::string, int> answers_by_caption_;
  int conflict_answer_ = kAnswerNo;
  bool progress_open_ = false;
  std::string main_status_;
};

}  // namespace pelikon
