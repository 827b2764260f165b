#include "platform/text.h"

#include <cstdarg>
#include <cstdio>
#include <limits>

namespace pelikon {

std::string VStrPrintf(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  char small[256];
  const int needed = std::vsnprintf(small, sizeof small, format, args);
  std::string out;
  if (needed >= 0 && static_cast<size_t>(needed) < sizeof small) {
    out.assign(small, static_cast<size_t>(needed));
  } else if (needed >= 0) {
    out.resize(static_cast<size_t>(needed) + 1);
    std::vsnprintf(out.data(), out.size(), format, copy);
    out.resize(static_cast<size_t>(needed));
  }
  va_end(copy);
  return out;
}

std::string StrPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string out = VStrPrintf(format, args);
  va_end(args);
  return out;
}

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}
char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = AsciiUpper(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

std::string_view TrimLeft(std::string_view text, std::string_view set) {
  const size_t first = text.find_first_not_of(set);
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

std::string_view TrimRight(std::string_view text, std::string_view set) {
  const size_t last = text.find_last_not_of(set);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

std::string_view Trim(std::string_view text, std::string_view set) {
  return TrimRight(TrimLeft(text, set), set);
}

int64_t LenientInt64(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\n' || text[i] == '\r' ||
                             text[i] == '\v' || text[i] == '\f'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate as a negative number so that INT64_MIN is reachable.
  int64_t value = 0;
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    const int digit = text[i] - '0';
    if (value < (kMin + digit) / 10) {
      value = kMin;
      break;
    }
    value = value * 10 - digit;
  }
  if (negative) return value;
  return value == kMin ? std::numeric_limits<int64_t>::max() : -value;
}

int32_t LenientInt32(std::string_view text) {
  const int64_t v = LenientInt64(text);
  if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(v);
}

std::wstring WideFromUtf8(std::string_view text) {
  std::wstring wide;
  wide.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    uint32_t code = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length > 0 && i + length <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      valid = (next & 0xC0) == 0x80;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and values past the last code point are not text.
    static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    valid = valid && code >= kSmallest[length] && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF);
    wide.push_back(valid ? static_cast<wchar_t>(code) : L'\xFFFD');
    i += valid ? static_cast<size_t>(length) : 1;
  }
  return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (const wchar_t c : text) {
    const auto code = static_cast<uint32_t>(c);
    if (code < 0x80) {
      narrow.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      narrow.push_back(static_cast<char>(0xC0 | (code >> 6)));
      narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000 && (code < 0xD800 || code > 0xDFFF)) {
      narrow.push_back(static_cast<char>(0xE0 | (code >> 12)));
      narrow.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code >= 0x10000 && code <= 0x10FFFF) {
      narrow.push_back(static_cast<char>(0xF0 | (code >> 18)));
      narrow.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      narrow.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      narrow.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      narrow.push_back('?');
    }
  }
  return narrow;
}

}  // namespace pelikon
