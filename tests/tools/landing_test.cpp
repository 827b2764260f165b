#include "landing.h"

#include <gtest/gtest.h>

#include "platform/atomic_file.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::TempDir;

std::string Content(const std::filesystem::path& file) {
  std::string text;
  EXPECT_TRUE(ReadWholeFile(file, text)) << file;
  return text;
}

TEST(Landing, ArrivedFilesNeverReplaceOnesThatAreThere) {
  TempDir folder;
  folder.Write("JOB1.CRD", "the surveyor's own");
  pelikon_tools::Landing landing;
  std::string error;
  ASSERT_TRUE(landing.Prepare(folder.Path(), error)) << error;
  ASSERT_EQ(landing.Staging().parent_path(), folder.Path()) << "beside the files, so moving in is a rename";
  TempDir::WriteFile(landing.Staging() / "JOB1.CRD", "arrived");
  TempDir::WriteFile(landing.Staging() / "NEW.TXT", "new");
  const std::filesystem::path staging = landing.Staging();

  const pelikon_tools::Landing::Outcome outcome = landing.Finish();
  EXPECT_EQ(outcome.landed, std::vector<std::string>{"NEW.TXT"});
  EXPECT_EQ(outcome.kept, std::vector<std::string>{"JOB1.CRD"});
  EXPECT_TRUE(outcome.failed.empty());
  EXPECT_EQ(Content(folder / "JOB1.CRD"), "the surveyor's own");
  EXPECT_EQ(Content(folder / "NEW.TXT"), "new");
  EXPECT_FALSE(std::filesystem::exists(staging));
}

TEST(Landing, AFolderThatCannotTakeFilesSaysWhy) {
  TempDir folder;
  pelikon_tools::Landing landing;
  std::string error;
  EXPECT_FALSE(landing.Prepare(folder / "missing", error));
  EXPECT_EQ(error, "No such file or directory");
}

}  // namespace
}  // namespace pelikon
