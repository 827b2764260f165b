// Feeds arbitrary bytes to the listing reader, as a collector might send,
// and by the PC's own rules as well.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/listing/dir_listing.h"

namespace {

void Check(std::string_view text, const pelikon::ListingRules& rules) {
  const pelikon::ListingContents contents = pelikon::ParseListing(text, rules);
  for (const pelikon::DirEntry& entry : contents.entries) {
    // What every consumer relies on.
    if (entry.name.empty() || entry.name == "." || entry.name.size() > rules.name_limit) std::abort();
    if (entry.short_name.size() > rules.name_limit) std::abort();
    if (entry.date.size() > pelikon::kEntryDateLimit || entry.time.size() > pelikon::kEntryDateLimit) std::abort();
    if (entry.is_folder && entry.size != -1) std::abort();
    if (entry.is_drive && !entry.is_folder) std::abort();
    if (entry.name.find('\n') != std::string::npos) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Check(text, pelikon::kCollectorListing);
  Check(text, pelikon::kLocalListing);
  return 0;
}
