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
  // Presses Cancel at the n-th pump after the progress window opened.
  void CancelAtPump(int n) { cancel_at_pump_ = n; }

  void ShowMessageBox(const std::string& text) override;
  void ShowError(const std::string& message) override;
  void ShowMessage(const std::string& first, const std::string& second) override;
  int AskYesNo(const std::string& message, const std::string& caption, int flags) override;
  void OpenProgress(std::function<void()> on_cancel) override;
  void CloseProgress() override;
  bool ProgressOpen() const override { return progress_open_; }
  void SetProgressStatus(const std::string& text) override;
  void SetProgressBar(int percent) override;
  void ShowNotConnectedHelp(const std::string& text) override { shown_.push_back("help: " + text); }
  void SetMainStatus(const std::string& text) override { main_status_ = text; }
  std::string MainStatus() const override { return main_status_; }
  void Pump() override;

  // Everything shown, one line each: "box: …", "error: …",
  // "message: … / …", "ask[flags]: caption: message", "status: …",
  // "help: …".
  const std::vector<std::string>& Shown() const { return shown_; }
  // True when some shown line contains `text`.
  bool Saw(const std::string& text) const;
  const std::vector<int>& BarPositions() const { return bar_; }
  int Pumps() const { return pumps_; }

 private:
  std::deque<int> answers_;
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
