#include "platform/temp_folder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::TempDir;

mode_t ModeOf(const std::filesystem::path& path) {
  struct stat info {};
  EXPECT_EQ(::lstat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

TEST(PrivateFolder, IsCreatedForTheOwnerAlone) {
  TempDir dir;
  const auto folder = dir / "work";
  ASSERT_FALSE(PreparePrivateFolder(folder));
  EXPECT_EQ(ModeOf(folder), 0700u);
  EXPECT_FALSE(PreparePrivateFolder(folder)) << "an existing good folder is accepted again";
}

TEST(PrivateFolder, RefusesFoldersOthersCouldWriteOrReplace) {
  TempDir dir;
  const auto shared = dir / "shared";
  ASSERT_EQ(::mkdir(shared.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(shared.c_str(), 01777), 0);
  EXPECT_TRUE(PreparePrivateFolder(shared)) << "world-writable";

  const auto group = dir / "group";
  ASSERT_EQ(::mkdir(group.c_str(), 0700), 0);
  ASSERT_EQ(::chmod(group.c_str(), 0770), 0);
  EXPECT_TRUE(PreparePrivateFolder(group)) << "group-writable";

  const auto target = dir / "target";
  ASSERT_EQ(::mkdir(target.c_str(), 0700), 0);
  const auto link = dir / "link";
  ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
  EXPECT_TRUE(PreparePrivateFolder(link)) << "a link planted where the folder should be";

  const auto file = dir.Write("plain", "x");
  EXPECT_TRUE(PreparePrivateFolder(file));
}

TEST(PrivateFolder, RefusesAFolderOwnedBySomeoneElse) {
  if (::geteuid() != 0) GTEST_SKIP() << "handing a folder to another user needs the superuser";
  TempDir dir;
  const auto foreign = dir / "foreign";
  ASSERT_EQ(::mkdir(foreign.c_str(), 0700), 0);
  ASSERT_EQ(::chown(foreign.c_str(), 65534, 65534), 0);
  EXPECT_EQ(PreparePrivateFolder(foreign), std::make_error_code(std::errc::operation_not_permitted));
}

TEST(PrivateFolder, TempFolderHonoursTheOverrideAndRefusesABadOne) {
  TempDir dir;
  ::setenv("PELIKON_TEMP_DIR", (dir / "mine").c_str(), 1);
  EXPECT_EQ(TempFolder(), dir / "mine");
  ASSERT_EQ(::chmod((dir / "mine").c_str(), 0777), 0);
  std::error_code error;
  EXPECT_EQ(TempFolder(&error), std::filesystem::path());
  EXPECT_TRUE(error);
  ::unsetenv("PELIKON_TEMP_DIR");
}

}  // namespace
}  // namespace pelikon
