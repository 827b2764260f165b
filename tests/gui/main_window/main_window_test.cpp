// The main window against the simulated collector: what the panes and
// lines show, tagging by selection, Options opened and cancelled, the
// window's size and its picture.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>

#include <set>

#include <wx/image.h>

#include "coord/crd/crd_file.h"
#include "coord/merge/merge_apply.h"
#include "dialogs/wx/ez_dialog.h"
#include "gui/dialog_script.h"
#include "gui/dialogs/file_mask_dialog.h"
#include "gui/dialogs/message_dialogs.h"
#include "gui/dialogs/options_dialog.h"
#include "gui/dialogs/progress_dialog.h"
#include "gui/dialogs/yes_no_dialog.h"
#include "gui/window_picture.h"
#include "main_window_fixture.h"

namespace pelikon {
namespace {

using testing::Column;
using testing::MainWindowTest;
using testing::RunUntil;

TEST_F(MainWindowTest, BothPanesShowTheirFoldersWithTheirLines) {
  const PaneListView& local = window_->Pane(PaneSide::kLocal);
  const PaneListView& remote = window_->Pane(PaneSide::kRemote);
  EXPECT_TRUE(remote.IsShown());
  EXPECT_FALSE(window_->HelpShown());

  const std::vector<std::string> local_names = Column(local, 0);
  EXPECT_NE(std::find(local_names.begin(), local_names.end(), "OFFICE.CRD"), local_names.end());
  EXPECT_NE(std::find(local_names.begin(), local_names.end(), "[Up One Level]"), local_names.end());
  const std::vector<std::string> remote_names = Column(remote, 0);
  for (const char* name : {"JOB1.CRD", "JOB1.RW5", "JOB1.NOT", "CODES.FLD", "README.TXT", "Jobs"})
    EXPECT_NE(std::find(remote_names.begin(), remote_names.end(), name), remote_names.end()) << name;
  // Folders before files, and a folder shows its type and no size.
  const size_t jobs = std::find(remote_names.begin(), remote_names.end(), "Jobs") - remote_names.begin();
  const size_t job1 = std::find(remote_names.begin(), remote_names.end(), "JOB1.CRD") - remote_names.begin();
  EXPECT_LT(jobs, job1);
  EXPECT_EQ(remote.GetItemText(static_cast<long>(jobs), 1), "");
  EXPECT_EQ(remote.GetItemText(static_cast<long>(jobs), 3), "File Folder");
  EXPECT_EQ(remote.GetItemText(static_cast<long>(job1), 4), "A");

  EXPECT_EQ(window_->LabelText(PaneLabel::kRemotePath), "Remote Path: \\");
  EXPECT_EQ(window_->LabelText(PaneLabel::kRemoteTotalFiles), "Total Files: 5");
  EXPECT_EQ(window_->LabelText(PaneLabel::kLocalTotalFiles), "Total Files: 2");
  EXPECT_EQ(window_->LabelText(PaneLabel::kMask), "File: *.*");
  EXPECT_TRUE(window_->LabelText(PaneLabel::kLocalPath).StartsWith("Local Path: /"));
}

TEST_F(MainWindowTest, SelectingRowsTagsThemAndFocusMovesTheTags) {
  PaneListView& remote = window_->Pane(PaneSide::kRemote);
  const std::vector<std::string> names = Column(remote, 0);
  for (const char* name : {"JOB1.CRD", "JOB1.RW5", "Jobs"}) {
    const long row = static_cast<long>(std::find(names.begin(), names.end(), name) - names.begin());
    remote.SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  }
  window_->Panes().FocusChanged(PaneSide::kRemote);
  RunUntil([this] { return window_->LabelText(PaneLabel::kTaggedCount) == "Tagged REMOTE Files: 3"; }, 5);
  EXPECT_EQ(window_->LabelText(PaneLabel::kTaggedCount), "Tagged REMOTE Files: 3");
  const DirList& list = window_->Panes().List(PaneSide::kRemote);
  double bytes = 0;
  for (const DirEntry& entry : list.entries)
    if (entry.tagged && !entry.is_folder) bytes += entry.size;
  EXPECT_GT(bytes, 0);
  EXPECT_EQ(window_->LabelText(PaneLabel::kTaggedBytes), wxString::Format("Bytes: %.0f", bytes));

  window_->Panes().FocusChanged(PaneSide::kLocal);
  RunUntil([this] { return window_->LabelText(PaneLabel::kTaggedCount) == "Tagged LOCAL Files: 0"; }, 5);
  EXPECT_EQ(window_->LabelText(PaneLabel::kTaggedCount), "Tagged LOCAL Files: 0");
  EXPECT_TRUE(remote.SelectedRows().empty());
}

TEST_F(MainWindowTest, OptionsCancelledChangesNothingAndDoesNotReconnect) {
  const std::filesystem::path log = work_.Path() / "demo" / "collector.log";
  const auto heard = [&] {
    std::ifstream in(log);
    return std::count(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>(), '\n');
  };
  const long before = heard();
  bool seen = false;
  window_->CallAfter([&] {
    for (wxWindow* top : wxTopLevelWindows) {
      if (auto* options = dynamic_cast<COptions*>(top); options && options->IsModal()) {
        seen = true;
        options->EndModal(wxID_CANCEL);
      }
    }
  });
  window_->RunOptions();
  EXPECT_TRUE(seen);
  EXPECT_EQ(heard(), before);
  EXPECT_EQ(window_->StatusLine(), "Status: Connected to remote machine");
  EXPECT_EQ(window_->LabelText(PaneLabel::kMask), "File: *.*");
}

TEST_F(MainWindowTest, OptionsAcceptedUnchangedStillReconnects) {
  const std::filesystem::path log = work_.Path() / "demo" / "collector.log";
  const auto heard = [&] {
    std::vector<std::string> lines;
    std::ifstream in(log);
    for (std::string line; std::getline(in, line);)
      if (line.rfind("< ", 0) == 0) lines.push_back(line.substr(2));
    return lines;
  };
  const size_t before = heard().size();
  window_->CallAfter([&] {
    for (wxWindow* top : wxTopLevelWindows) {
      if (auto* options = dynamic_cast<COptions*>(top); options && options->IsModal()) {
        wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
        click.SetEventObject(options->OkButton());
        options->OkButton()->GetEventHandler()->ProcessEvent(click);
      }
    }
  });
  window_->RunOptions();
  const std::vector<std::string> lines = heard();
  ASSERT_GT(lines.size(), before);
  const std::vector<std::string> after(lines.begin() + static_cast<long>(before), lines.end());
  // The speed is announced first, then the link starts again with its greeting.
  EXPECT_EQ(after.front(), "BAUD");
  EXPECT_NE(std::find(after.begin(), after.end(), "HELLO"), after.end());
  EXPECT_NE(std::find(after.begin(), after.end(), "LS"), after.end());
  EXPECT_EQ(window_->StatusLine(), "Status: Connected to remote machine");
  EXPECT_EQ(window_->LabelText(PaneLabel::kMask), "*.*");
}

TEST_F(MainWindowTest, TheHalvesShareTheExtraWidthAndAScreenshotIsSaved) {
  const wxSize first = window_->GetSize();
  const int local_width = window_->Pane(PaneSide::kLocal).GetSize().x;
  const int remote_x = window_->Pane(PaneSide::kRemote).GetPosition().x;
  window_->SetSize(first.x + 200, first.y + 100);
  RunUntil([&] { return window_->GetSize().x == first.x + 200; }, 5);
  const int dw = window_->GetClientSize().x - (first.x - (window_->GetSize().x - window_->GetClientSize().x));
  EXPECT_EQ(window_->Pane(PaneSide::kLocal).GetSize().x, local_width + dw / 2);
  EXPECT_EQ(window_->Pane(PaneSide::kRemote).GetPosition().x, remote_x + dw / 2);
  window_->SetSize(first.x - 100, first.y - 100);  // never smaller than at first
  wxTheApp->Yield(true);
  EXPECT_GE(window_->GetSize().x, first.x);

  window_->SetSize(first);
  RunUntil([&] { return window_->GetSize() == first; }, 5);
  const std::string file = std::string(PELIKON_TEST_OUTPUT) + "/main_window.png";
  ASSERT_TRUE(SaveWindowPicture(window_, file));
  wxImage image;
  ASSERT_TRUE(image.LoadFile(file, wxBITMAP_TYPE_PNG));
  // Something was drawn: not one flat colour.
  std::set<unsigned long> colours;
  for (int y = 0; y < image.GetHeight(); y += 7)
    for (int x = 0; x < image.GetWidth(); x += 7)
      colours.insert((image.GetRed(x, y) << 16) | (image.GetGreen(x, y) << 8) | image.GetBlue(x, y));
  EXPECT_GT(colours.size(), 3u);
}

// The picture that `pelikon --screenshot` saves.
class WindowPictureTest : public MainWindowTest {
 protected:
  void BeforeStart() override {
    window_->SetAfterStart([this] {
      window_->SavePictureWhenDrawn(file_, [this](bool saved) {
        saved_ = saved;
        done_ = true;
      });
    });
  }

  const std::string file_ = std::string(PELIKON_TEST_OUTPUT) + "/started_window.png";
  bool saved_ = false;
  bool done_ = false;
};

TEST_F(WindowPictureTest, IsTakenOnceBothPanesShowTheirRows) {
  ASSERT_TRUE(RunUntil([this] { return done_; }));
  ASSERT_TRUE(saved_);
  wxImage image;
  ASSERT_TRUE(image.LoadFile(file_, wxBITMAP_TYPE_PNG));
  // Dark text in the rows of each pane.
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote}) {
    const PaneListView& pane = window_->Pane(side);
    ASSERT_GT(pane.GetItemCount(), 0);
    wxRect first;
    wxRect last;
    pane.GetItemRect(0, first);
    pane.GetItemRect(pane.GetItemCount() - 1, last);
    const wxRect rows = wxRect(first.GetTopLeft(), last.GetBottomRight()).Intersect(wxRect(pane.GetClientSize()));
    const wxPoint origin = window_->ScreenToClient(pane.ClientToScreen(rows.GetTopLeft()));
    int dark = 0;
    for (int y = origin.y; y < origin.y + rows.height && y < image.GetHeight(); ++y)
      for (int x = origin.x; x < origin.x + rows.width && x < image.GetWidth(); ++x)
        if (image.GetRed(x, y) + image.GetGreen(x, y) + image.GetBlue(x, y) < 3 * 100) ++dark;
    EXPECT_GT(dark, 100) << (side == PaneSide::kLocal ? "local" : "remote") << " rows are not in the picture";
  }
}

TEST(DemoRun, SavesThePictureAndEndsWithSuccess) {
  // The demo as scripts/demo.sh runs it without a screen, on this test's display.
  testing::TempDir work;
  const std::filesystem::path picture = work.Path() / "demo.png";
  const std::filesystem::path output = work.Path() / "output.txt";
  const std::string command = "PELIKON_TEMP_DIR='" + work.Path().string() + "' '" + PELIKON_BIN_DIR +
                              "/pelikon' --demo --screenshot '" + picture.string() + "' >'" + output.string() +
                              "' 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream in(output);
  const std::string said{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_TRUE(WIFEXITED(status)) << said;
  EXPECT_EQ(WEXITSTATUS(status), 0) << said;
  EXPECT_NE(said.find("Status: Connected to remote machine\nsaved "), std::string::npos) << said;
  EXPECT_TRUE(std::filesystem::exists(picture));
}

TEST_F(MainWindowTest, TheRenameFieldKeepsItsTextUntilTheMaskDialogIsAccepted) {
  testing::DialogScript script;
  // Tags `file` and clicks Rename; the name dialog is scripted beforehand.
  const auto rename = [&](const char* file) {
    PaneListView& local = window_->Pane(PaneSide::kLocal);
    ASSERT_TRUE(input_->ClickRow(local, testing::RowOf(local, file)));
    ASSERT_TRUE(TaggedBecomes("Tagged LOCAL Files: 1")) << Tagged();
    ASSERT_TRUE(input_->Click(Button(kIdRename)));
    ASSERT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  };
  std::string offered;
  // The name dialog: what it offers is kept; `new_name` is given, or
  // without one the dialog is cancelled.
  const auto name_dialog = [&](const std::string& new_name) {
    script.Show<CFileMask>([&offered, new_name](CFileMask& dialog) {
      offered = dialog.Field()->GetValue().utf8_string();
      dialog.Field()->SetValue(new_name);
      testing::Click(new_name.empty() ? dialog.CancelButton() : dialog.OkButton());
    });
  };
  name_dialog("NOTES.TXT");
  rename("Field notes.txt");
  ASSERT_TRUE(std::filesystem::exists(demo_.PcFolder() / "NOTES.TXT"));

  // Options accepted without the mask dialog: the text stays.
  script.Show<COptions>([](COptions& options) { testing::Click(options.OkButton()); });
  ASSERT_TRUE(input_->Click(Button(kIdOptions)));
  ASSERT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  name_dialog("");
  rename("OFFICE.CRD");
  EXPECT_EQ(offered, "NOTES.TXT");

  // The mask dialog accepted, even with Options then cancelled: its text.
  script.Show<COptions>([&script](COptions& options) {
    script.Show<CFileMask>([](CFileMask& mask) {
      mask.Field()->SetValue("*.RW5");
      testing::Click(mask.OkButton());
    });
    testing::Click(options.ButtonFor("mask"));
    testing::Click(options.CancelButton());
  });
  ASSERT_TRUE(input_->Click(Button(kIdOptions)));
  ASSERT_TRUE(RunUntil([&] { return script.Done() && !window_->Busy(); }));
  name_dialog("");
  rename("OFFICE.CRD");
  EXPECT_EQ(offered, "*.RW5");
}

TEST_F(MainWindowTest, TheSettingsAreWrittenBackWhenTheWindowGoes) {
  SettingsStore& store = demo_.Settings();
  store.SetValue("lastdir", "/somewhere/else");
  store.SetValue("mask", "*.TXT");
  delete window_;  // as when the modal loop ends
  window_ = nullptr;
  EXPECT_EQ(store.GetValue("lastdir"), demo_.PcFolder().string());
  EXPECT_EQ(store.GetValue("mask"), "*.*");
  EXPECT_EQ(store.GetValue("com"), "1");
  EXPECT_EQ(store.GetValue("xfer"), "1");
}

TEST_F(MainWindowTest, TransferAsksAboutAnExistingFileAndReportsCompletion) {
  testing::DialogScript script;
  // README.TXT exists on both sides: the conflict dialog is skipped for it; JOB1.NOT comes over.
  std::filesystem::copy_file(demo_.StoreFolder() / "README.TXT", demo_.PcFolder() / "README.TXT");
  window_->Panes().FillLocal();
  window_->Panes().FocusChanged(PaneSide::kRemote);
  PaneListView& remote = window_->Pane(PaneSide::kRemote);
  const std::vector<std::string> names = Column(remote, 0);
  for (const char* name : {"README.TXT", "JOB1.NOT"}) {
    const long row = static_cast<long>(std::find(names.begin(), names.end(), name) - names.begin());
    remote.SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  }
  window_->Panes().SelectionChanged();
  script.Show<PopDialog>([](PopDialog& host) {
    EXPECT_EQ(host.GetTitle(), "File Conflict Resolution");
    testing::Click(dynamic_cast<wxButton*>(host.Form()->FindControl("skip")));
  });
  std::string completion;
  script.Answer<CMsgDlg>([&](CMsgDlg& message) {
    completion = message.GetTitle().utf8_string();
    return wxID_OK;
  });
  testing::Click(dynamic_cast<wxButton*>(window_->FindWindow(kIdTransfer)));
  EXPECT_TRUE(script.Done());
  EXPECT_EQ(completion, "MESSAGE");
  EXPECT_TRUE(std::filesystem::exists(demo_.PcFolder() / "JOB1.NOT"));
  EXPECT_EQ(window_->LabelText(PaneLabel::kTaggedCount), "Tagged REMOTE Files: 0");
}

TEST_F(MainWindowTest, TheProgressWindowHoldsTheMainWindowAndItsCancelReachesTheTransfer) {
  TransferProgress& progress = window_->Panes().Progress();
  progress.SetTotal(1000);
  progress.OpenProgress();
  CAviDlg* shown = window_->UserInterface().ProgressWindow();
  ASSERT_NE(shown, nullptr);
  EXPECT_FALSE(window_->IsEnabled());

  TransferState transfer;
  transfer.position = 500;
  progress.TransferStatus(transfer);
  EXPECT_EQ(shown->Bar(), 50);
  EXPECT_EQ(shown->Status(), "Status: File transfer 50% complete");

  wxCommandEvent click(wxEVT_BUTTON, wxID_CANCEL);
  click.SetEventObject(shown->CancelButton());
  shown->CancelButton()->GetEventHandler()->ProcessEvent(click);
  EXPECT_EQ(shown->Status(), "Function cancelled at user request...Please wait...");
  progress.TransferStatus(transfer);
  EXPECT_EQ(transfer.error, -605);

  progress.CloseProgress();
  EXPECT_EQ(window_->UserInterface().ProgressWindow(), nullptr);
  EXPECT_TRUE(window_->IsEnabled());
}

}  // namespace
}  // namespace pelikon

namespace pelikon {
namespace {

// "id north description" of every point of a CRD file.
std::vector<std::string> PointLines(const std::filesystem::path& path) {
  CrdFile file;
  std::vector<std::string> lines;
  EXPECT_EQ(file.Open(path, 0, kNoFormat), 1) << path;
  for (const CrdPoint& point : ReadAllPoints(file))
    lines.push_back(point.Id() + " " + std::to_string(static_cast<int>(point.northing)) + " " + point.Description());
  return lines;
}

TEST_F(MainWindowTest, ACoordinateFileInConflictIsMergedInTheMergeManager) {
  // The office has its own JOB1.CRD: one point of the field file, moved,
  // and one the field file lacks.
  const std::vector<std::string> field = PointLines(demo_.StoreFolder() / "JOB1.CRD");
  ASSERT_FALSE(field.empty());
  const std::string first_id = field.front().substr(0, field.front().find(' '));
  {
    CrdFile office;
    ASSERT_EQ(office.Open(demo_.PcFolder() / "JOB1.CRD", 1, kCrdAlphanumeric), 1);
    ASSERT_EQ(office.StorePoint(CrdPoint(first_id, 1, 1, 1, "OFFICE"), true), 1);
    ASSERT_EQ(office.StorePoint(CrdPoint("OFFICE1", 2, 2, 2, "OFFICE ONLY"), true), 1);
  }
  window_->Panes().FillLocal();
  window_->Panes().FocusChanged(PaneSide::kRemote);
  PaneListView& remote = window_->Pane(PaneSide::kRemote);
  const std::vector<std::string> names = Column(remote, 0);
  const long row = static_cast<long>(std::find(names.begin(), names.end(), "JOB1.CRD") - names.begin());
  remote.SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
  window_->Panes().SelectionChanged();

  testing::DialogScript script;
  script.Answer<CYesNoDlg>([](CYesNoDlg&) { return static_cast<int>(kAnswerNo); });  // no companions
  script.Show<PopDialog>([](PopDialog& host) {
    EXPECT_EQ(host.GetTitle(), "File Conflict Resolution");
    testing::Click(dynamic_cast<wxButton*>(host.Form()->FindControl("merge")));
  });
  script.Show<wxDialog>([](wxDialog& manager) {
    EXPECT_EQ(manager.GetTitle(), "Merge Points Manager");
    testing::Click(dynamic_cast<wxButton*>(wxWindow::FindWindowByName("all", &manager)));
    testing::Click(dynamic_cast<wxButton*>(wxWindow::FindWindowByName("accept_all", &manager)));
    testing::Click(dynamic_cast<wxButton*>(wxWindow::FindWindowByName("ok", &manager)));
  });
  script.Answer<CMsgDlg>([](CMsgDlg&) { return static_cast<int>(wxID_OK); });
  testing::Click(dynamic_cast<wxButton*>(window_->FindWindow(kIdTransfer)));
  EXPECT_TRUE(script.Done());

  // Every field point landed (the moved one overwritten), the office's own stayed.
  std::vector<std::string> expected = field;
  expected.push_back("OFFICE1 2 OFFICE ONLY");
  std::vector<std::string> merged = PointLines(demo_.PcFolder() / "JOB1.CRD");
  std::sort(expected.begin(), expected.end());
  std::sort(merged.begin(), merged.end());
  EXPECT_EQ(merged, expected);
}

}  // namespace
}  // namespace pelikon
