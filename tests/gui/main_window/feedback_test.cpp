// The main window forgives a careless key: Return on a question that
// would delete answers No, and a command that fails says why in the status
// line. Worked with a real mouse and keyboard.
#include <gtest/gtest.h>

#include <filesystem>

#include "gui/dialog_script.h"
#include "gui/dialogs/dir_dialog.h"
#include "gui/dialogs/yes_no_dialog.h"
#include "main_window_fixture.h"

namespace pelikon {
namespace {

using testing::DialogScript;
using testing::MainWindowTest;
using testing::RowOf;
using testing::RunUntil;

TEST_F(MainWindowTest, ReturnOnTheDeleteQuestionKeepsTheFile) {
  window_->Session().Settings().confirm_delete = true;
  PaneListView& local = Pane(PaneSide::kLocal);
  ASSERT_TRUE(input_->ClickRow(local, RowOf(local, "Field notes.txt")));
  ASSERT_TRUE(TaggedBecomes("Tagged LOCAL Files: 1")) << Tagged();

  DialogScript script;
  script.Show<CYesNoDlg>([this](CYesNoDlg& question) {
    EXPECT_EQ(question.GetTitle(), "Delete File");
    EXPECT_EQ(question.ButtonFor(kAnswerYesAll), nullptr) << "one file: no \"Yes All\"";
    EXPECT_EQ(question.ButtonFor(kAnswerNoAll), nullptr);
    ASSERT_TRUE(input_->Key(WXK_RETURN));
    testing::Settle();
  });
  ASSERT_TRUE(input_->Click(Button(kIdDelete)));
  EXPECT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  EXPECT_TRUE(std::filesystem::exists(demo_.PcFolder() / "Field notes.txt"));
  EXPECT_NE(RowOf(local, "Field notes.txt"), -1);
}

TEST_F(MainWindowTest, MakeDirOntoAnExistingNameSaysWhyInTheStatusLine) {
  DialogScript script;
  script.Show<CDir>([this](CDir& dialog) {
    dialog.Field()->SetValue("Archive");  // a folder the PC pane shows
    dialog.Field()->SetFocus();
    ASSERT_TRUE(input_->Key(WXK_RETURN));
    testing::Settle();
  });
  ASSERT_TRUE(input_->Click(Button(kIdMakeDir)));
  EXPECT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  EXPECT_EQ(window_->StatusLine(), "Status: Make dir failed: \"Archive\" already exists");
  EXPECT_TRUE(std::filesystem::is_directory(demo_.PcFolder() / "Archive"));
}

}  // namespace
}  // namespace pelikon
