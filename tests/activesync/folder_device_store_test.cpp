#include "activesync/folder_device_store.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon::activesync {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

constexpr int64_t kSecond = 1000000000;
constexpr int64_t kSurveyDay = 1700000000 * kSecond;  // 2023-11-14

class FolderDeviceStoreTest : public ::testing::Test {
 protected:
  FolderDeviceStoreTest() : root_(temp_ / "device"), state_(temp_ / "settings" / "device-state") {
    fs::create_directories(root_);
  }

  std::map<std::string, DeviceEntry> List(std::string_view folder, std::string_view mask = "*.*") {
    std::vector<DeviceEntry> entries;
    EXPECT_EQ(store_.FindFiles(folder, mask, entries), DeviceError::kNone);
    std::map<std::string, DeviceEntry> by_name;
    for (const DeviceEntry& entry : entries) by_name[entry.name] = entry;
    return by_name;
  }

  uint32_t Attributes(std::string_view path) {
    uint32_t attributes = 0;
    EXPECT_EQ(store_.GetAttributes(path, attributes), DeviceError::kNone) << path;
    return attributes;
  }

  // Writes `content` to a device file through the store, with `written` as
  // its time; false when any step fails.
  DeviceError Upload(std::string_view path, std::string_view content, int64_t written = kSurveyDay) {
    std::unique_ptr<DeviceWriter> writer;
    DeviceError error = store_.CreateForWriting(path, writer);
    if (error != DeviceError::kNone) return error;
    size_t taken = 0;
    error = writer->Write(content.data(), content.size(), taken);
    if (error != DeviceError::kNone) return error;
    writer->SetTimes({written, written, written});
    return writer->Commit();
  }

  TempDir temp_;
  fs::path root_;
  fs::path state_;
  FolderDeviceStore store_{root_, state_};
};

TEST_F(FolderDeviceStoreTest, DevicePathsMapBelowTheRoot) {
  temp_.Write("device/Jobs/JOB1.CRD", "points");
  EXPECT_EQ(store_.HostPath("\\Jobs\\JOB1.CRD"), fs::canonical(root_) / "Jobs" / "JOB1.CRD");
  EXPECT_EQ(store_.HostPath("\\"), fs::canonical(root_));
  // A new name in an existing folder maps; one in a missing folder does not.
  EXPECT_EQ(store_.HostPath("\\Jobs\\NEW.CRD"), fs::canonical(root_) / "Jobs" / "NEW.CRD");
  EXPECT_EQ(store_.HostPath("\\Missing\\NEW.CRD"), std::nullopt);

  std::unique_ptr<DeviceReader> reader;
  ASSERT_EQ(store_.OpenForReading("Jobs/JOB1.CRD", reader), DeviceError::kNone);
  char buffer[16];
  size_t got = 0;
  ASSERT_EQ(reader->Read(buffer, sizeof buffer, got), DeviceError::kNone);
  EXPECT_EQ(std::string(buffer, got), "points");
}

TEST_F(FolderDeviceStoreTest, EscapesAreRefusedLikeAMissingFile) {
  temp_.Write("outside.txt", "secret");
  fs::create_directory_symlink("/etc", root_ / "etc");
  fs::create_symlink(temp_ / "outside.txt", root_ / "out.txt");
  fs::create_symlink(temp_ / "nowhere", root_ / "dangling");
  uint32_t attributes = 0;
  std::unique_ptr<DeviceReader> reader;
  std::unique_ptr<DeviceWriter> writer;
  std::vector<DeviceEntry> entries;
  for (const char* path : {"..\\outside.txt", "..\\..\\x", "\\etc\\passwd", "\\etc", "\\out.txt", "\\dangling"}) {
    EXPECT_EQ(store_.HostPath(path), std::nullopt) << path;
    EXPECT_EQ(store_.GetAttributes(path, attributes), DeviceError::kNotFound) << path;
    EXPECT_EQ(store_.OpenForReading(path, reader), DeviceError::kNotFound) << path;
    EXPECT_EQ(store_.CreateForWriting(path, writer), DeviceError::kNotFound) << path;
    EXPECT_EQ(store_.FindFiles(path, "*.*", entries), DeviceError::kNotFound) << path;
    EXPECT_EQ(store_.SetAttributes(path, kDeviceReadOnly), DeviceError::kNotFound) << path;
  }
  EXPECT_EQ(store_.Rename("\\dangling", "\\moved", false), DeviceError::kNotFound);
  EXPECT_EQ(store_.Copy("\\out.txt", "\\copy.txt", false), DeviceError::kNotFound);
  EXPECT_EQ(testing::Contents(temp_ / "outside.txt"), "secret");
  EXPECT_EQ((fs::status(temp_ / "outside.txt").permissions() & fs::perms::owner_write), fs::perms::owner_write);
  EXPECT_TRUE(List("\\").empty()) << "links that leave the root are not listed";
}

TEST_F(FolderDeviceStoreTest, LinksThatStayInsideAreFollowed) {
  temp_.Write("device/Jobs/JOB1.CRD", "points");
  fs::create_directory_symlink("Jobs", root_ / "Current");
  fs::create_symlink("Jobs/JOB1.CRD", root_ / "latest.crd");
  EXPECT_EQ(store_.HostPath("\\Current\\JOB1.CRD"), fs::canonical(root_) / "Jobs" / "JOB1.CRD");
  auto listing = List("\\");
  ASSERT_EQ(listing.count("Current"), 1u);
  EXPECT_EQ(listing["Current"].attributes & kDeviceFolder, kDeviceFolder);
  ASSERT_EQ(listing.count("latest.crd"), 1u);
  EXPECT_EQ(listing["latest.crd"].size, 6u);
  EXPECT_EQ(List("\\Current").count("JOB1.CRD"), 1u);
}

TEST_F(FolderDeviceStoreTest, ListingGivesAttributesTimesAndSizes) {
  temp_.Write("device/JOB1.CRD", std::string(10000, 'x'));
  temp_.Write("device/notes.txt", "n");
  temp_.Write("device/.settings", "");
  fs::create_directory(root_ / "Jobs");
  ASSERT_EQ(store_.SetTimes("\\JOB1.CRD", {kSurveyDay, kSurveyDay, kSurveyDay + 7}), DeviceError::kNone);
  const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  fs::permissions(root_ / "notes.txt", write, fs::perm_options::remove);

  auto listing = List("\\");
  ASSERT_EQ(listing.size(), 4u);
  EXPECT_EQ(listing["JOB1.CRD"].size, 10000u);
  EXPECT_EQ(listing["JOB1.CRD"].written, kSurveyDay + 7);
  EXPECT_EQ(listing["JOB1.CRD"].attributes, kDeviceArchive);
  EXPECT_EQ(listing["notes.txt"].attributes, kDeviceReadOnly | kDeviceArchive);
  EXPECT_EQ(listing[".settings"].attributes, kDeviceHidden | kDeviceArchive);
  EXPECT_EQ(listing["Jobs"].attributes, kDeviceFolder);
  EXPECT_EQ(listing["Jobs"].size, 0u);

  auto crd_only = List("\\", "*.crd");
  ASSERT_EQ(crd_only.size(), 1u);
  EXPECT_EQ(crd_only.begin()->first, "JOB1.CRD");
  EXPECT_TRUE(List("\\Jobs").empty());
  std::vector<DeviceEntry> entries;
  EXPECT_EQ(store_.FindFiles("\\Missing", "*.*", entries), DeviceError::kNotFound);
}

TEST_F(FolderDeviceStoreTest, ArchiveStateRoundTrip) {
  temp_.Write("device/Jobs/JOB1.CRD", "v1");
  ASSERT_EQ(store_.SetTimes("\\Jobs\\JOB1.CRD", {kSurveyDay, kSurveyDay, kSurveyDay}), DeviceError::kNone);
  EXPECT_EQ(Attributes("\\Jobs\\JOB1.CRD"), kDeviceArchive) << "never reset: changed";

  ASSERT_EQ(store_.SetAttributes("\\Jobs\\JOB1.CRD", kDeviceNormal), DeviceError::kNone);
  EXPECT_EQ(Attributes("\\Jobs\\JOB1.CRD"), kDeviceNormal);
  EXPECT_TRUE(fs::exists(state_)) << "kept where the caller said";
  {
    FolderDeviceStore again(root_, state_);
    uint32_t attributes = 0;
    ASSERT_EQ(again.GetAttributes("\\Jobs\\JOB1.CRD", attributes), DeviceError::kNone);
    EXPECT_EQ(attributes, kDeviceNormal) << "the reset survives a new store";
    // Another root's state file knows nothing of it.
    FolderDeviceStore other(root_, temp_ / "settings" / "other-state");
    ASSERT_EQ(other.GetAttributes("\\Jobs\\JOB1.CRD", attributes), DeviceError::kNone);
    EXPECT_EQ(attributes, kDeviceArchive);
  }

  // The collector writes the file again: changed since the reset.
  ASSERT_EQ(store_.SetTimes("\\Jobs\\JOB1.CRD", {kSurveyDay, kSurveyDay, kSurveyDay + kSecond}), DeviceError::kNone);
  EXPECT_EQ(Attributes("\\Jobs\\JOB1.CRD"), kDeviceArchive);

  // Reset, then an upload over it with the very same time still counts as a change.
  ASSERT_EQ(store_.SetAttributes("\\Jobs\\JOB1.CRD", 0), DeviceError::kNone);
  ASSERT_EQ(Upload("\\Jobs\\JOB1.CRD", "v2", kSurveyDay + kSecond), DeviceError::kNone);
  EXPECT_EQ(Attributes("\\Jobs\\JOB1.CRD"), kDeviceArchive);

  // Setting archive explicitly, too.
  ASSERT_EQ(store_.SetAttributes("\\Jobs\\JOB1.CRD", kDeviceNormal), DeviceError::kNone);
  ASSERT_EQ(store_.SetAttributes("\\Jobs\\JOB1.CRD", kDeviceArchive), DeviceError::kNone);
  EXPECT_EQ(Attributes("\\Jobs\\JOB1.CRD"), kDeviceArchive);
}

TEST_F(FolderDeviceStoreTest, AttributeChangesThatCannotTakeEffectFail) {
  temp_.Write("device/JOB1.CRD", "v1");
  // The state file cannot be written: its folder is a file.
  temp_.Write("blocked", "");
  FolderDeviceStore blocked(root_, temp_ / "blocked" / "state");
  EXPECT_NE(blocked.SetAttributes("\\JOB1.CRD", kDeviceNormal), DeviceError::kNone);
  uint32_t attributes = 0;
  ASSERT_EQ(blocked.GetAttributes("\\JOB1.CRD", attributes), DeviceError::kNone);
  EXPECT_EQ(attributes, kDeviceArchive);

  // Hidden comes from the name and there is no system bit: nothing changes.
  EXPECT_EQ(store_.SetAttributes("\\JOB1.CRD", kDeviceReadOnly | kDeviceHidden), DeviceError::kUnsupported);
  EXPECT_EQ(store_.SetAttributes("\\JOB1.CRD", kDeviceSystem), DeviceError::kUnsupported);
  EXPECT_EQ(Attributes("\\JOB1.CRD"), kDeviceArchive);
}

TEST_F(FolderDeviceStoreTest, ReadOnlyFollowsTheWritePermission) {
  temp_.Write("device/JOB1.CRD", "v1");
  ASSERT_EQ(store_.SetAttributes("\\JOB1.CRD", kDeviceReadOnly | kDeviceArchive), DeviceError::kNone);
  const fs::perms write = fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  EXPECT_EQ(fs::status(root_ / "JOB1.CRD").permissions() & write, fs::perms::none);
  EXPECT_EQ(Attributes("\\JOB1.CRD"), kDeviceReadOnly | kDeviceArchive);

  // A read-only file is neither replaced nor deleted.
  EXPECT_EQ(Upload("\\JOB1.CRD", "v2"), DeviceError::kDenied);
  EXPECT_EQ(store_.Delete("\\JOB1.CRD"), DeviceError::kDenied);
  EXPECT_EQ(testing::Contents(root_ / "JOB1.CRD"), "v1");

  ASSERT_EQ(store_.SetAttributes("\\JOB1.CRD", kDeviceNormal), DeviceError::kNone);
  EXPECT_EQ(Attributes("\\JOB1.CRD"), kDeviceNormal);
  EXPECT_EQ(store_.Delete("\\JOB1.CRD"), DeviceError::kNone);
  EXPECT_FALSE(fs::exists(root_ / "JOB1.CRD"));
}

TEST_F(FolderDeviceStoreTest, RenameHonoursFailIfExists) {
  temp_.Write("device/A.CRD", "a");
  temp_.Write("device/B.CRD", "b");
  EXPECT_EQ(store_.Rename("\\A.CRD", "\\B.CRD", true), DeviceError::kExists);
  EXPECT_EQ(testing::Contents(root_ / "A.CRD"), "a");
  EXPECT_EQ(testing::Contents(root_ / "B.CRD"), "b");
  EXPECT_EQ(store_.Copy("\\A.CRD", "\\B.CRD", true), DeviceError::kExists);
  EXPECT_EQ(testing::Contents(root_ / "B.CRD"), "b");

  ASSERT_EQ(store_.Rename("\\A.CRD", "\\C.CRD", true), DeviceError::kNone);
  EXPECT_EQ(testing::EntryNames(root_), (std::set<std::string>{"B.CRD", "C.CRD"}));
  ASSERT_EQ(store_.Rename("\\C.CRD", "\\B.CRD", false), DeviceError::kNone);
  EXPECT_EQ(testing::EntryNames(root_), (std::set<std::string>{"B.CRD"}));
  EXPECT_EQ(testing::Contents(root_ / "B.CRD"), "a");
  EXPECT_EQ(store_.Rename("\\Missing.CRD", "\\D.CRD", true), DeviceError::kNotFound);
}

TEST_F(FolderDeviceStoreTest, CopyKeepsContentAndTimes) {
  temp_.Write("device/A.CRD", std::string(200000, 'p'));
  ASSERT_EQ(store_.SetTimes("\\A.CRD", {kSurveyDay, kSurveyDay, kSurveyDay}), DeviceError::kNone);
  ASSERT_EQ(store_.Copy("\\A.CRD", "\\Jobs.CRD", false), DeviceError::kNone);
  EXPECT_EQ(testing::Contents(root_ / "Jobs.CRD"), std::string(200000, 'p'));
  DeviceFileTimes times;
  ASSERT_EQ(store_.GetTimes("\\Jobs.CRD", times), DeviceError::kNone);
  EXPECT_EQ(times.written, kSurveyDay);
  EXPECT_EQ(testing::EntryNames(root_), (std::set<std::string>{"A.CRD", "Jobs.CRD"}));
}

TEST_F(FolderDeviceStoreTest, FoldersAreMadeAndRemoved) {
  ASSERT_EQ(store_.CreateFolder("\\Jobs"), DeviceError::kNone);
  EXPECT_EQ(store_.CreateFolder("\\Jobs"), DeviceError::kExists);
  ASSERT_EQ(Upload("\\Jobs\\JOB1.CRD", "p"), DeviceError::kNone);
  EXPECT_EQ(store_.RemoveFolder("\\Jobs"), DeviceError::kNotEmpty);
  EXPECT_EQ(store_.Delete("\\Jobs"), DeviceError::kDenied) << "a folder is not deleted as a file";
  ASSERT_EQ(store_.Delete("\\Jobs\\JOB1.CRD"), DeviceError::kNone);
  EXPECT_EQ(store_.RemoveFolder("\\Jobs"), DeviceError::kNone);
  EXPECT_EQ(store_.RemoveFolder("\\"), DeviceError::kDenied);
  EXPECT_TRUE(fs::exists(root_));
}

TEST_F(FolderDeviceStoreTest, UploadReplacesOnlyWhenComplete) {
  temp_.Write("device/JOB1.CRD", "old");
  {
    std::unique_ptr<DeviceWriter> writer;
    ASSERT_EQ(store_.CreateForWriting("\\JOB1.CRD", writer), DeviceError::kNone);
    size_t taken = 0;
    ASSERT_EQ(writer->Write("new content", 11, taken), DeviceError::kNone);
    EXPECT_EQ(testing::Contents(root_ / "JOB1.CRD"), "old") << "nothing visible before the commit";
    // Abandoned: the transfer failed.
  }
  EXPECT_EQ(testing::Contents(root_ / "JOB1.CRD"), "old");
  EXPECT_EQ(testing::EntryNames(root_), std::set<std::string>{"JOB1.CRD"}) << "no twin left behind";

  ASSERT_EQ(Upload("\\JOB1.CRD", "new content", kSurveyDay), DeviceError::kNone);
  EXPECT_EQ(testing::Contents(root_ / "JOB1.CRD"), "new content");
  EXPECT_EQ(List("\\")["JOB1.CRD"].written, kSurveyDay);
  EXPECT_EQ(testing::EntryNames(root_), std::set<std::string>{"JOB1.CRD"});
}

TEST_F(FolderDeviceStoreTest, AShortWriteLeavesTheOldFileAndNoTwin) {
  temp_.Write("device/JOB1.CRD", "the collector's data");
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // A file-size limit makes the device full after 4 KiB.
    ::signal(SIGXFSZ, SIG_IGN);
    const struct rlimit limit = {4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    FolderDeviceStore store(root_, state_);
    std::unique_ptr<DeviceWriter> writer;
    if (store.CreateForWriting("\\JOB1.CRD", writer) != DeviceError::kNone) ::_exit(10);
    const std::string content(10000, 'n');
    size_t taken = 0;
    const DeviceError error = writer->Write(content.data(), content.size(), taken);
    writer.reset();
    ::_exit(error == DeviceError::kNoSpace && taken == 4096 ? 0 : 11);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the write reports the device full after what it took";
  EXPECT_EQ(testing::Contents(root_ / "JOB1.CRD"), "the collector's data");
  EXPECT_EQ(testing::EntryNames(root_), std::set<std::string>{"JOB1.CRD"});
}

TEST_F(FolderDeviceStoreTest, StoreInformationAndPresence) {
  StoreInformation info;
  ASSERT_EQ(store_.Information(info), DeviceError::kNone);
  EXPECT_GT(info.size, 0u);
  EXPECT_LE(info.free, info.size);
  EXPECT_TRUE(store_.StillThere());
  fs::remove(root_);
  EXPECT_FALSE(store_.StillThere());
  EXPECT_NE(store_.Information(info), DeviceError::kNone);
  EXPECT_EQ(store_.HostPath("\\"), std::nullopt);
}

// On a FAT file system the attributes are the file system's own. Needs a
// loop mount, which most test machines do not allow.
TEST(FolderDeviceStoreFat, AttributesAreTheFileSystems) {
  TempDir temp;
  const fs::path image = temp / "fat.img";
  const fs::path mount_point = temp / "mnt";
  fs::create_directory(mount_point);
  const std::string make = "truncate -s 4M '" + image.string() + "' && mkfs.vfat '" + image.string() +
                           "' >/dev/null 2>&1 && mount -o loop '" + image.string() + "' '" + mount_point.string() +
                           "' >/dev/null 2>&1";
  if (std::system(make.c_str()) != 0) GTEST_SKIP() << "cannot make and mount a FAT image here";
  {
    TempDir::WriteFile(mount_point / "JOB1.CRD", "p");
    FolderDeviceStore store(mount_point, temp / "state");
    uint32_t attributes = 0;
    EXPECT_EQ(store.SetAttributes("\\JOB1.CRD", kDeviceHidden | kDeviceSystem), DeviceError::kNone);
    EXPECT_EQ(store.GetAttributes("\\JOB1.CRD", attributes), DeviceError::kNone);
    EXPECT_EQ(attributes, kDeviceHidden | kDeviceSystem);
    EXPECT_EQ(store.SetAttributes("\\JOB1.CRD", kDeviceNormal), DeviceError::kNone);
    EXPECT_EQ(store.GetAttributes("\\JOB1.CRD", attributes), DeviceError::kNone);
    EXPECT_EQ(attributes, kDeviceNormal);
    EXPECT_FALSE(fs::exists(temp / "state")) << "no state file on FAT";
  }
  ::umount(mount_point.c_str());
}

}  // namespace
}  // namespace pelikon::activesync
