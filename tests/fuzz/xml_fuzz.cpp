// Reads arbitrary text as a record XML file; whatever is read must be
// written and read back to the same records.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "records/xml_file.h"

namespace {

bool Same(const pelikon::OvUniRecord* a, const pelikon::OvUniRecord* b) {
  for (; a && b; a = a->Next(), b = b->Next()) {
    if (a->Name() != b->Name() || a->Type() != b->Type()) return false;
    const pelikon::OvUniValue* va = a->FirstValue();
    const pelikon::OvUniValue* vb = b->FirstValue();
    for (; va && vb; va = va->Next(), vb = vb->Next())
      if (!va->Equals(vb)) return false;
    if (va || vb || !Same(a->FirstChild(), b->FirstChild())) return false;
  }
  return !a && !b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto table = pelikon::ReadXmlText(text);
  if (!table || !table->FirstRecord()) return 0;
  const auto again = pelikon::ReadXmlText(pelikon::XmlText(table->FirstRecord()));
  if (!again || !Same(table->FirstRecord(), again->FirstRecord())) std::abort();
  return 0;
}
