#include "pointid/point_id.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string_view>
#include <vector>

#include "platform/text.h"
#include "pointid/decimal_text.h"
#include "pointid/point_range.h"

namespace pelikon {
namespace {

TEST(ComparePointIds, NaturalOrder) {
  EXPECT_EQ(ComparePointIds("2", "10"), -1);
  EXPECT_EQ(ComparePointIds("10", "2"), 1);
  EXPECT_EQ(ComparePointIds("A9", "A10"), -1);
  EXPECT_EQ(ComparePointIds("a5", "A5"), 0);
  EXPECT_EQ(ComparePointIds("01", "1"), -1);  // equal numbers: the whole texts decide
  EXPECT_EQ(ComparePointIds("1.25", "1.5"), -1);
  EXPECT_EQ(ComparePointIds("", ""), 0);
  EXPECT_EQ(ComparePointIds("", "1"), -1);
  EXPECT_EQ(ComparePointIds("17A", "17b"), -1);
  // Differences after an equal number are compared from there on.
  EXPECT_EQ(ComparePointIds("100A", "100B"), -1);
  // Letters compare lower-cased, so "_" sorts before letters.
  EXPECT_EQ(ComparePointIds("A_", "AB"), -1);
  // Numbers too long for 64 bits saturate instead of overflowing.
  EXPECT_EQ(ComparePointIds("99999999999999999999999", "99999999999999999999998"), 1);
  // Equal numbers move on by one character, so a leading zero is followed
  // by another number: 123 = 123, then 123 > 23.
  EXPECT_EQ(ComparePointIds("0123", "123"), 1);
  EXPECT_EQ(ComparePointIds("12a5", "12a10"), -1);
  EXPECT_EQ(ComparePointIds("007x", "007Y"), -1);
  EXPECT_EQ(ComparePointIds("1234", "1234"), 0);
  EXPECT_EQ(ComparePointIds("1234A", "1234"), 1);
  EXPECT_EQ(ComparePointIds("5.5", "5.25"), 1);
  EXPECT_EQ(ComparePointIds("12.5", "12.50"), -1);  // 12.5 = 12.50, then 5 < 50 after the dot
}

// The rule as it reads, number by number from every position, so that the
// shortcuts of the real comparison can be held against it.
int ComparePointIdsByTheRule(std::string_view a, std::string_view b) {
  const auto no_case = [](std::string_view x, std::string_view y) {
    std::string lx(x), ly(y);
    for (char& c : lx) c = AsciiLower(c);
    for (char& c : ly) c = AsciiLower(c);
    const int r = lx.compare(ly);
    return (r > 0) - (r < 0);
  };
  if (a.empty() && b.empty()) return 0;
  for (size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
    const auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (digit(a[i]) && digit(b[i])) {
      const std::string_view ra = a.substr(i), rb = b.substr(i);
      if (ra.find('.') != std::string_view::npos || rb.find('.') != std::string_view::npos) {
        const double da = LenientDouble(ra), db = LenientDouble(rb);
        if (da != db) return da < db ? -1 : 1;
      } else {
        const int64_t la = LenientInt64(ra), lb = LenientInt64(rb);
        if (la != lb) return la < lb ? -1 : 1;
      }
      continue;
    }
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return no_case(a.substr(i), b.substr(i));
  }
  return no_case(a, b);
}

TEST(ComparePointIds, AgreesWithTheRuleOnRandomIdentifiers) {
  std::mt19937 random(7);
  const std::string alphabet = "0000111239.aAbZ_-";
  const auto make = [&] {
    std::string id(random() % 9, ' ');
    for (char& c : id) c = alphabet[random() % alphabet.size()];
    return id;
  };
  for (int n = 0; n < 200000; ++n) {
    std::string a = make(), b = make();
    // Often the same digits ahead, where the shortcut applies.
    if (n % 2) b = a.substr(0, random() % (a.size() + 1)) + b;
    ASSERT_EQ(ComparePointIds(a, b), ComparePointIdsByTheRule(a, b)) << '"' << a << "\" \"" << b << '"';
  }
}

TEST(ComparePointIds, SortsAMixedListNaturally) {
  std::vector<std::string> ids = {"A10", "10", "b2", "2", "A9", "1", "B10", "A1"};
  std::sort(ids.begin(), ids.end(),
            [](const std::string& a, const std::string& b) { return ComparePointIds(a, b) < 0; });
  EXPECT_EQ(ids, (std::vector<std::string>{"1", "2", "10", "A1", "A9", "A10", "b2", "B10"}));
}

TEST(NormaliseId, AlphanumericAndNumeric) {
  EXPECT_EQ(NormaliseId(" 1-a,b ", false), "1_A_B");
  EXPECT_EQ(NormaliseId("  x7\r\n", false), "X7");
  EXPECT_EQ(NormaliseId("\xe9t\xc9", false), "\xe9T\xc9");  // bytes above 127 unchanged
  EXPECT_EQ(NormaliseId(" 007 ", true), "7");
  EXPECT_EQ(NormaliseId("000", true), "0");
  EXPECT_EQ(NormaliseId("", true), "");
  EXPECT_EQ(NormaliseId("   ", false), "");
}

TEST(NextPointId, StepOne) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"17", "18"}, {"A17", "A18"},   {"17A", "17B"}, {"1Z", "2A"},   {"1AZ", "1BZ"}, {"Z", "Z2"},
      {"B", "C"},   {"09", "10"},     {"02", "03"},   {"1.5", "1.6"}, {"z", "z2"},    {"PT", "PT2"},
      {"", "1"},    {"A1B2", "A1B3"}, {"1zz", "2aa"}, {"-4", "3"},
  };
  for (const auto& [from, to] : cases) {
    std::string id = from;
    EXPECT_EQ(NextPointId(id, 1, false), 1) << from;
    EXPECT_EQ(id, to) << from;
  }
}

TEST(NextPointId, OtherSteps) {
  std::string id = "17";
  EXPECT_EQ(NextPointId(id, 0, true), 1);
  EXPECT_EQ(id, "17");
  id = "A";
  NextPointId(id, -1, false);
  EXPECT_EQ(id, "A2");
  id = "C";
  NextPointId(id, -1, false);
  EXPECT_EQ(id, "B");
  id = "ABC";
  NextPointId(id, 5, false);
  EXPECT_EQ(id, "ABC5");
  id = "07";
  NextPointId(id, 5, false);
  EXPECT_EQ(id, "12");
  id = "A100";
  NextPointId(id, -150, false);
  EXPECT_EQ(id, "A50");  // a negative result turns positive
}

TEST(NextPointId, LargeLetterStepsMatchSingleSteps) {
  // The letter counter may skip whole cycles; it must land where repeated single steps land.
  for (const char* start : {"1A", "5ZY", "3aZ", "7_Q"}) {
    for (int64_t step : {1, 25, 26, 51, 52, 700, 1353}) {
      std::string once = start;
      NextPointId(once, step, false);
      std::string stepped = start;
      for (int64_t i = 0; i < step; ++i) NextPointId(stepped, 1, false);
      EXPECT_EQ(once, stepped) << start << " + " << step;
    }
  }
  std::string huge = "1A";
  NextPointId(huge, 1'000'000'000'000, false);  // finishes at once
  EXPECT_FALSE(huge.empty());
}

TEST(NextPointId, NumericClamp) {
  std::string id = "99999";
  EXPECT_EQ(NextPointId(id, 1, true), 0);
  EXPECT_EQ(id, "99999");
  id = "5";
  EXPECT_EQ(NextPointId(id, -5, true), 0);
  EXPECT_EQ(id, "1");
  id = "1";
  EXPECT_EQ(NextPointId(id, -5, true), 1);
  EXPECT_EQ(id, "4");  // a negative number turns positive before the clamp
  id = "02";
  EXPECT_EQ(NextPointId(id, 1, true), 1);
  EXPECT_EQ(id, "3");  // printed as a plain number
}

}  // namespace
}  // namespace pelikon
