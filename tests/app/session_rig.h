// A session of the panes against the collector simulator, without windows:
// a scripted user, the link on the simulator's line, both panes filled.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/link_setup.h"
#include "app/panes/panes_controller.h"
#include "support/no_sound.h"
#include "support/scripted_ui.h"
#include "support/simulated_collector.h"
#include "support/temp_dir.h"

namespace pelikon::testing {

class SessionRig : public ::testing::Test {
 protected:
  // Starts the simulator on `store_`, connects, fills both panes.
  // Zmodem is the engine lrzsz speaks (knob --third-party); else Kermit.
  void Connect(const std::vector<std::string>& knobs = {}, bool kermit = true) {
    ASSERT_TRUE(collector_.Start(store_.Path(), knobs)) << "the simulator did not start";
    std::filesystem::create_directories(Temp());
    settings_ = FirstRunSettings(work_.Path().string(), local_.Path().string());
    settings_.baud = 115200;
    settings_.use_kermit = kermit;
    link_ = std::make_unique<RemoteLink>(ui_, progress_, LinkSettingsFrom(settings_, Temp(), local_.Path()),
                                         collector_.Opener(&ui_));
    panes_ = std::make_unique<PanesController>(settings_, *link_, progress_, ui_, view_, Temp());
    ASSERT_TRUE(panes_->SetLocalFolder(local_.Path()));
    panes_->FillLocal();
    panes_->Connect();
    ASSERT_TRUE(link_->Connected()) << ::testing::PrintToString(ui_.Shown());
  }
  // Tags the entry `name` of `side`.
  void Tag(PaneSide side, const std::string& name) {
    for (DirEntry& entry : panes_->Entries(side).entries)
      if (entry.name == name) entry.tagged = true;
  }
  // The run's working folder, two folders below `work_`, so that a path
  // that climbs out of it still lands inside the test's own folder.
  std::filesystem::path Temp() const { return work_ / "run" / "pelikon"; }
  int Count(const std::string& heard) const {
    const std::vector<std::string> lines = collector_.Heard();
    return static_cast<int>(std::count(lines.begin(), lines.end(), heard));
  }

  TempDir work_, store_, local_;
  ScriptedUi ui_;
  NoSound no_sound_;
  SoundCues sound_{no_sound_};
  TransferProgress progress_{ui_, sound_};
  SimulatedCollector collector_;
  TransferSettings settings_;
  std::unique_ptr<RemoteLink> link_;
  NoPanesView view_;
  std::unique_ptr<PanesController> panes_;
};

}  // namespace pelikon::testing
