#include "pointid/decimal_text.h"

#include <locale.h>

#include <cstdlib>
#include <string>

namespace pelikon {

namespace {

locale_t CLocale() {
  static const locale_t locale = ::newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return locale;
}

}  // namespace

double LenientDouble(std::string_view text) {
  // strtod wants a terminated text; short texts (the usual case) avoid the heap.
  char small[64];
  std::string large;
  const char* terminated;
  if (text.size() < sizeof small) {
    text.copy(small, text.size());
    small[text.size()] = '\0';
    terminated = small;
  } else {
    large.assign(text);
    terminated = large.c_str();
  }
  return ::strtod_l(terminated, nullptr, CLocale());
}

}  // namespace pelikon
