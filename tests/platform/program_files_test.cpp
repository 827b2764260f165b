#include "platform/program_files.h"

#include <gtest/gtest.h>

#include "platform/dynamic_library.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

// An installed layout under a made-up prefix: the program in bin/, its
// private library in lib/pelikon/, catalogues in share/locale/.
class InstalledLayout : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directories(bin_);
    std::filesystem::create_directories(private_);
    std::filesystem::create_directories(prefix_ / "share" / "locale");
  }
  testing::TempDir root_;
  std::filesystem::path prefix_ = root_ / "usr";
  std::filesystem::path bin_ = prefix_ / "bin";
  std::filesystem::path private_ = prefix_ / "lib" / "pelikon";
};

TEST_F(InstalledLayout, FindsPrivateFilesAndCataloguesFromTheProgramFolder) {
  EXPECT_EQ(PrivateFolders(bin_), (std::vector<std::filesystem::path>{bin_, private_}));
  EXPECT_EQ(CatalogueFolder(bin_), prefix_ / "share" / "locale");

  root_.Write("usr/lib/pelikon/collector-sim", "");
  EXPECT_EQ(FindPrivateFile(bin_, "collector-sim"), private_ / "collector-sim");
  root_.Write("usr/bin/collector-sim", "");
  EXPECT_EQ(FindPrivateFile(bin_, "collector-sim"), bin_ / "collector-sim") << "beside the program comes first";
  EXPECT_EQ(FindPrivateFile(bin_, "missing"), bin_ / "missing");

  std::filesystem::copy_file(std::filesystem::path(PELIKON_BIN_DIR) / "libpelikonsample.so",
                             private_ / "libpelikonsample.so");
  DynamicLibrary library;
  ASSERT_TRUE(library.Load("pelikonsample.DLL", bin_)) << library.LastError();
  auto answer = library.Bind<int (*)()>("pelikon_sample_answer");
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
}

TEST_F(InstalledLayout, CataloguesBesideTheProgramComeFirst) {
  std::filesystem::create_directories(bin_ / "locale");
  EXPECT_EQ(CatalogueFolder(bin_), bin_ / "locale");
  const std::filesystem::path elsewhere = root_ / "tools";
  EXPECT_EQ(PrivateFolders(elsewhere), std::vector<std::filesystem::path>{elsewhere}) << "not the bin/ of a prefix";
  EXPECT_EQ(CatalogueFolder(elsewhere), elsewhere / "locale");
  EXPECT_TRUE(PrivateFolders({}).empty());
  EXPECT_EQ(ProgramFolder(), std::filesystem::path(PELIKON_BIN_DIR)) << "the test programs are built into bin/";
}

}  // namespace
}  // namespace pelikon
