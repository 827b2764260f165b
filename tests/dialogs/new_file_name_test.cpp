// The check of a new name typed for a file in a conflict.
#include <gtest/gtest.h>

#include <string>

#include "dialogs/new_file_name.h"

namespace pelikon {
namespace {

std::string Problem(const char* new_name, const char* original) {
  const char* problem = NewFileNameProblem(new_name, original);
  return problem == nullptr ? "" : problem;
}

TEST(NewFileName, KeepsTheExtensionWithoutRegardToCase) {
  EXPECT_EQ(Problem("job2.CRD", "JOB.crd"), "");
  EXPECT_EQ(Problem("x.tar.gz", "y.gz"), "") << "the last extension counts";
  EXPECT_EQ(Problem("NOTES", "README"), "") << "neither has one";
  EXPECT_EQ(Problem("job2.txt", "JOB.crd"), "New file name should match original extension");
  EXPECT_EQ(Problem("job2", "JOB.crd"), "New file name should match original extension");
  EXPECT_EQ(Problem("job2.crd", "JOB"), "New file name should match original extension");
}

TEST(NewFileName, RefusesWhatIsNoBareName) {
  for (const char* name :
       {"", "   ", ".", "..", "../JOB.crd", "sub/JOB.crd", "\\Temp\\JOB.crd", "C:JOB.crd", "JOB\n.crd"})
    EXPECT_EQ(Problem(name, "JOB.crd"), "Please specify new file name") << '"' << name << '"';
}

}  // namespace
}  // namespace pelikon
