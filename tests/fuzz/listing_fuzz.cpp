// Feeds arbitrary bytes to the listing reader, as a collector might send.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "link/listing/dir_listing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const pelikon::ListingContents contents = pelikon::ParseListing(text);
  for (const pelikon::DirEntry& entry : contents.entries) {
    // What every consumer relies on.
    if (entry.name.empty() || entry.name == "." || entry.name.size() > pelikon::kEntryNameLimit) std::abort();
    if (entry.date.size() > pelikon::kEntryDateLimit || entry.time.size() > pelikon::kEntryDateLimit) std::abort();
    if (entry.is_folder && entry.size != -1) std::abort();
    if (entry.is_drive && !entry.is_folder) std::abort();
    if (entry.name.find('\n') != std::string::npos) std::abort();
  }
  return 0;
}
