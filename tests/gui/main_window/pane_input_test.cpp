// The main window worked with a real mouse and keyboard: the tags are
// always exactly the highlighted rows, however they were selected; Escape
// does not end the program; a filled pane starts unselected; and a button
// pressed while the link waits for the collector is not run.
#include <gtest/gtest.h>

#include <signal.h>

#include <fstream>
#include <iterator>
#include <memory>

#include <wx/timer.h>

#include "gui/dialog_script.h"
#include "gui/dialogs/dir_dialog.h"
#include "gui/dialogs/message_dialogs.h"
#include "gui/dialogs/yes_no_dialog.h"
#include "main_window_fixture.h"

namespace pelikon {
namespace {

using testing::DialogScript;
using testing::MainWindowTest;
using testing::RowOf;
using testing::RunUntil;
using Names = std::vector<std::string>;

constexpr PaneSide kLocal = PaneSide::kLocal;
constexpr PaneSide kRemote = PaneSide::kRemote;

// The collector simulator serving `line`, found among the running processes.
pid_t CollectorProcess(const std::filesystem::path& line) {
  for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
    std::ifstream in(entry.path() / "cmdline");
    const std::string command_line{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (command_line.find("collector-sim") != std::string::npos &&
        command_line.find(line.string()) != std::string::npos)
      return static_cast<pid_t>(std::stol(entry.path().filename().string()));
  }
  return -1;
}

TEST_F(MainWindowTest, RowsSelectedWithShiftCtrlOrTheKeyboardAreTaggedExactly) {
  PaneListView& remote = Pane(kRemote);
  ASSERT_TRUE(input_->ClickRow(remote, RowOf(remote, "CODES.FLD")));
  ASSERT_TRUE(input_->ClickRow(remote, RowOf(remote, "JOB1.NOT"), wxMOD_SHIFT));
  EXPECT_EQ(SelectedNames(kRemote), (Names{"CODES.FLD", "JOB1.CRD", "JOB1.NOT"}));
  EXPECT_TRUE(TaggedBecomes("Tagged REMOTE Files: 3")) << Tagged();
  EXPECT_EQ(TaggedNames(kRemote), SelectedNames(kRemote));

  ASSERT_TRUE(input_->Key(WXK_DOWN, wxMOD_SHIFT));
  EXPECT_EQ(SelectedNames(kRemote), (Names{"CODES.FLD", "JOB1.CRD", "JOB1.NOT", "JOB1.RW5"}));
  EXPECT_TRUE(TaggedBecomes("Tagged REMOTE Files: 4")) << Tagged();
  EXPECT_EQ(TaggedNames(kRemote), SelectedNames(kRemote));

  ASSERT_TRUE(input_->ClickRow(remote, RowOf(remote, "JOB1.CRD"), wxMOD_CONTROL));
  EXPECT_TRUE(TaggedBecomes("Tagged REMOTE Files: 3")) << Tagged();
  EXPECT_EQ(TaggedNames(kRemote), (Names{"CODES.FLD", "JOB1.NOT", "JOB1.RW5"}));
  EXPECT_EQ(TaggedNames(kRemote), SelectedNames(kRemote));

  ASSERT_TRUE(input_->Key('A', wxMOD_CONTROL));
  EXPECT_TRUE(TaggedBecomes("Tagged REMOTE Files: 7")) << Tagged();
  EXPECT_EQ(TaggedNames(kRemote).size(), static_cast<size_t>(remote.GetItemCount()));

  // Transfer fetches what is highlighted: every row of the range.
  ASSERT_TRUE(input_->ClickRow(remote, RowOf(remote, "JOB1.NOT")));
  ASSERT_TRUE(input_->ClickRow(remote, RowOf(remote, "README.TXT"), wxMOD_SHIFT));
  ASSERT_TRUE(TaggedBecomes("Tagged REMOTE Files: 3")) << Tagged();
  DialogScript script;
  script.Answer<CMsgDlg>([](CMsgDlg&) { return static_cast<int>(wxID_OK); });
  ASSERT_TRUE(input_->Click(Button(kIdTransfer)));
  EXPECT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  for (const char* name : {"JOB1.NOT", "JOB1.RW5", "README.TXT"})
    EXPECT_TRUE(std::filesystem::exists(demo_.PcFolder() / name)) << name;
  EXPECT_FALSE(std::filesystem::exists(demo_.PcFolder() / "JOB1.CRD"));
}

TEST_F(MainWindowTest, TheFirstClickIntoTheOtherPaneTagsItsRowAndTransferFetchesIt) {
  ASSERT_TRUE(input_->ClickRow(Pane(kLocal), RowOf(Pane(kLocal), "OFFICE.CRD")));
  ASSERT_TRUE(TaggedBecomes("Tagged LOCAL Files: 1")) << Tagged();

  ASSERT_TRUE(input_->ClickRow(Pane(kRemote), RowOf(Pane(kRemote), "README.TXT")));
  EXPECT_TRUE(TaggedBecomes("Tagged REMOTE Files: 1")) << Tagged();
  // Any late report of the local pane's deselection arrives now.
  testing::Settle();
  EXPECT_EQ(Tagged(), "Tagged REMOTE Files: 1");
  EXPECT_EQ(TaggedNames(kRemote), (Names{"README.TXT"}));
  EXPECT_TRUE(SelectedNames(kLocal).empty());
  EXPECT_TRUE(TaggedNames(kLocal).empty());

  DialogScript script;
  script.Answer<CMsgDlg>([](CMsgDlg&) { return static_cast<int>(wxID_OK); });
  ASSERT_TRUE(input_->Click(Button(kIdTransfer)));
  EXPECT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  EXPECT_TRUE(std::filesystem::exists(demo_.PcFolder() / "README.TXT"));

  // And back: the first click into the local pane tags there.
  ASSERT_TRUE(input_->ClickRow(Pane(kRemote), RowOf(Pane(kRemote), "JOB1.NOT")));
  ASSERT_TRUE(TaggedBecomes("Tagged REMOTE Files: 1")) << Tagged();
  ASSERT_TRUE(input_->ClickRow(Pane(kLocal), RowOf(Pane(kLocal), "Field notes.txt")));
  EXPECT_TRUE(TaggedBecomes("Tagged LOCAL Files: 1")) << Tagged();
  EXPECT_EQ(TaggedNames(kLocal), (Names{"Field notes.txt"}));
  EXPECT_TRUE(SelectedNames(kRemote).empty());
}

TEST_F(MainWindowTest, ACoordinateFileBringsItsJobsFilesAlong) {
  ASSERT_TRUE(input_->ClickRow(Pane(kRemote), RowOf(Pane(kRemote), "JOB1.CRD")));
  ASSERT_TRUE(TaggedBecomes("Tagged REMOTE Files: 1")) << Tagged();
  DialogScript script;
  script.Answer<CYesNoDlg>([](CYesNoDlg& question) {
    EXPECT_EQ(question.GetTitle(), "Additional Files");
    return static_cast<int>(kAnswerYes);
  });
  script.Answer<CMsgDlg>([](CMsgDlg&) { return static_cast<int>(wxID_OK); });
  ASSERT_TRUE(input_->Click(Button(kIdTransfer)));
  EXPECT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  for (const char* name : {"JOB1.CRD", "JOB1.RW5", "JOB1.NOT"})
    EXPECT_TRUE(std::filesystem::exists(demo_.PcFolder() / name)) << name;
}

TEST_F(MainWindowTest, TransferWithNothingTaggedSaysSo) {
  DialogScript script;  // no window may open
  ASSERT_TRUE(input_->Click(Button(kIdTransfer)));
  EXPECT_TRUE(RunUntil([&] { return window_->StatusLine() == "Status: No files tagged to transfer"; }, 5))
      << window_->StatusLine();
}

TEST_F(MainWindowTest, EscapeLeavesTheWindowOpenAndExitClosesIt) {
  ASSERT_TRUE(input_->ClickRow(Pane(kRemote), 0));
  ASSERT_TRUE(input_->Key(WXK_ESCAPE));
  ASSERT_TRUE(input_->Key(WXK_ESCAPE));
  testing::Settle();
  ASSERT_TRUE(alive_) << "Escape closed the main window";
  EXPECT_TRUE(window_->IsShown());

  ASSERT_TRUE(input_->Click(Button(kIdExit)));
  EXPECT_TRUE(RunUntil([this] { return !alive_; }, 5)) << "Exit did not close the window";
}

TEST_F(MainWindowTest, AFolderOpenedAfterARangeSelectionComesUpWithNothingSelected) {
  // The folder to open holds more entries than the pane shows now.
  for (int i = 0; i < 12; ++i) std::ofstream(demo_.StoreFolder() / "Jobs" / ("F" + std::to_string(i) + ".TXT")) << i;
  PaneListView& remote = Pane(kRemote);
  const long rows = remote.GetItemCount();
  const long jobs = RowOf(remote, "Jobs");
  // Everything with Shift, then every row but the folder taken out with Ctrl.
  ASSERT_TRUE(input_->ClickRow(remote, 0));
  ASSERT_TRUE(input_->ClickRow(remote, rows - 1, wxMOD_SHIFT));
  for (long row = 0; row < rows; ++row) {
    if (row == jobs) continue;
    ASSERT_TRUE(input_->ClickRow(remote, row, wxMOD_CONTROL));
  }
  ASSERT_TRUE(TaggedBecomes("Tagged REMOTE Files: 1")) << Tagged();

  ASSERT_TRUE(input_->DoubleClickRow(remote, jobs));
  ASSERT_TRUE(RunUntil([&] { return RowOf(remote, "F11.TXT") >= 0 && !window_->Busy(); })) << "the folder did not open";
  testing::Settle();
  EXPECT_TRUE(SelectedNames(kRemote).empty()) << SelectedNames(kRemote).size() << " rows selected";
  EXPECT_TRUE(TaggedNames(kRemote).empty());
  EXPECT_EQ(Tagged(), "Tagged REMOTE Files: 0");
}

TEST_F(MainWindowTest, AButtonPressedWhileTheLinkWaitsIsNotRun) {
  // The collector stops answering, so the link check that Make dir starts
  // with waits for its time-out; Options is pressed meanwhile.
  const pid_t collector = CollectorProcess(demo_.LinePath());
  ASSERT_GT(collector, 0);
  ASSERT_EQ(kill(collector, SIGSTOP), 0);
  const std::unique_ptr<const pid_t, void (*)(const pid_t*)> resume(&collector,
                                                                    [](const pid_t* pid) { kill(*pid, SIGCONT); });
  DialogScript script;
  bool options_pressed_during_wait = false;
  script.Show<CDir>([&](CDir& dialog) {
    // Make dir's own question comes once the link check has given up.
    options_pressed_during_wait = input_->Probe().ClicksOn(Button(kIdOptions)) > 0;
    testing::Click(dialog.CancelButton());
  });
  // Make dir starts from the window's loop, as a click on it would; the
  // click on Options comes from inside the wait, as the loop turns there.
  wxTimer during_wait;
  during_wait.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { input_->SendClick(Button(kIdOptions)); });
  during_wait.StartOnce(300);
  wxCommandEvent make_dir(wxEVT_BUTTON, kIdMakeDir);
  make_dir.SetEventObject(Button(kIdMakeDir));
  Button(kIdMakeDir)->GetEventHandler()->AddPendingEvent(make_dir);
  EXPECT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }, 30));
  EXPECT_TRUE(options_pressed_during_wait) << "the second click did not arrive while the link waited";
  testing::Settle();
  // Options would have opened its window: the script allows none.
  EXPECT_TRUE(script.Done());
}

}  // namespace
}  // namespace pelikon
