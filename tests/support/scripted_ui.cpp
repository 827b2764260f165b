#include "support/scripted_ui.h"

#include "platform/text.h"

namespace pelikon::testing {

void ScriptedUi::ShowMessageBox(const std::string& text) {
  shown_.push_back("box: " + text);
}

void ScriptedUi::ShowError(const std::string& message) {
  shown_.push_back("error: " + message);
}

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

void ScriptedUi::ShowCaptioned(const std::string& text, const std::string& caption, bool /*error_icon*/) {
  shown_.push_back("captioned: " + caption + ": " + text);
}

bool ScriptedUi::NextText(TextReply& reply) {
  if (texts_.empty()) return false;
  reply = texts_.front();
  texts_.pop_front();
  return true;
}

bool ScriptedUi::AskNewName(std::string& text) {
  shown_.push_back("name: " + text);
  TextReply reply;
  if (!NextText(reply)) return false;
  if (!reply.text.empty()) text = reply.text;
  return true;
}

bool ScriptedUi::AskFolderName(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) {
  shown_.push_back(StrPrintf("folder[%d]: ", remote_allowed ? 1 : 0) + prompt);
  TextReply reply;
  if (!NextText(reply)) {
    text.clear();
    return false;
  }
  text = reply.text;
  local = reply.local || !remote_allowed;
  return true;
}

bool ScriptedUi::AskPath(const std::string& prompt, bool remote_allowed, std::string& text, bool& local) {
  shown_.push_back(StrPrintf("path[%d]: ", remote_allowed ? 1 : 0) + prompt + ": " + text);
  TextReply reply;
  if (!NextText(reply)) return false;
  text = reply.text;
  local = reply.local || !remote_allowed;
  return true;
}

bool ScriptedUi::AskText(const std::string& caption, const std::string& prompt, std::string& text) {
  shown_.push_back("text: " + caption + ": " + prompt);
  TextReply reply;
  if (!NextText(reply)) return false;
  text = reply.text;
  return true;
}

bool ScriptedUi::AskExistingFile(const std::string& caption, const std::string& pattern,
                                 const std::filesystem::path& /*folder*/, std::filesystem::path& chosen) {
  shown_.push_back("file: " + caption + ": " + pattern);
  TextReply reply;
  if (!NextText(reply)) return false;
  chosen = reply.text;
  return true;
}

int ScriptedUi::AskFileConflict(const std::string& target_name, bool offer_all, bool offer_merge,
                                std::string& new_name) {
  shown_.push_back(StrPrintf("conflict[%d,%d]: ", offer_all ? 1 : 0, offer_merge ? 1 : 0) + target_name);
  int answer = kAnswerNo;
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  if (answer == kAnswerRename) {
    TextReply reply;
    if (!NextText(reply)) return kAnswerNo;
    new_name = reply.text;
  }
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

void ScriptedUi::SetProgressStatus(const std::string& text) {
  shown_.push_back("status: " + text);
}

void ScriptedUi::SetProgressBar(int percent) {
  bar_.push_back(percent);
}

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
