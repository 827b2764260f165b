#include "platform/settings_store.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>

#include "platform/atomic_file.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::TempDir;

// Every store must behave the same; each implementation gets the same cases.
class StoreFactory {
 public:
  virtual ~StoreFactory() = default;
  virtual std::unique_ptr<SettingsStore> Make() = 0;
};

class MemoryFactory : public StoreFactory {
 public:
  std::unique_ptr<SettingsStore> Make() override { return std::make_unique<MemorySettingsStore>(); }
};

class FileFactory : public StoreFactory {
 public:
  std::unique_ptr<SettingsStore> Make() override {
    return std::make_unique<FileSettingsStore>(dir_.Path() / "cfg" / "pelikon");
  }

 private:
  TempDir dir_;
};

template <typename Factory>
class SettingsStoreContract : public ::testing::Test {
 protected:
  Factory factory_;
};

using Factories = ::testing::Types<MemoryFactory, FileFactory>;
TYPED_TEST_SUITE(SettingsStoreContract, Factories);

TYPED_TEST(SettingsStoreContract, MissingValuesReadEmptyAndWrittenOnesComeBack) {
  auto store = this->factory_.Make();
  ASSERT_TRUE(store->CreateKey());
  EXPECT_EQ(store->GetValue("com"), "");
  EXPECT_TRUE(store->SetValue("com", "3"));
  EXPECT_TRUE(store->SetValue("mask", "*.crd"));
  EXPECT_TRUE(store->SetValue("com", "4"));
  EXPECT_EQ(store->GetValue("com"), "4");
  EXPECT_EQ(store->GetValue("COM"), "4") << "names are compared without regard to case";
  EXPECT_EQ(store->GetValue("mask"), "*.crd");
  EXPECT_TRUE(store->SetValue("lastdir", ""));
  EXPECT_EQ(store->GetValue("lastdir"), "");
}

TYPED_TEST(SettingsStoreContract, ValuesReadThroughA255ByteBuffer) {
  auto store = this->factory_.Make();
  const std::string fits(254, 'a');
  const std::string too_long(255, 'b');
  ASSERT_TRUE(store->SetValue("fits", fits));
  ASSERT_TRUE(store->SetValue("long", too_long));
  EXPECT_EQ(store->GetValue("fits"), fits);
  EXPECT_EQ(store->GetValue("long"), "") << "a value that does not fit with its zero reads as empty";
}

TYPED_TEST(SettingsStoreContract, RefusesNamesAndValuesTheFormatCannotHold) {
  auto store = this->factory_.Make();
  EXPECT_FALSE(store->SetValue("", "x"));
  EXPECT_FALSE(store->SetValue("a=b", "x"));
  EXPECT_FALSE(store->SetValue("geoid", "one\ntwo"));
  EXPECT_FALSE(store->SetValue("geoid", "one\rtwo"));
  EXPECT_EQ(store->GetValue("geoid"), "");
  EXPECT_TRUE(store->SetValue("geoid", "C:\\grids=new"));
  EXPECT_EQ(store->GetValue("geoid"), "C:\\grids=new") << "only the first '=' separates";
}

TEST(FileSettingsStore, KeepsValuesAcrossInstancesAndLeavesNoTwin) {
  TempDir dir;
  const auto folder = dir.Path() / "a" / "b" / "pelikon";
  {
    FileSettingsStore store(folder);
    ASSERT_TRUE(store.CreateKey());
    ASSERT_TRUE(store.SetValue("com", "2"));
    ASSERT_TRUE(store.SetValue("baud", "9600"));
  }
  FileSettingsStore again(folder);
  EXPECT_EQ(again.GetValue("com"), "2");
  EXPECT_EQ(again.GetValue("baud"), "9600");
  EXPECT_FALSE(std::filesystem::exists(TwinPath(again.FilePath())));
  std::string content;
  ASSERT_TRUE(ReadWholeFile(again.FilePath(), content));
  EXPECT_EQ(content, "com=2\nbaud=9600\n");
}

TEST(FileSettingsStore, TwoWritersOfDifferentValuesKeepBoth) {
  TempDir dir;
  FileSettingsStore first(dir.Path());
  FileSettingsStore second(dir.Path());
  ASSERT_TRUE(first.SetValue("com", "1"));
  ASSERT_TRUE(second.SetValue("port_delay", "2000"));
  ASSERT_TRUE(first.SetValue("mask", "*.rw5"));
  EXPECT_EQ(second.GetValue("com"), "1");
  EXPECT_EQ(first.GetValue("port_delay"), "2000");
  EXPECT_EQ(second.GetValue("mask"), "*.rw5");
}

TEST(FileSettingsStore, KeepsLinesItDoesNotUnderstandAndReadsCrLf) {
  TempDir dir;
  dir.Write("settings", "# edited by hand\r\nsound=0\r\nCOM=7\r\n");
  FileSettingsStore store(dir.Path());
  EXPECT_EQ(store.GetValue("sound"), "0");
  EXPECT_EQ(store.GetValue("com"), "7");
  ASSERT_TRUE(store.SetValue("com", "8"));
  std::string content;
  ASSERT_TRUE(ReadWholeFile(store.FilePath(), content));
  EXPECT_NE(content.find("# edited by hand"), std::string::npos);
  EXPECT_EQ(store.GetValue("com"), "8");
  EXPECT_EQ(store.GetValue("sound"), "0");
}

TEST(FileSettingsStore, AFailedWriteLeavesTheOldFile) {
  if (::geteuid() == 0) GTEST_SKIP() << "the superuser writes into read-only folders";
  TempDir dir;
  FileSettingsStore store(dir.Path());
  ASSERT_TRUE(store.SetValue("com", "1"));
  std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_FALSE(store.SetValue("com", "2"));
  EXPECT_EQ(store.GetValue("com"), "1");
}

TEST(DefaultSettingsFolder, OverrideAndXdgFolder) {
  ::setenv("PELIKON_CONFIG_DIR", "/somewhere/else", 1);
  EXPECT_EQ(DefaultSettingsFolder(), "/somewhere/else");
  ::unsetenv("PELIKON_CONFIG_DIR");
  ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
  EXPECT_EQ(DefaultSettingsFolder(), "/xdg/pelikon");
  ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace pelikon
