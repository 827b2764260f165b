// The two panes wired to a scripted collector, for tests of the panes and
// of the commands built on them: a view that records what the window would
// show, a scripted user, a sound output that records the cues played, and
// a local folder and a working folder of their own.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/link_setup.h"
#include "app/panes/panes_controller.h"
#include "link/progress/sound_cues.h"
#include "support/fake_collector.h"
#include "support/recording_sound.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace pelikon::testing {

class RecordingView final : public PanesView {
 public:
  void ShowRows(PaneSide side) override {
    ++shown[static_cast<int>(side)];
    selected[static_cast<int>(side)].clear();
  }
  void SetLabel(PaneLabel label, const std::string& text) override { labels[label] = text; }
  void ShowRemoteList() override { remote_list_shown = true; }
  void EnableRemoteList(bool enabled) override { remote_enabled = enabled; }
  void DeselectAll(PaneSide side) override {
    ++deselected[static_cast<int>(side)];
    selected[static_cast<int>(side)].clear();
  }
  std::vector<size_t> SelectedRows(PaneSide side) const override { return selected[static_cast<int>(side)]; }

  std::map<PaneLabel, std::string> labels;
  std::vector<size_t> selected[2];
  int shown[2] = {0, 0};
  int deselected[2] = {0, 0};
  bool remote_list_shown = false;
  bool remote_enabled = true;
};

class PanesFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    settings_ = FirstRunSettings(work_.Path().string(), local_.Path().string());
    link_ = std::make_unique<RemoteLink>(ui_, progress_, LinkSettingsFrom(settings_, work_.Path(), local_.Path()),
                                         [this](int index, int baud) { return collector_.Open(clock_, index, baud); });
    panes_ = std::make_unique<PanesController>(settings_, *link_, progress_, ui_, view_, work_.Path());
    ASSERT_TRUE(panes_->SetLocalFolder(local_.Path()));
  }
  std::vector<std::string> Names(PaneSide side) const {
    std::vector<std::string> names;
    for (const DirEntry& entry : panes_->List(side).entries) names.push_back(entry.name);
    return names;
  }
  // Tags the entries of `side` with these names, as a selection would.
  void Tag(PaneSide side, std::initializer_list<std::string> names) {
    for (DirEntry& entry : panes_->Entries(side).entries)
      for (const std::string& name : names)
        if (entry.name == name) entry.tagged = true;
  }

  FakeClock clock_;
  ScriptedUi ui_;
  RecordingSound sound_output_;
  SoundCues sound_{sound_output_};
  TransferProgress progress_{ui_, sound_};
  FakeCollector collector_;
  TempDir work_;
  TempDir local_;
  TransferSettings settings_;
  std::unique_ptr<RemoteLink> link_;
  RecordingView view_;
  std::unique_ptr<PanesController> panes_;
};

}  // namespace pelikon::testing
