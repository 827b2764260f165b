#include "platform/console_ui.h"

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

// A button's text without its keyboard mark.
std::string ButtonWords(const char* text) {
  std::string words = Tr(text);
  std::erase(words, '&');
  return words;
}

// The button of the yes/no dialog that gives `answer`.
std::string QuestionAnswerWords(int answer) {
  switch (answer) {
    case kAnswerYes:
      return ButtonWords(N_("&Yes"));
    case kAnswerNo:
      return ButtonWords(N_("&No"));
    case kAnswerYesAll:
      return ButtonWords(N_("Yes All"));
    case kAnswerNoAll:
      return ButtonWords(N_("No All"));
    case kAnswerRename:
      return ButtonWords(N_("&Rename"));
    default:
      return std::to_string(answer);
  }
}

// The button of the file conflict dialog that gives `answer`.
std::string ConflictAnswerWords(int answer) {
  switch (answer) {
    case kAnswerYes:
      return ButtonWords(N_("Overwrite File"));
    case kAnswerNo:
      return ButtonWords(N_("Skip File"));
    case kAnswerYesAll:
      return ButtonWords(N_("Overwrite All Existing"));
    case kAnswerNoAll:
      return ButtonWords(N_("Skip All Existing"));
    default:
      return std::to_string(answer);
  }
}

}  // namespace

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
  const auto chosen = answers_by_caption_.find(caption);
  const int answer = chosen == answers_by_caption_.end() ? answer_ : chosen->second;
  std::fprintf(out_, "%s: %s -> %s\n", caption.c_str(), message.c_str(), QuestionAnswerWords(answer).c_str());
  return answer;
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

bool ConsoleUi::AskExistingFile(const std::string& caption, const std::string& /*pattern*/,
                                const std::filesystem::path& /*folder*/, std::filesystem::path& /*chosen*/) {
  std::fprintf(out_, "%s -> cancelled\n", caption.c_str());
  return false;
}

int ConsoleUi::AskFileConflict(const std::string& target_name, bool offer_all, bool /*offer_merge*/,
                               std::string& /*new_name*/) {
  int answer = conflict_answer_;
  if (!offer_all && answer == kAnswerYesAll) answer = kAnswerYes;
  if (!offer_all && answer == kAnswerNoAll) answer = kAnswerNo;
  std::fprintf(out_, "%s: %s -> %s\n", Tr("File Conflict Resolution"),
               StrPrintf(Tr("WARNING! Target file '%s' exists."), target_name.c_str()).c_str(),
               ConflictAnswerWords(answer).c_str());
  return answer;
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
