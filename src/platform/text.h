// Small text helpers shared by every layer: printf-style formatting into a
// std::string, ASCII-only case changes (bytes above 127 are left alone, as the
// collector's software does), trimming, and lenient number reading in the
// manner of the C library's atoi (leading blanks, optional sign, digits, stop
// at the first other character, 0 when there are none) but saturating
// instead of overflowing.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelikon {

// printf-style formatting; never truncates.
std::string StrPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string VStrPrintf(const char* format, va_list args) __attribute__((format(printf, 1, 0)));

// Upper-cases the letters a to z only.
std::string AsciiUpper(std::string_view text);
char AsciiUpper(char c);
char AsciiLower(char c);
// Compares without regard to the case of a to z.
bool EqualsNoCase(std::string_view a, std::string_view b);

// Removes the characters of `set` from both ends / one end.
std::string_view Trim(std::string_view text, std::string_view set = " ");
std::string_view TrimLeft(std::string_view text, std::string_view set = " ");
std::string_view TrimRight(std::string_view text, std::string_view set = " ");

// atoi/atol-like readings, clamped to the type's range.
int32_t LenientInt32(std::string_view text);
int64_t LenientInt64(std::string_view text);

// UTF-8 and wide text (one wchar_t per code point on this system). Bytes
// that are not valid UTF-8 become U+FFFD; code points that cannot be
// written become "?".
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

}  // namespace pelikon
