// Point notes files from arbitrary bytes: reading must end, keep no
// "RANGE-" entry, and what it writes must read back to the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "coord/merge/point_notes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  pelikon::PointNotes notes = pelikon::PointNotes::Parse(text);
  for (const pelikon::PointNote& entry : notes.Entries()) {
    if (entry.id.find("RANGE-") != std::string::npos) std::abort();
    if (entry.id.size() > pelikon::PointNotes::kIdLimit) std::abort();
  }
  const std::string written = notes.Format();
  // Writing reverses the entry order (newest first both ways), so a second
  // round trip gives the first text back.
  const std::string again = pelikon::PointNotes::Parse(pelikon::PointNotes::Parse(written).Format()).Format();
  if (again != written) std::abort();
  std::vector<std::string> lines;
  if (!notes.Entries().empty()) notes.TakeLines(notes.Entries().front().id, lines);
  return 0;
}
