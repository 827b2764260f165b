// The dialog's input rules: dd.mmss, hemispheres, sizes per unit with the
// estimate beside them, and the file name.
#include "geoid/subgrid_request.h"

#include <gtest/gtest.h>

#include <clocale>

namespace pelikon {
namespace {

TEST(SubGridRequest, DmsTextsBecomeDegreesWithTheirSign) {
  EXPECT_NEAR(*DmsToDegrees("45.302512"), 45 + 30 / 60.0 + 25.12 / 3600, 1e-12);
  EXPECT_NEAR(*DmsToDegrees("-93.3"), -(93 + 30 / 60.0), 1e-12);
  EXPECT_NEAR(*DmsToDegrees(" +45.0000 "), 45.0, 1e-12);
  EXPECT_NEAR(*DmsToDegrees("10.0059999"), 10 + 59.999 / 3600, 1e-9) << "seconds never round into a minute";
  EXPECT_FALSE(DmsToDegrees("north").has_value());
  EXPECT_FALSE(DmsToDegrees("").has_value());
  // The user's locale does not change how the text is read.
  if (std::setlocale(LC_ALL, "de_DE.UTF-8")) {
    EXPECT_NEAR(*DmsToDegrees("45.302512"), 45 + 30 / 60.0 + 25.12 / 3600, 1e-12);
    std::setlocale(LC_ALL, "C");
  }
  EXPECT_EQ(SignedLatitude(45, true), -45);
  EXPECT_EQ(SignedLatitude(-45, false), 45);
  EXPECT_EQ(EastLongitude(93, true), 267);
  EXPECT_EQ(EastLongitude(0, true), 360) << "longitude 0 W is 360";
  EXPECT_EQ(EastLongitude(12.5, false), 12.5);
}

TEST(SubGridRequest, SizesAreCheckedAsTypedPerUnitAndEstimated) {
  struct Case {
    const char* text;
    GridSizeUnit unit;
    double degrees;  // 0: refused
    const char* estimate;
  };
  const Case cases[] = {
      {"2.0", GridSizeUnit::kDegrees, 2.0, "(140K)"}, {"1", GridSizeUnit::kDegrees, 1.0, "(35K)"},
      {"6", GridSizeUnit::kDegrees, 6.0, ""},         {"8", GridSizeUnit::kDegrees, 8.0, ""},
      {"8.01", GridSizeUnit::kDegrees, 0, ""},        {"0.99", GridSizeUnit::kDegrees, 0, ""},
      {"50", GridSizeUnit::kMiles, 1.0, "(35K)"},     {"49.9", GridSizeUnit::kMiles, 0, ""},
      {"400", GridSizeUnit::kMiles, 8.0, ""},         {"80", GridSizeUnit::kKilometres, 1.0, "(35K)"},
      {"600", GridSizeUnit::kKilometres, 7.5, ""},    {"601", GridSizeUnit::kKilometres, 0, ""},
      {"size", GridSizeUnit::kDegrees, 0, ""},        {"nan", GridSizeUnit::kDegrees, 0, ""},
      {"inf", GridSizeUnit::kMiles, 0, ""},
  };
  for (const Case& c : cases) {
    const GridSize size = SizeInDegrees(c.text, c.unit);
    EXPECT_NEAR(size.degrees, c.degrees, 1e-12) << c.text;
    EXPECT_EQ(size.error.empty(), c.degrees != 0) << c.text;
    EXPECT_EQ(SizeEstimate(c.text, c.unit), c.estimate) << c.text;
  }
  EXPECT_EQ(SizeInDegrees("49.9", GridSizeUnit::kMiles).error, "Error: Supported size in miles is 50 to 400.");
  EXPECT_EQ(SizeInDegrees("79", GridSizeUnit::kKilometres).error, "Error: Supported size in km is 80 to 600.");
  EXPECT_EQ(SizeInDegrees("9", GridSizeUnit::kDegrees).error, "Error: Supported size in degrees is 1 to 8.");
}

TEST(SubGridRequest, TheNameIsCutAtItsFirstPointAndGetsGsf) {
  EXPECT_EQ(SubGridFileName("job.1.gsf"), "job.gsf");
  EXPECT_EQ(SubGridFileName("site"), "site.gsf");
  EXPECT_EQ(SubGridFileName(""), "");
  EXPECT_EQ(SubGridFileName(".gsf"), "");
}

}  // namespace
}  // namespace pelikon
