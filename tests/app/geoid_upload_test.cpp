// Make geoid grid's upload against the collector simulator: the sub-grid
// goes into the collector program's folder and the remote pane comes back
// to where it was; without a program folder or a connection nothing is
// sent and the message names the file to copy by hand.
#include <gtest/gtest.h>

#include <fstream>

#include "app/app_session.h"
#include "app/geoid/make_geoid_grid.h"
#include "geoid/proj_data.h"
#include "platform/settings_store.h"
#include "session_rig.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;

class GeoidUploadTest : public testing::SessionRig {
 protected:
  void SetUp() override {
    fs::create_directories(store_ / "Ostrel");
    std::ofstream(local_ / "geoid.gsf") << "44.2500\r\n266.2500\r\n";
  }
};

// The dialog as a user who presses OK on a sub-grid already written.
class WrittenGrid final : public GeoidAreaDialogPort {
 public:
  explicit WrittenGrid(fs::path file) : file_(std::move(file)) {}
  bool Ask(GeoidAreaFields& fields, fs::path& written) override {
    fields.grid_folder = "/srv/grids";
    written = file_;
    return true;
  }

 private:
  fs::path file_;
};

TEST_F(GeoidUploadTest, TheSubGridGoesIntoTheProgramFolderAndThePaneStaysWhereItWas) {
  Connect();
  const std::string before = link_->RemoteFolder();
  WrittenGrid dialog(local_ / "geoid.gsf");
  MakeGeoidGrid(*panes_, dialog);
  EXPECT_TRUE(fs::exists(store_ / "Ostrel" / "geoid.gsf")) << ::testing::PrintToString(ui_.Shown());
  EXPECT_EQ(link_->RemoteFolder(), before);
  EXPECT_EQ(settings_.geoid_folder, "/srv/grids") << "the dialog's folder is kept";
}

TEST_F(GeoidUploadTest, OlderSoftwareOrNoConnectionSendsNothingAndNamesTheFile) {
  Connect({"--no-program-folder"});
  EXPECT_EQ(UploadGeoidGrid(*panes_, local_ / "geoid.gsf"), 0);
  EXPECT_TRUE(ui_.Saw("Warning: Remote software is outdated. Please copy '" + (local_ / "geoid.gsf").string() +
                      "' to remote program directory manually."))
      << ::testing::PrintToString(ui_.Shown());
  link_->SetConnected(false);
  EXPECT_EQ(UploadGeoidGrid(*panes_, local_ / "geoid.gsf"), 0);
  EXPECT_TRUE(ui_.Saw("Error: No connection to remote device.\n Please copy '" + (local_ / "geoid.gsf").string() +
                      "' to remote program directory manually."));
  EXPECT_FALSE(fs::exists(store_ / "Ostrel" / "geoid.gsf"));
}

// Where a missing model comes from: Debian's EGM96 through the import
// helper when the user agrees, else the grid server, which must be set.
TEST(GeoidPlaces, EgmNinetySixIsImportedWhenAgreedAndWithoutAServerTheUserIsTold) {
  MemorySettingsStore store;
  testing::ScriptedUi ui;
  testing::NoSound no_sound;
  NoPanesView view;
  testing::TempDir work;
  AppSession session(SessionSetup{&store, PELIKON_BIN_DIR, work.Path(), &no_sound}, ui, view);
  session.Start(false);
  const GeoidCutPlaces places = session.GeoidPlaces();
  EXPECT_EQ(places.program_folder, fs::path(PELIKON_BIN_DIR));

  EXPECT_FALSE(places.download("g2009u01.grd", work / "g2009u01.grd"));
  EXPECT_TRUE(ui.Saw("No grid download server is set")) << ::testing::PrintToString(ui.Shown());
  if (FindProjEgm96().empty()) GTEST_SKIP() << "no EGM96 in PROJ's data on this system";
  ui.QueueAnswer(kAnswerNo);
  EXPECT_FALSE(places.download("egm96.grd", work / "egm96.grd")) << "declined, and no server";
  EXPECT_FALSE(fs::exists(work / "egm96.grd"));
  ui.QueueAnswer(kAnswerYes);
  ASSERT_TRUE(places.download("egm96.grd", work / "egm96.grd")) << ::testing::PrintToString(ui.Shown());
  std::ifstream model(work / "egm96.grd");
  std::string south;
  std::getline(model, south);
  EXPECT_EQ(south, "-90.0000");
}

}  // namespace
}  // namespace pelikon
