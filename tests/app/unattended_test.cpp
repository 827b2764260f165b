// The answers of runs without windows: the safe ones unless a switch allows
// more, printed in the words of the button they stand for.
#include "app/unattended.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/batch/batch_run.h"
#include "platform/catalogue.h"

namespace pelikon {
namespace {

// A console interface whose output is kept for the test.
class Console {
 public:
  explicit Console(const CommandLineRequest& request) : stream_(open_memstream(&text_, &size_)), ui_(stream_) {
    SetUnattendedAnswers(request, ui_);
  }
  ~Console() {
    std::fclose(stream_);
    std::free(text_);
  }
  ConsoleUi& Ui() { return ui_; }
  std::string Said() {
    std::fflush(stream_);
    return std::string(text_, size_);
  }

 private:
  char* text_ = nullptr;
  size_t size_ = 0;
  std::FILE* stream_;
  ConsoleUi ui_;
};

constexpr const char* kCreateQuestion = "Remote folder '\\DATA\\NEW' does not exist. Create now?";

TEST(UnattendedAnswers, WithoutSwitchesEveryQuestionGetsItsSafeAnswer) {
  Console console(CommandLineRequest{});
  std::string new_name;
  EXPECT_EQ(console.Ui().AskYesNo(kCreateQuestion, Tr(kCreateFolderCaption), kQuestionIcon), kAnswerNo);
  EXPECT_EQ(console.Ui().AskFileConflict("A.TXT", true, false, new_name), kAnswerNo);
  EXPECT_EQ(console.Said(),
            "Create folder?: Remote folder '\\DATA\\NEW' does not exist. Create now? -> No\n"
            "File Conflict Resolution: WARNING! Target file 'A.TXT' exists. -> Skip File\n");
}

TEST(UnattendedAnswers, TheSwitchesAnswerTheirQuestionsAndNoOther) {
  CommandLineRequest request;
  request.no_gui = request.create_folders = request.overwrite = true;
  Console console(request);
  std::string new_name;
  EXPECT_EQ(console.Ui().AskYesNo(kCreateQuestion, Tr(kCreateFolderCaption), kQuestionIcon), kAnswerYes);
  EXPECT_EQ(console.Ui().AskYesNo("Archive copy of RAW.RW5 already exists, OK to overwrite ?", "Overwrite Archive",
                                  kQuestionIcon),
            kAnswerNo);
  EXPECT_EQ(console.Ui().AskFileConflict("A.TXT", true, false, new_name), kAnswerYesAll);
  // The last entry of a batch offers no "all" answers: this file alone.
  EXPECT_EQ(console.Ui().AskFileConflict("B.TXT", false, false, new_name), kAnswerYes);
  const std::string said = console.Said();
  EXPECT_NE(said.find("Create now? -> Yes\n"), std::string::npos) << said;
  EXPECT_NE(said.find("OK to overwrite ? -> No\n"), std::string::npos) << said;
  EXPECT_NE(said.find("'A.TXT' exists. -> Overwrite All Existing\n"), std::string::npos) << said;
  EXPECT_NE(said.find("'B.TXT' exists. -> Overwrite File\n"), std::string::npos) << said;
}

}  // namespace
}  // namespace pelikon
