#include "platform/catalogue.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

namespace pelikon {
namespace {

// Both cases run in one test: the catalogue binding is process-wide.
TEST(Catalogue, TranslatesFromABoundCatalogueAndPassesUnknownTextsThrough) {
  ::setenv("LANGUAGE", "xx", 1);
  ::setenv("LC_ALL", "C.UTF-8", 1);

  BindCatalogue("/nonexistent/locale");
  EXPECT_STREQ(Tr("Unable to write directory listing"), "Unable to write directory listing")
      << "without a catalogue the text comes back unchanged";

  BindCatalogue(PELIKON_TEST_LOCALE);
  EXPECT_STREQ(Tr("Unable to write directory listing"), "Listing kann nicht geschrieben werden");
  EXPECT_STREQ(Tr("Communications Failure"), "Communications Failure") << "untranslated text";
  EXPECT_EQ(Tr(std::string("Unable to write directory listing")), "Listing kann nicht geschrieben werden");
  EXPECT_STREQ(Tr(""), "") << "the empty key is the catalogue header, never shown";
}

}  // namespace
}  // namespace pelikon
