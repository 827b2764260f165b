#include "platform/text.h"

#include <gtest/gtest.h>

#include <limits>

namespace pelikon {
namespace {

TEST(Text, LenientNumbersReadLikeAtoiButNeverOverflow) {
  EXPECT_EQ(LenientInt32("  42abc"), 42);
  EXPECT_EQ(LenientInt32("-1"), -1);
  EXPECT_EQ(LenientInt32("+7"), 7);
  EXPECT_EQ(LenientInt32("abc"), 0);
  EXPECT_EQ(LenientInt32(""), 0);
  EXPECT_EQ(LenientInt32("-"), 0);
  EXPECT_EQ(LenientInt32("3000000000"), std::numeric_limits<int32_t>::max());
  EXPECT_EQ(LenientInt32("-99999999999999999999999"), std::numeric_limits<int32_t>::min());
  EXPECT_EQ(LenientInt64("-9223372036854775808"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(LenientInt64("99999999999999999999999"), std::numeric_limits<int64_t>::max());
}

TEST(Text, CaseChangesTouchOnlyAsciiLetters) {
  EXPECT_EQ(AsciiUpper("abc/XyZ \xe9t\xc3\xa9"), "ABC/XYZ \xe9T\xc3\xa9");
  EXPECT_TRUE(EqualsNoCase("DIR_ZZZ.TXT", "dir_zzz.txt"));
  EXPECT_FALSE(EqualsNoCase("dir_zzz.txt", "dir_zzz.tx"));
}

TEST(Text, FormatsLongTextWithoutTruncation) {
  const std::string long_text(1000, 'x');
  EXPECT_EQ(StrPrintf("%s|%d", long_text.c_str(), 5), long_text + "|5");
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("    "), "");
}

}  // namespace
}  // namespace pelikon
