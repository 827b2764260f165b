// The point history window, used as a user would: rows newest first, the
// refusal without a selection, the confirmation, and the undo it leads to.
#include "gui/history/point_history_dialog.h"

#include <gtest/gtest.h>

#include <memory>

#include <wx/listctrl.h>
#include <wx/msgdlg.h>

#include "coord/crd/crd_file.h"
#include "coord/crd/crd_memory_storage.h"
#include "coord/history_bytes.h"
#include "dialogs/wx/ez_dialog.h"
#include "dialogs/wx/wx_text.h"
#include "gui/dialog_script.h"
#include "gui/user_input.h"

namespace pelikon {
namespace {

using testing::DialogScript;

class PointHistoryDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::FailOnWxAssertions();
    CrdEnvironment env;
    env.storage = &storage_;
    env.clock = &clock_;
    file_ = std::make_unique<CrdFile>(env);
    ASSERT_EQ(file_->Open("job.crd", 1, kCrdAlphanumeric), 1);
    // Point 5 was made, then moved twice; point 6 has a history of its own.
    ASSERT_EQ(file_->StorePoint(CrdPoint("5", 30, 40, 7, "IRON PIN")), 1);
    ASSERT_EQ(file_->StorePoint(CrdPoint("6", 1, 2, 3, "OTHER")), 1);
    testing::HistoryBytes history;
    history.Begin("5", 0x0301).Byte(16).Stamp(100);
    history.Begin("6", 0x0301).Byte(16).Stamp(150);
    history.Begin("5", 0x0360).Byte(90).Stamp(200).Double(11).Double(10);
    history.Begin("5", 0x0360).Byte(90).Stamp(300).Double(21).Double(20);
    storage_.Put("job.his", history.Bytes());
  }
  void TearDown() override { EXPECT_TRUE(script_.Done()) << "some scripted dialogs never opened"; }

  wxListCtrl* List(PopDialog& host) { return dynamic_cast<wxListCtrl*>(host.Form()->FindControl("TransactionList")); }
  wxButton* Button(PopDialog& host, const char* name) {
    return dynamic_cast<wxButton*>(host.Form()->FindControl(name));
  }
  // The question and refusal boxes: their texts are kept, `answer` given.
  void AnswerBox(int answer) {
    script_.Answer<wxMessageDialog>([this, answer](wxMessageDialog& box) {
      boxes_.push_back(FromWx(box.GetTitle()) + ": " + FromWx(box.GetMessage()).substr(0, 40));
      return answer;
    });
  }
  CrdPoint Point(const char* id) {
    CrdPoint point;
    EXPECT_EQ(file_->GetPoint(id, point, true), 1);
    return point;
  }

  MemoryCrdStorage storage_;
  FakeClock clock_;
  std::unique_ptr<CrdFile> file_;
  DialogScript script_;
  std::vector<std::string> boxes_;
};

TEST_F(PointHistoryDialogTest, ListsThePointsChangesAndUndoesThroughTheSelectedOne) {
  const HistoryList entries = ReadHistory(*file_);
  script_.Show<PopDialog>([&](PopDialog& host) {
    EXPECT_EQ(FromWx(host.GetTitle()), "Point History for Point \"5\"");
    wxListCtrl* list = List(host);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetItemCount(), 3) << "point 5's entries only";
    EXPECT_EQ(FromWx(list->GetItemText(0, 0)), "Move Points");
    EXPECT_EQ(FromWx(list->GetItemText(0, 2)), "30.00") << "north after the newest change";
    EXPECT_EQ(FromWx(list->GetItemText(1, 2)), "20.00");
    EXPECT_EQ(FromWx(list->GetItemText(2, 0)), "Input-Edit Point");
    EXPECT_EQ(FromWx(list->GetItemText(0, 6)).size(), 24u) << "the date as the C library prints it";

    testing::UserInput input;
    AnswerBox(wxID_OK);
    ASSERT_TRUE(input.Click(Button(host, "undo")));
    testing::Settle();
    EXPECT_TRUE(host.IsModal()) << "nothing selected: the window stays";

    ASSERT_TRUE(input.ClickRow(*list, 1));
    AnswerBox(wxID_CANCEL);
    ASSERT_TRUE(input.Click(Button(host, "undo")));
    testing::Settle();
    EXPECT_TRUE(host.IsModal());
    EXPECT_EQ(Point("5").northing, 30) << "Cancel changes nothing";

    AnswerBox(wxID_OK);
    ASSERT_TRUE(input.Click(Button(host, "undo")));
    testing::Settle();
  });
  EXPECT_EQ(ShowPointHistory("5", *file_, entries, nullptr, true), 1);
  ASSERT_EQ(boxes_.size(), 3u);
  EXPECT_EQ(boxes_[0], "CRD History Utilities: Nothing selected!");
  EXPECT_EQ(boxes_[1], "CRD History Utilities: Are you sure you want to undo all of the");
  const CrdPoint five = Point("5");
  EXPECT_EQ(five.northing, 10) << "as before the selected change: " << five.northing;
  EXPECT_EQ(five.easting, 11);
}

TEST_F(PointHistoryDialogTest, WithoutUndoOnlyCloseAndEscapeRemain) {
  const HistoryList entries = ReadHistory(*file_);
  script_.Show<PopDialog>([&](PopDialog& host) {
    EXPECT_EQ(Button(host, "undo"), nullptr);
    EXPECT_EQ(wxWindow::FindFocus(), List(host)) << "the focus starts in the list";
    testing::UserInput input;
    ASSERT_TRUE(input.Key(WXK_ESCAPE));
    testing::Settle();
    EXPECT_FALSE(host.IsModal());
  });
  EXPECT_EQ(ShowPointHistory("6", *file_, entries, nullptr, false), 0);
  EXPECT_EQ(Point("5").northing, 30);
}

}  // namespace
}  // namespace pelikon
