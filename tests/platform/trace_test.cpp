#include "platform/trace.h"

#include <gtest/gtest.h>

namespace pelikon {
namespace {

TEST(Trace, NestedCapturesBothSeeTheText) {
  TraceCapture outer;
  {
    TraceCapture inner;
    Trace("\nCRD: point %d not found", 17);
    EXPECT_EQ(inner.Text(), "\nCRD: point 17 not found");
  }
  Trace("\nafter");
  EXPECT_EQ(outer.Text(), "\nCRD: point 17 not found\nafter");
}

}  // namespace
}  // namespace pelikon
