// Range texts and identifiers from arbitrary bytes: the grammar must end,
// the order must be antisymmetric, and advancing identifiers must stay in
// bounds whatever the step.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "pointid/point_id.h"
#include "pointid/point_range.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  int64_t step;
  std::memcpy(&step, data, sizeof step);
  const std::string_view rest(reinterpret_cast<const char*>(data) + 8, size - 8);
  const size_t split = rest.find('\n');
  const std::string_view range = rest.substr(0, split);
  const std::string_view id = split == std::string_view::npos ? std::string_view() : rest.substr(split + 1);

  const std::string normalised = pelikon::NormaliseRange(range);
  size_t items = 0;
  for (std::string_view left = normalised; auto item = pelikon::NextRangeItem(left); left = item->rest) {
    if (++items > normalised.size() + 1) std::abort();
    if (item->first.size() > pelikon::kRangeEndLimit || item->second.size() > pelikon::kRangeEndLimit) std::abort();
  }
  pelikon::InRange(id, range);
  std::string extended(range);
  pelikon::AddToRange(extended, id);

  const int forward = pelikon::ComparePointIds(range, id);
  if (forward != -pelikon::ComparePointIds(id, range) || pelikon::ComparePointIds(id, id) != 0) std::abort();
  const std::string stored = pelikon::NormaliseId(id, false);
  if (pelikon::NormaliseId(stored, false) != stored) std::abort();

  std::string text(id);
  pelikon::NextPointId(text, step, false);
  std::string numeric(id);
  pelikon::NextPointId(numeric, step, true);
  int64_t value = 0;
  if (step != 0 && (!pelikon::IsPlainDecimal(numeric, &value) || value < 1 || value > 99999)) std::abort();
  return 0;
}
