// `cmake --install` into a temporary root (DESTDIR), then the installed
// program run from there without a display: every file in its place, the
// desktop entry pointing at what was installed, and a program that finds
// its catalogues and optional libraries from where it was installed.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>

#include "app/transfer_settings.h"
#include "support/simulated_collector.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

// Runs a shell command; its exit status (-1 when it did not exit).
int Shell(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::map<std::string, std::string> DesktopEntry(const std::filesystem::path& file) {
  std::ifstream in(file);
  std::map<std::string, std::string> keys;
  for (std::string line; std::getline(in, line);) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) keys[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return keys;
}

class InstalledProgram : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    root_ = new testing::TempDir;
    installed_ = Shell("DESTDIR='" + root_->Path().string() + "' '" PELIKON_CMAKE_COMMAND "' --install '" +
                       PELIKON_BUILD_DIR "' --prefix /usr >'" + (*root_ / "install.txt").string() + "' 2>&1") == 0;
  }
  static void TearDownTestSuite() {
    delete root_;
    root_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(installed_) << testing::Contents(*root_ / "install.txt"); }

  static std::filesystem::path Usr() { return *root_ / "usr"; }
  // Runs the installed program with `arguments` and `environment` and no
  // display; its exit status. What it printed is in Said() and Err().
  int Run(const std::string& arguments, const std::string& environment = "") {
    return Shell("env -u DISPLAY -u WAYLAND_DISPLAY LC_ALL=C.UTF-8 PELIKON_CONFIG_DIR='" + config_.Path().string() +
                 "' PELIKON_TEMP_DIR='" + (work_ / "tmp").string() + "' " + environment + " '" +
                 (Usr() / "bin" / "pelikon").string() + "' " + arguments + " >'" + (work_ / "stdout.txt").string() +
                 "' 2>'" + (work_ / "stderr.txt").string() + "'");
  }
  std::string Said() const { return testing::Contents(work_ / "stdout.txt"); }
  std::string Err() const { return testing::Contents(work_ / "stderr.txt"); }
  std::string Log() const { return testing::Contents(work_ / "tmp" / "pelikon.log"); }

  static testing::TempDir* root_;
  static bool installed_;
  testing::TempDir work_, config_;
};

testing::TempDir* InstalledProgram::root_ = nullptr;
bool InstalledProgram::installed_ = false;

TEST_F(InstalledProgram, EveryFileIsInItsPlaceAndTheDesktopEntryPointsAtThem) {
  for (const char* file :
       {"bin/pelikon", "lib/pelikon/collector-sim", "lib/pelikon/xfer", "lib/pelikon/crdtool", "lib/pelikon/geoidtool",
        "lib/pelikon/geoid-import", "lib/pelikon/fieldcodes", "lib/pelikon/pelikon-listing", "lib/pelikon/reporttool",
        "lib/pelikon/libtolvane.so", "lib/pelikon/libquorvel.so", "share/applications/pelikon.desktop",
        "share/metainfo/com.veldrasoftware.Pelikon.metainfo.xml", "share/icons/hicolor/scalable/apps/pelikon.svg",
        "share/icons/hicolor/16x16/apps/pelikon.png", "share/icons/hicolor/256x256/apps/pelikon.png",
        "share/man/man1/pelikon.1.gz", "share/doc/pelikon/copyright", "share/doc/pelikon/changelog.gz"})
    EXPECT_TRUE(std::filesystem::is_regular_file(Usr() / file)) << file;
  EXPECT_FALSE(std::filesystem::exists(Usr() / "bin" / "collector-sim")) << "helpers stay off the PATH";

  const auto entry = DesktopEntry(Usr() / "share" / "applications" / "pelikon.desktop");
  EXPECT_EQ(entry.at("Type"), "Application");
  EXPECT_TRUE(std::filesystem::exists(Usr() / "bin" / entry.at("Exec"))) << "Exec names the installed program";
  for (const char* size : {"16x16", "32x32", "48x48", "64x64", "128x128", "256x256"})
    EXPECT_TRUE(std::filesystem::exists(Usr() / "share/icons/hicolor" / size / "apps" / (entry.at("Icon") + ".png")))
        << size;
  // The man page speaks of the options the program offers.
  EXPECT_EQ(Shell("gzip -dc '" + (Usr() / "share/man/man1/pelikon.1.gz").string() + "' > '" +
                  (work_ / "pelikon.1").string() + "'"),
            0);
  const std::string page = testing::Contents(work_ / "pelikon.1");
  for (const char* option : {"no\\-gui", "create\\-folders", "overwrite", "/BATCH", "EXIT STATUS", "255"})
    EXPECT_NE(page.find(option), std::string::npos) << option;
}

TEST_F(InstalledProgram, AnswersHelpAndVersionWithoutADisplay) {
  EXPECT_EQ(Run("--help"), 0) << Err();
  EXPECT_NE(Said().find("/BATCH FILE [/S]"), std::string::npos) << Said();
  EXPECT_EQ(Run("--version"), 0);
  EXPECT_EQ(Said(), "Veldra Software Pelikon v1.52\n");
  EXPECT_EQ(Run(""), 1) << "no window without a display";
}

TEST_F(InstalledProgram, RunsABatchAgainstTheCollectorAndFindsItsConverter) {
  testing::TempDir store, local;
  testing::SimulatedCollector collector;
  ASSERT_TRUE(collector.Start(store.Path()));
  FileSettingsStore settings(config_.Path());
  TransferSettings first = FirstRunSettings((Usr() / "bin").string(), local.Path().string());
  first.baud = 115200;
  SaveTransferSettings(settings, first);
  settings.SetValue("port1", collector.Line().string());
  settings.SetValue("sound", "0");
  local.Write("UP.CRD", "to the collector");
  store.Write("DOWN.RW5", "to the PC");
  const std::filesystem::path batch =
      work_.Write("jobs.txt", "local=" + (local / "UP.CRD").string() + "\nremote=UP.CRD\n" +  //
                                  "local=" + (local / "DOWN.RW5").string() + "\nremote=DOWN.RW5\nupload=0\n");

  EXPECT_EQ(Run("--no-gui /BATCH '" + batch.string() + "' /S"), 0) << Err();
  EXPECT_EQ(testing::Contents(store / "UP.CRD"), "to the collector");
  EXPECT_EQ(testing::Contents(local / "DOWN.RW5"), "to the PC");
  EXPECT_NE(Log().find("no converter"), std::string::npos) << "none installed yet: " << Log();

  // An optional library put into lib/pelikon is found there.
  std::filesystem::copy_file(PELIKON_BUILD_DIR "/test-lib/libmorvish.so", Usr() / "lib/pelikon/libmorvish.so");
  std::filesystem::remove(work_ / "tmp" / "pelikon.log");
  EXPECT_EQ(Run("--no-gui /BATCH '" + batch.string() + "' /S --overwrite"), 0) << Err();
  EXPECT_EQ(Log().find("no converter"), std::string::npos) << Log();
  std::filesystem::remove(Usr() / "lib/pelikon/libmorvish.so");
}

TEST_F(InstalledProgram, ReachesADockedDeviceThroughItsConnector) {
  testing::TempDir device, local;
  FileSettingsStore settings(config_.Path());
  TransferSettings first = FirstRunSettings((Usr() / "bin").string(), local.Path().string());
  first.com = kActiveSyncLink;
  SaveTransferSettings(settings, first);
  settings.SetValue("asyncroot", device.Path().string());
  settings.SetValue("sound", "0");
  device.Write("DOWN.RW5", "from the docked collector");
  const std::filesystem::path batch =
      work_.Write("docked.txt", "local=" + (local / "DOWN.RW5").string() + "\nremote=DOWN.RW5\nupload=0\n");
  EXPECT_EQ(Run("--no-gui /BATCH '" + batch.string() + "' /S"), 0) << Err();
  EXPECT_EQ(testing::Contents(local / "DOWN.RW5"), "from the docked collector");
}

TEST_F(InstalledProgram, AdjustFindsTheMatrixLibraryBesideItself) {
  for (const char* file : {"lib/pelikon/adjust", "lib/pelikon/libpelikon_matrix.so"})
    ASSERT_TRUE(std::filesystem::is_regular_file(Usr() / file)) << file;
  const std::filesystem::path network =
      work_.Write("line.txt", "FIX A 100\nFIX B 110\nOBS A P 4.0 0.01\nOBS P B 6.1 0.01\n");
  EXPECT_EQ(Shell("env -u LD_LIBRARY_PATH '" + (Usr() / "lib/pelikon/adjust").string() + "' '" + network.string() +
                  "' >'" + (work_ / "stdout.txt").string() + "' 2>'" + (work_ / "stderr.txt").string() + "'"),
            0)
      << Err();
  EXPECT_EQ(Said(), "P 103.9500 0.0500\n");
}

TEST_F(InstalledProgram, TakesItsCataloguesFromShareLocale) {
  const std::filesystem::path folder = Usr() / "share/locale/xx/LC_MESSAGES";
  const std::filesystem::path po = work_.Write("xx.po",
                                               "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                                               "msgid \"see pelikon --help\"\nmsgstr \"siehe pelikon --help\"\n");
  std::filesystem::create_directories(folder);
  ASSERT_EQ(Shell("msgfmt -o '" + (folder / "pelikon.mo").string() + "' '" + po.string() + "'"), 0);
  EXPECT_EQ(Run("--frobnicate", "LANGUAGE=xx"), 2);
  EXPECT_NE(Err().find("(siehe pelikon --help)"), std::string::npos) << Err();
  std::filesystem::remove_all(Usr() / "share/locale/xx");
}

}  // namespace
}  // namespace pelikon
