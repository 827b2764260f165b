// The main() of every test program without windows.
#include <gtest/gtest.h>

#include "support/test_environment.h"

int main(int argc, char** argv) {
  pelikon::testing::KeepTestFilesPrivate(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
