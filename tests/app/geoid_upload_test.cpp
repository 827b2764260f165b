// Make geoid grid's upload against the collector simulator: the sub-grid
// goes into the collector program's folder and the remote pane comes back
// to where it was; without a program folder or a connection nothing is
// sent and the message names the file to copy by hand.
#include <gtest/gtest.h>

#include <fstream>

#include "app/geoid/make_geoid_grid.h"
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

}  // namespace
}  // namespace pelikon
