// A user interface for tests: answers questions from a queue, records
// every text it is shown, and can press Cancel after a given number of
// pumps.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/ui.h"

namespace pelikon::testing {

class ScriptedUi final : public Ui {
 public:
  // Answers for the next questions, in order; an empty queue answers No.
  void QueueAnswer(int answer) { answers_.push_back(answer); }
  // Replies of the text dialogs (name, folder, path, text input, and the
  // new name of a conflict answered 12), in order; an empty queue cancels.
  void QueueText(std::string text, bool local = true) { texts_.push_back({std::move(text), local}); }
  // Presses Cancel at the n-th pump after the progress window opened.
  void CancelAtPump(int n) { cancel_at_pump_ = n; }

  void ShowMessageBox(const std::string& text) override;
  void ShowError(const std::string& message) override;
  void ShowMessage(const std::string& first, const std::string& second) override;
  int AskYesNo(const std::string& message, const std::string& caption, int flags) override;
  void ShowCaptioned(const std::string& text, const std::string& caption, bool error_icon) override;
  bool AskNewName(std::string& text) override;
  bool AskFolderName(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) override;
  bool AskPath(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) override;
  bool AskText(const std::string& caption, const std::string& prompt, std::string& text) override;
  // Takes the next text reply as the chosen path.
  bool AskExistingFile(const std::string& caption, const std::string& pattern, const std::filesystem::path& folder,
                       std::filesystem::path& chosen) override;
  int AskFileConflict(const std::string& target_name, bool offer_all, bool offer_merge, std::string& new_name) override;
  void OpenProgress(std::function<void()> on_cancel) override;
  void CloseProgress() override;
  bool ProgressOpen() const override { return progress_open_; }
  void SetProgressStatus(const std::string& text) override;
  void SetProgressBar(int percent) override;
  void SetProgressSubject(const std::string& text) override { shown_.push_back("subject: " + text); }
  void ShowNotConnectedHelp(const std::string& text) override { shown_.push_back("help: " + text); }
  void SetMainStatus(const std::string& text) override { main_status_ = text; }
  std::string MainStatus() const override { return main_status_; }
  void Pump() override;

  // Everything shown, one line each: "box: …", "error: …",
  // "message: … / …", "ask[flags]: caption: message", "status: …", "subject: …",
  // "help: …", "captioned: caption: text", "name: shown text",
  // "folder[remote allowed 0/1]: prompt", "path[0/1]: prompt: shown text",
  // "text: caption: prompt", "file: caption: pattern", "conflict[all 0/1, merge 0/1]: target".
  const std::vector<std::string>& Shown() const { return shown_; }
  // True when some shown line contains `text`.
  bool Saw(const std::string& text) const;
  const std::vector<int>& BarPositions() const { return bar_; }
  int Pumps() const { return pumps_; }

 private:
  struct TextReply {
    std::string text;
    bool local;
  };
  bool NextText(TextReply& reply);

  std::deque<int> answers_;
  std::deque<TextReply> texts_;
  std::vector<std::string> shown_;
  std::vector<int> bar_;
  std::function<void()> on_cancel_;
  bool progress_open_ = false;
  int pumps_ = 0;
  int pumps_since_open_ = 0;
  int cancel_at_pump_ = -1;
  std::string main_status_;
};

}  // namespace pelikon::testing
