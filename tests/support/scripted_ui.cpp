#include "support/scripted_ui.h"

#include "platform/text.h"

namespace pelikon::testing {

void ScriptedUi::ShowMessageBox(const std::string& text) { shown_.push_back("box: " + text); }

void ScriptedUi::ShowError(const std::string& message) { shown_.push_back("error: " + message); }

void ScriptedUi::ShowMessage(const std::string& first, const std::string& second) {
  shown_.push_back("message: " + first + " / " + second);
}

int ScriptedUi::AskYesNo(const std::string& message, const std::string& caption, int flags) {
  shown_.push_back(StrPrintf("ask[%#x]: ", flags) + caption + ": " + message);
  if (answers_.empty()) return kAnswerNo;
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

void ScriptedUi::OpenProgress(std::function<void()> on_cancel) {
  on_cancel_ = std::move(on_cancel);
  progress_open_ = true;
  pumps_since_open_ = 0;
}

void ScriptedUi::CloseProgress() {
  progress_open_ = false;
  on_cancel_ = nullptr;
}

void ScriptedUi::SetProgressStatus(const std::string& text) { shown_.push_back("status: " + text); }

void ScriptedUi::SetProgressBar(int percent) { bar_.push_back(percent); }

void ScriptedUi::Pump() {
  ++pumps_;
  if (!progress_open_) return;
  if (++pumps_since_open_ == cancel_at_pump_ && on_cancel_) on_cancel_();
}

bool ScriptedUi::Saw(const std::string& text) const {
  for (const std::string& line : shown_)
    if (line.find(text) != std::string::npos) return true;
  return false;
}

}  // namespace pelikon::testing
