// A form's store of named values that no control shows: numbers kept as
// "%u" text, and plain texts, in one record. A value that was never set
// reads as 0 or as empty text. Names are compared without regard to case.
#pragma once

#include <string>
#include <string_view>

#include "records/ov_uni_record.h"

namespace pelikon {

class FormValues {
 public:
  void SetValue(std::string_view name, unsigned value);
  // 0 when missing or when the text is not a number.
  unsigned GetValue(std::string_view name) const;
  void SetText(std::string_view name, std::string_view text);
  std::string GetText(std::string_view name) const;

 private:
  OvUniRecord values_{"values"};
};

}  // namespace pelikon
