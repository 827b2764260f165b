#include "activesync/device_path.h"

#include <gtest/gtest.h>

namespace pelikon::activesync {
namespace {

TEST(RelativeDevicePath, MapsBelowTheRoot) {
  EXPECT_EQ(RelativeDevicePath("\\Jobs\\JOB1.CRD"), "Jobs/JOB1.CRD");
  EXPECT_EQ(RelativeDevicePath("\\"), "");
  EXPECT_EQ(RelativeDevicePath(""), "");
  EXPECT_EQ(RelativeDevicePath("Jobs\\\\.\\A/B\\"), "Jobs/A/B");
  EXPECT_EQ(RelativeDevicePath("\\My Documents\\a..b"), "My Documents/a..b");
}

TEST(RelativeDevicePath, RefusesEveryWayOut) {
  for (const char* path :
       {"..\\..\\x", "\\Jobs\\..\\..\\etc\\passwd", "..", "/../x", "\\...\\x", "C:\\x", "\\\\?\\C:\\x", "a:b"}) {
    EXPECT_EQ(RelativeDevicePath(path), std::nullopt) << path;
  }
  EXPECT_EQ(RelativeDevicePath(std::string_view("a\0b", 3)), std::nullopt);
}

}  // namespace
}  // namespace pelikon::activesync
