// Values for the reports tests build: a number or a text under a key and
// its heading. The texts are viewed, not copied: pass texts that outlive
// the AddToken call (literals, or strings of the test).
#pragma once

#include <string_view>

#include "report/report_model.h"

namespace pelikon::testing {

inline TokenValue RealToken(std::string_view key, std::string_view note, double value, int places,
                            const char* averkey = nullptr) {
  TokenValue token;
  token.key = key;
  token.note = note;
  token.type = kReportReal;
  token.real = value;
  token.places = places;
  token.averkey = averkey;
  return token;
}

inline TokenValue TextToken(std::string_view key, std::string_view note, std::string_view text,
                            const char* averkey = nullptr) {
  TokenValue token;
  token.key = key;
  token.note = note;
  token.text = text;
  token.averkey = averkey;
  return token;
}

}  // namespace pelikon::testing
