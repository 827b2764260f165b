// The file conflict dialog, answered button by button as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <wx/msgdlg.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "dialogs/wx/ez_dialog.h"
#include "dialogs/wx/wx_text.h"
#include "gui/conflict/file_conflict_dialog.h"
#include "gui/dialog_script.h"
#include "gui/user_input.h"
#include "gui/window_picture.h"
#include "platform/ui.h"

namespace pelikon {
namespace {

using testing::Click;
using testing::DialogScript;
using testing::PressKey;

wxButton* ButtonOf(const PopDialog& host, std::string_view name) {
  return dynamic_cast<wxButton*>(host.Form()->FindControl(name));
}

void TypeName(const PopDialog& host, const std::string& name) {
  auto* field = dynamic_cast<wxTextCtrl*>(host.Form()->FindControl("name"));
  ASSERT_NE(field, nullptr);
  field->SetValue(ToWx(name));
}

class FileConflictDialogTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::FailOnWxAssertions(); }
  void TearDown() override { EXPECT_TRUE(script_.Done()) << "some scripted dialogs never opened"; }

  // Runs the dialog for `target` with `act` playing the user.
  int Run(const std::string& target, bool offer_all, bool offer_merge, std::function<void(PopDialog&)> act) {
    script_.Show<PopDialog>(std::move(act));
    return RunFileConflictDialog(nullptr, target, offer_all, offer_merge, new_name_);
  }

  DialogScript script_;
  std::string new_name_ = "untouched";
};

TEST_F(FileConflictDialogTest, EachButtonAnswersWithItsCode) {
  const std::vector<std::pair<const char*, int>> buttons{{"overwrite", kAnswerYes},
                                                         {"overwrite_all", kAnswerYesAll},
                                                         {"skip", kAnswerNo},
                                                         {"skip_all", kAnswerNoAll},
                                                         {"merge", kAnswerMerge}};
  for (const auto& entry : buttons) {
    const char* button = entry.first;
    const int given = Run("JOB1.crd", true, true, [button](PopDialog& host) { Click(ButtonOf(host, button)); });
    EXPECT_EQ(given, entry.second) << button;
  }
  EXPECT_EQ(new_name_, "untouched") << "only a rename gives a name";
}

TEST_F(FileConflictDialogTest, ShowsTheTargetAndOffersWhatTheCallerAllows) {
  Run("JOB1.CRD", false, true, [](PopDialog& host) {
    EZDialog& form = *host.Form();
    EXPECT_EQ(host.GetTitle(), "File Conflict Resolution");
    EXPECT_FALSE(host.HasFlag(wxCLOSE_BOX)) << "no system menu";
    EXPECT_TRUE(host.HasFlag(wxSTAY_ON_TOP));
    std::string text;
    form.GetText("message1", text);
    EXPECT_EQ(text, "WARNING! Target file 'JOB1.CRD' exists.");
    form.GetText("message2", text);
    EXPECT_EQ(text, "Copying as is will DESTROY original file. Select action:");
    EXPECT_EQ(ButtonOf(host, "overwrite")->GetLabel(), "Overwrite File");
    EXPECT_EQ(form.FindControl("overwrite_all"), nullptr) << "no all-answers without offer-all";
    EXPECT_EQ(form.FindControl("skip_all"), nullptr);
    EXPECT_NE(form.FindControl("merge"), nullptr) << "a .crd target, extension in any case";
    Click(ButtonOf(host, "skip"));
  });
  Run("notes.txt", true, true, [](PopDialog& host) {
    EXPECT_EQ(host.Form()->FindControl("merge"), nullptr) << "only coordinate files merge";
    Click(ButtonOf(host, "skip"));
  });
  Run("JOB1.crd", true, false, [](PopDialog& host) {
    EXPECT_EQ(host.Form()->FindControl("merge"), nullptr) << "not offered by the caller";
    Click(ButtonOf(host, "skip"));
  });
}

TEST_F(FileConflictDialogTest, LaidOutWithoutOverlapsAndTheAllButtonsFillTheirRows) {
  Run("A_RATHER_LONG_JOB_NAME_FROM_THE_FIELD.crd", true, true, [](PopDialog& host) {
    EZDialog& form = *host.Form();
    const char* tiles[] = {"logo",     "message1", "message2", "overwrite", "overwrite_all", "skip",
                           "skip_all", "rentxt",   "name",     "rename",    "merge"};
    for (const char* a : tiles) {
      for (const char* b : tiles) {
        if (a == b) continue;
        EXPECT_FALSE(form.FindControl(a)->GetRect().Intersects(form.FindControl(b)->GetRect())) << a << " " << b;
      }
    }
    // The widest row sets the column's width; the resizable buttons reach it.
    int right = 0;
    for (const char* tile : {"message1", "message2", "overwrite_all", "skip_all", "rename"})
      right = std::max(right, form.FindControl(tile)->GetRect().GetRight());
    EXPECT_EQ(form.FindControl("overwrite_all")->GetRect().GetRight(), right);
    EXPECT_EQ(form.FindControl("skip_all")->GetRect().GetRight(), right);
    EXPECT_EQ(form.FindControl("rename")->GetRect().GetRight(), right);
    for (const char* label : {"message1", "message2"})
      EXPECT_GE(form.FindControl(label)->GetSize().x, form.FindControl(label)->GetBestSize().x) << "not cut off";
    EXPECT_TRUE(host.GetClientRect().Contains(form.FindControl("merge")->GetRect()));
    Click(ButtonOf(host, "overwrite"));
  });
}

// The picture for the record, where the caller asks for one.
TEST_F(FileConflictDialogTest, PictureForTheRecord) {
  const char* folder = std::getenv("PELIKON_TEST_OUTPUT");
  if (folder == nullptr || *folder == '\0') GTEST_SKIP() << "PELIKON_TEST_OUTPUT is not set";
  Run("JOB1.crd", true, true, [folder](PopDialog& host) {
    testing::Settle();
    const std::filesystem::path file = std::filesystem::path(folder) / "conflict_dialog.png";
    EXPECT_TRUE(SaveWindowPicture(&host, file)) << file;
  });
}

TEST_F(FileConflictDialogTest, ReturnSkipsUntilTheUserChoosesAndRenamesFromTheNameField) {
  // Return as the dialog opens: the file is skipped, never overwritten.
  const int first = Run("JOB1.crd", true, false, [](PopDialog& host) {
    EXPECT_EQ(wxWindow::FindFocus(), ButtonOf(host, "skip"));
    testing::UserInput input;
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
  });
  EXPECT_EQ(first, kAnswerNo);

  // Typed into the name field, Return renames.
  const int renamed = Run("JOB1.crd", true, false, [](PopDialog& host) {
    testing::UserInput input;
    ASSERT_TRUE(input.Click(host.Form()->FindControl("name")));
    for (const char c : std::string("job2.crd")) ASSERT_TRUE(input.Key(c));
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
  });
  EXPECT_EQ(renamed, kAnswerRename);
  EXPECT_EQ(new_name_, "job2.crd");

  // Escape from the name field skips, whatever was typed.
  new_name_ = "untouched";
  const int escaped = Run("JOB1.crd", true, false, [](PopDialog& host) {
    testing::UserInput input;
    ASSERT_TRUE(input.Click(host.Form()->FindControl("name")));
    ASSERT_TRUE(input.Key('x'));
    ASSERT_TRUE(input.Key(WXK_ESCAPE));
    testing::Settle();
  });
  EXPECT_EQ(escaped, kAnswerNo);
  EXPECT_EQ(new_name_, "untouched");
}

TEST_F(FileConflictDialogTest, RenameRefusesAMissingNameAndAnotherExtensionAndKeepsTheDialogOpen) {
  std::vector<std::string> messages;
  const auto answer_box = [&] {
    script_.Answer<wxMessageDialog>([&](wxMessageDialog& box) {
      messages.push_back(FromWx(box.GetMessage()));
      return static_cast<int>(wxID_OK);
    });
  };
  const int answer = Run("JOB1.crd", true, false, [&](PopDialog& host) {
    answer_box();
    Click(ButtonOf(host, "rename"));
    EXPECT_TRUE(host.IsModal());
    answer_box();
    TypeName(host, "JOB2.txt");
    Click(ButtonOf(host, "rename"));
    EXPECT_TRUE(host.IsModal());
    answer_box();
    TypeName(host, "../JOB2.crd");
    Click(ButtonOf(host, "rename"));
    EXPECT_TRUE(host.IsModal()) << "a name with a folder part goes nowhere";
    TypeName(host, "job2.CRD");
    Click(ButtonOf(host, "rename"));
  });
  EXPECT_EQ(messages,
            (std::vector<std::string>{"Please specify new file name", "New file name should match original extension",
                                      "Please specify new file name"}));
  EXPECT_EQ(answer, kAnswerRename);
  EXPECT_EQ(new_name_, "job2.CRD");
}

TEST_F(FileConflictDialogTest, LeavingWithoutAButtonSkipsTheFile) {
  EXPECT_EQ(Run("JOB1.crd", true, false, [](PopDialog& host) { host.Close(); }), kAnswerNo) << "close box";
  EXPECT_EQ(Run("JOB1.crd", true, false,
                [](PopDialog& host) {
                  ButtonOf(host, "overwrite")->SetFocus();
                  PressKey(WXK_ESCAPE);
                }),
            kAnswerNo)
      << "Escape";
  EXPECT_EQ(Run("JOB1.crd", true, false, [](PopDialog&) {}), kAnswerNo) << "ended from outside";
  EXPECT_EQ(new_name_, "untouched");
}

}  // namespace
}  // namespace pelikon
