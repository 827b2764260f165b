#include "platform/console_ui.h"

namespace pelikon {

void ConsoleUi::ShowMessageBox(const std::string& text) {
  std::fprintf(out_, "%s\n", text.c_str());
}

void ConsoleUi::ShowError(const std::string& message) {
  std::fprintf(out_, "ERROR! %s\n", message.c_str());
}

void ConsoleUi::ShowMessage(const std::string& first, const std::string& second) {
  std::fprintf(out_, "%s\n%s\n", first.c_str(), second.c_str());
}

int ConsoleUi::AskYesNo(const std::string& message, const std::string& caption, int /*flags*/) {
  std::fprintf(out_, "%s: %s -> %d\n", caption.c_str(), message.c_str(), answer_);
  return answer_;
}

void ConsoleUi::ShowCaptioned(const std::string& text, const std::string& caption, bool /*error_icon*/) {
  std::fprintf(out_, "%s: %s\n", caption.c_str(), text.c_str());
}

bool ConsoleUi::AskNewName(std::string& /*text*/) {
  return false;
}

bool ConsoleUi::AskFolderName(const std::string& prompt, bool /*remote_allowed*/, std::string& /*text*/,
                              bool& /*local*/) {
  std::fprintf(out_, "%s -> cancelled\n", prompt.c_str());
  return false;
}

bool ConsoleUi::AskPath(const std::string& prompt, bool /*remote_allowed*/, std::string& /*text*/, bool& /*local*/) {
  std::fprintf(out_, "%s -> cancelled\n", prompt.c_str());
  return false;
}

bool ConsoleUi::AskText(const std::string& caption, const std::string& prompt, std::string& /*text*/) {
  std::fprintf(out_, "%s: %s -> cancelled\n", caption.c_str(), prompt.c_str());
  return false;
}

int ConsoleUi::AskFileConflict(const std::string& target_name, bool /*offer_all*/, bool /*offer_merge*/,
                               std::string& /*new_name*/) {
  std::fprintf(out_, "%s exists -> %d\n", target_name.c_str(), kAnswerNo);
  return kAnswerNo;
}

void ConsoleUi::OpenProgress(std::function<void()> /*on_cancel*/) {
  progress_open_ = true;
}

void ConsoleUi::CloseProgress() {
  progress_open_ = false;
}

void ConsoleUi::SetProgressStatus(const std::string& text) {
  if (show_progress_) std::fprintf(out_, "%s\n", text.c_str());
}

void ConsoleUi::SetProgressBar(int /*percent*/) {}

}  // namespace pelikon
