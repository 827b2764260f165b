#include "records/xml_text.h"

#include <utility>

namespace pelikon {

namespace {

struct Replacement {
  std::string_view from;
  std::string_view to;
};

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (text.find(from) == std::string::npos) return;
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  for (size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
    out.append(text, pos, hit - pos);
    out.append(to);
  }
  out.append(text, pos);
  text = std::move(out);
}

template <size_t N>
std::string ReplaceInOrder(std::string_view text, const Replacement (&table)[N]) {
  std::string out(text);
  for (const Replacement& r : table) ReplaceAll(out, r.from, r.to);
  return out;
}

constexpr Replacement kEscapes[] = {
    {"&", "&amp;"}, {">", "&gt;"}, {"<", "&lt;"}, {"\"", "&quot;"}, {"'", "&apos;"}, {"\r\n", "&#13;"},
};

constexpr Replacement kUnescapes[] = {
    {"&gt;", ">"}, {"&lt;", "<"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}, {"&#13;", "\r\n"},
};

constexpr Replacement kEntities[] = {
    {"&bell;", "\x07"}, {"&back;", "\x08"},  {"&form;", "\x0C"},  {"&new;", "\x0A"}, {"&ret;", "\x0D"},
    {"&tab;", "\x09"},  {"&vtab;", "\x0B"},  {"&quote;", "\x22"}, {"&amp;", "\x26"}, {"&apos;", "\x27"},
    {"&lt;", "\x3C"},   {"&gt;", "\x3E"},    {"&tilde;", "\x7E"}, {"&deg;", "\xB0"}, {"&per;", "\x25"},
    {"&copy;", "\xA9"}, {"&trade;", "\x99"}, {"&reg;", "\xAE"},
};

}  // namespace

std::string EscapeXml(std::string_view text) {
  return ReplaceInOrder(text, kEscapes);
}
std::string UnescapeXml(std::string_view text) {
  return ReplaceInOrder(text, kUnescapes);
}
std::string ExpandEntities(std::string_view text) {
  return ReplaceInOrder(text, kEntities);
}

}  // namespace pelikon
