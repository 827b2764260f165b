// The main window against the simulated collector on a pseudo-terminal,
// with the demonstration's sample folders, started and connected, and a
// user's mouse and keyboard to work it with.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <wx/weakref.h>

#include "app/demo/demo_session.h"
#include "gui/transfer_dlg.h"
#include "gui/user_input.h"
#include "support/no_sound.h"
#include "support/temp_dir.h"

namespace pelikon::testing {

inline std::vector<std::string> Column(const PaneListView& pane, int column) {
  std::vector<std::string> texts;
  for (long row = 0; row < pane.GetItemCount(); ++row) texts.push_back(pane.GetItemText(row, column).utf8_string());
  return texts;
}

// The row showing `name`, or -1.
inline long RowOf(const PaneListView& pane, const std::string& name) {
  const std::vector<std::string> names = Column(pane, 0);
  const auto found = std::find(names.begin(), names.end(), name);
  return found == names.end() ? -1 : static_cast<long>(found - names.begin());
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(demo_.Start(work_.Path(), std::filesystem::path(PELIKON_BIN_DIR) / "collector-sim", error)) << error;
    OpenWindow();
    BeforeStart();
    window_->Start();
    ASSERT_TRUE(RunUntil([this] { return window_->StatusLine() == "Status: Connected to remote machine"; }))
        << window_->StatusLine();
    ASSERT_TRUE(RunUntil([this] { return !window_->Busy(); }));
    // After the window, so that its probe sees input before the window does.
    input_ = std::make_unique<UserInput>();
  }
  void TearDown() override {
    input_.reset();
    if (alive_) window_->Destroy();
    wxTheApp->Yield(true);
    demo_.Stop();
  }

  // Makes and shows the main window on the demonstration's settings (not
  // started: nothing connects).
  void OpenWindow() {
    CTransferDlg::Setup setup;
    setup.settings = &demo_.Settings();
    setup.program_folder = PELIKON_BIN_DIR;
    setup.temp_folder = work_.Path();
    setup.sound_output = &no_sound_;
    window_ = new CTransferDlg(setup);
    alive_ = window_;
    window_->Show();
  }

  // Runs once the window is shown, before it starts connecting.
  virtual void BeforeStart() {}

  PaneListView& Pane(PaneSide side) { return window_->Pane(side); }
  wxWindow* Button(int id) { return window_->FindWindow(id); }
  std::string Tagged() { return window_->LabelText(PaneLabel::kTaggedCount).utf8_string(); }
  // Names of the tagged entries of `side`, in pane order.
  std::vector<std::string> TaggedNames(PaneSide side) {
    std::vector<std::string> names;
    for (const DirEntry& entry : window_->Panes().List(side).entries)
      if (entry.tagged) names.push_back(entry.name);
    return names;
  }
  // Names shown in the selected rows of `side`.
  std::vector<std::string> SelectedNames(PaneSide side) {
    std::vector<std::string> names;
    for (const size_t row : Pane(side).SelectedRows())
      names.push_back(Pane(side).GetItemText(static_cast<long>(row)).utf8_string());
    return names;
  }
  // Waits until the tagged-files line reads `expected`.
  bool TaggedBecomes(const std::string& expected) {
    return RunUntil([&] { return Tagged() == expected; }, 5);
  }

  TempDir work_;
  DemoSession demo_;
  NoSound no_sound_;
  CTransferDlg* window_ = nullptr;
  wxWeakRef<CTransferDlg> alive_;
  std::unique_ptr<UserInput> input_;
};

}  // namespace pelikon::testing
