#include "platform/console_ui.h"

namespace pelikon {

void ConsoleUi::ShowMessageBox(const std::string& text) { std::fprintf(out_, "%s\n", text.c_str()); }

void ConsoleUi::ShowError(const std::string& message) { std::fprintf(out_, "ERROR! %s\n", message.c_str()); }

void ConsoleUi::ShowMessage(const std::string& first, const std::string& second) {
  std::fprintf(out_, "%s\n%s\n", first.c_str(), second.c_str());
}

int ConsoleUi::AskYesNo(const std::string& message, const std::string& caption, int /*flags*/) {
  std::fprintf(out_, "%s: %s -> %d\n", caption.c_str(), message.c_str(), answer_);
  return answer_;
}

void ConsoleUi::OpenProgress(std::function<void()> /*on_cancel*/) { progress_open_ = true; }

void ConsoleUi::CloseProgress() { progress_open_ = false; }

void ConsoleUi::SetProgressStatus(const std::string& text) {
  if (show_progress_) std::fprintf(out_, "%s\n", text.c_str());
}

void ConsoleUi::SetProgressBar(int /*percent*/) {}

}  // namespace pelikon
