// Feeds arbitrary batch files to the reader: every entry it makes starts
// with a non-empty "local", and no value is longer than a line may be.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/batch/batch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto entries = pelikon::ParseBatchText(text);
  for (const pelikon::OvUniRecord* entry = entries.get(); entry; entry = entry->Next()) {
    std::string local;
    if (entry->GetText("local", local) != 1 || local.empty()) std::abort();
    for (const pelikon::OvUniValue* value = entry->FirstValue(); value; value = value->Next())
      if (value->Value() && value->Value()->size() > pelikon::kBatchLineLimit) std::abort();
  }
  return 0;
}
