// Sorting list-view rows by a column, as a header click does.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialogs/list_sort.h"

namespace pelikon {
namespace {

std::vector<std::string> Sorted(const std::vector<std::string>& texts, bool descending) {
  std::vector<std::string> rows;
  for (const size_t row : SortedRowOrder(texts, descending)) rows.push_back(texts[row]);
  return rows;
}

TEST(ListSort, NumbersByValueLettersWithoutCase) {
  EXPECT_LT(CompareListTexts("item2", "item10"), 0);
  EXPECT_LT(CompareListTexts("A9", "a10"), 0);
  EXPECT_EQ(CompareListTexts("job5.CRD", "JOB5.crd"), 0);
  EXPECT_LT(CompareListTexts("1.25", "1.5"), 0) << "as fractions when a point follows";
  EXPECT_GT(CompareListTexts("beta", "Alpha"), 0);
  EXPECT_EQ(Sorted({"file10.txt", "File2.txt", "file1.txt", "abc"}, false),
            (std::vector<std::string>{"abc", "file1.txt", "File2.txt", "file10.txt"}));
}

TEST(ListSort, DescendingReversesButEqualRowsKeepTheirOrder) {
  const std::vector<std::string> sizes{"100", "20", "100", "3"};
  EXPECT_EQ(SortedRowOrder(sizes, false), (std::vector<size_t>{3, 1, 0, 2}));
  EXPECT_EQ(SortedRowOrder(sizes, true), (std::vector<size_t>{0, 2, 1, 3}));
  EXPECT_TRUE(SortedRowOrder({}, false).empty());
}

TEST(ListSort, ASecondClickOnTheSameColumnReverses) {
  ColumnSortState state;
  EXPECT_FALSE(state.Click(2));
  EXPECT_TRUE(state.Click(2));
  EXPECT_FALSE(state.Click(2));
  EXPECT_FALSE(state.Click(0)) << "another column starts ascending";
  EXPECT_TRUE(state.Click(0));
  EXPECT_FALSE(state.Click(2));
}

}  // namespace
}  // namespace pelikon
