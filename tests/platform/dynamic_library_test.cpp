#include "platform/dynamic_library.h"

#include <gtest/gtest.h>

namespace pelikon {
namespace {

TEST(DynamicLibrary, WindowsStyleNamesMapToSharedObjects) {
  EXPECT_EQ(SharedObjectName("tolvane.DLL"), "libtolvane.so");
  EXPECT_EQ(SharedObjectName("morvish.dll"), "libmorvish.so");
  EXPECT_EQ(SharedObjectName("C:\\Windows\\libintl-8.dll"), "libintl-8.so");
  EXPECT_EQ(SharedObjectName("libquorvel.so"), "libquorvel.so");
}

TEST(DynamicLibrary, LoadsFromTheProgramFolderAndBindsByName) {
  DynamicLibrary library;
  ASSERT_TRUE(library.Load("pelikonsample.DLL", PELIKON_BIN_DIR)) << library.LastError();
  auto answer = library.Bind<int (*)()>("pelikon_sample_answer");
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  EXPECT_EQ(library.Symbol("no_such_function"), nullptr);

  DynamicLibrary moved(std::move(library));
  EXPECT_TRUE(moved.IsLoaded());
  EXPECT_FALSE(library.IsLoaded());  // NOLINT(bugprone-use-after-move): moved-from state is specified
}

TEST(DynamicLibrary, AMissingLibraryIsReportedNotFatal) {
  DynamicLibrary library;
  EXPECT_FALSE(library.Load("tolvane.DLL", "/nonexistent"));
  EXPECT_FALSE(library.IsLoaded());
  EXPECT_EQ(library.Symbol("new_ActiveSyncConnect"), nullptr);
  EXPECT_FALSE(library.LastError().empty());
}

}  // namespace
}  // namespace pelikon
