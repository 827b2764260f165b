#include "dialogs/form_values.h"

#include <charconv>

#include "platform/text.h"

namespace pelikon {

void FormValues::SetValue(std::string_view name, unsigned value) {
  values_.SetText(name, StrPrintf("%u", value));
}

unsigned FormValues::GetValue(std::string_view name) const {
  std::string text;
  values_.GetText(name, text);
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  (void)end;
  return error == std::errc() ? value : 0;
}

void FormValues::SetText(std::string_view name, std::string_view text) {
  values_.SetText(name, text);
}

std::string FormValues::GetText(std::string_view name) const {
  std::string text;
  values_.GetText(name, text);
  return text;
}

}  // namespace pelikon
