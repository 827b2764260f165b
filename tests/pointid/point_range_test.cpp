#include "pointid/point_range.h"

#include <gtest/gtest.h>

#include <vector>

namespace pelikon {
namespace {

TEST(NormaliseRange, BlanksOutsideBracketsGoAndLettersRise) {
  EXPECT_EQ(NormaliseRange(" 1 - 5 , [a b] "), "1-5,[A B]");
  EXPECT_EQ(NormaliseRange("   "), "ALL");
  EXPECT_EQ(NormaliseRange("a]b [c d"), "A]B[C D");  // a stray "]" opens nothing
}

TEST(NextRangeItem, SplitsItemsAndEnds) {
  auto item = NextRangeItem("1-10,15,20-18");
  ASSERT_TRUE(item);
  EXPECT_EQ(item->first, "1");
  EXPECT_EQ(item->second, "10");
  EXPECT_EQ(item->rest, "15,20-18");
  item = NextRangeItem(item->rest);
  ASSERT_TRUE(item);
  EXPECT_EQ(item->first, "15");
  EXPECT_EQ(item->second, "15");
  item = NextRangeItem("A-");
  ASSERT_TRUE(item);
  EXPECT_EQ(item->second, "A");
  EXPECT_FALSE(NextRangeItem(""));
  EXPECT_FALSE(NextRangeItem("-5"));
  item = NextRangeItem(std::string(300, '7') + "-" + std::string(400, '8'));
  ASSERT_TRUE(item);
  EXPECT_EQ(item->first.size(), kRangeEndLimit);
  EXPECT_EQ(item->second.size(), kRangeEndLimit);
}

TEST(InRange, ItemsInEitherOrder) {
  for (const char* id : {"1", "3", "5"}) {
    EXPECT_TRUE(InRange(id, "1-5")) << id;
    EXPECT_TRUE(InRange(id, "5-1")) << id;
  }
  EXPECT_FALSE(InRange("6", "5-1"));
  EXPECT_TRUE(InRange("A", "A-"));
  EXPECT_FALSE(InRange("B", "A-"));
  EXPECT_FALSE(InRange("5", "-5"));
  EXPECT_TRUE(InRange("anything", " all "));
  EXPECT_TRUE(InRange("a5", "A1-A9"));
  EXPECT_TRUE(InRange("19", "1-10,15,20-18"));
  EXPECT_FALSE(InRange("16", "1-10,15,20-18"));
  EXPECT_FALSE(InRange("1", ""));
}

TEST(AddToRange, BuildsRunsOfNumbers) {
  std::string range;
  for (const char* id : {"1", "2", "3", "5"}) AddToRange(range, id);
  EXPECT_EQ(range, "1-3,5");
  AddToRange(range, "4");
  EXPECT_EQ(range, "1-3,5-4");
  AddToRange(range, "2");
  EXPECT_EQ(range, "1-3,5-4");
  AddToRange(range, "3");
  EXPECT_EQ(range, "1-3,5-4");
  AddToRange(range, "9223372036854775807");  // no overflow at the top of the range
  EXPECT_EQ(range, "1-3,5-4,9223372036854775807");
}

TEST(AddToRange, DescendingRunsAndNames) {
  std::string range;
  for (const char* id : {"9", "8", "7"}) AddToRange(range, id);
  EXPECT_EQ(range, "9-7");
  AddToRange(range, "A1");
  AddToRange(range, "a1");  // already inside: identifiers compare without case
  AddToRange(range, "B2");
  EXPECT_EQ(range, "9-7,A1,B2");
  AddToRange(range, "3");  // the last item is a name, so the number starts a new one
  EXPECT_EQ(range, "9-7,A1,B2,3");
  std::string names;
  AddToRange(names, "P1");
  EXPECT_EQ(names, "P1");
}

}  // namespace
}  // namespace pelikon
