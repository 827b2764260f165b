#include "geoid/grid_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

namespace pelikon {

namespace {

constexpr size_t kBlockSize = size_t{1} << 20;
// Skip counts line ends over slices this large, then looks for the last
// line end it wants in the slice that holds it.
constexpr size_t kSkipSlice = size_t{16} << 10;

// The line ends in [at, end), counted in runs short enough for one-byte
// counters, which the compiler turns into wide compares.
int64_t CountLineEnds(const char* at, const char* end) {
  int64_t total = 0;
  while (at != end) {
    const ptrdiff_t run = std::min<ptrdiff_t>(end - at, 255);
    uint8_t count = 0;
    for (ptrdiff_t i = 0; i < run; ++i) count = static_cast<uint8_t>(count + (at[i] == '\n'));
    total += count;
    at += run;
  }
  return total;
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Powers of ten a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Plain "digits[.digits]" with at most 15 significant digits and nothing
// after that continues a number: the digits and the power of ten are both
// exact doubles, so one division rounds correctly. Nothing for every other
// form (the general reader takes those).
std::optional<double> PlainDecimal(const char* at, const char* end, bool negative) {
  uint64_t digits = 0;
  int count = 0;
  int fraction = 0;
  const char* start = at;
  for (; at != end && IsDigit(*at); ++at, ++count) digits = digits * 10 + static_cast<uint64_t>(*at - '0');
  const bool had_integer = at != start;
  if (at != end && *at == '.') {
    ++at;
    const char* fraction_start = at;
    for (; at != end && IsDigit(*at); ++at, ++count) digits = digits * 10 + static_cast<uint64_t>(*at - '0');
    fraction = static_cast<int>(at - fraction_start);
    if (!had_integer && fraction == 0) return std::nullopt;
  } else if (!had_integer) {
    return std::nullopt;
  }
  if (count > 15 || (at != end && (*at == 'e' || *at == 'E'))) return std::nullopt;
  const double value = static_cast<double>(digits) / kExactPowers[fraction];
  return negative ? -value : value;
}

}  // namespace

double GridLineNumber(std::string_view line) {
  const char* at = line.data();
  const char* const end = at + line.size();
  while (at != end && IsBlank(*at)) ++at;
  bool negative = false;
  if (at != end && (*at == '+' || *at == '-')) {
    negative = *at == '-';
    ++at;
  }
  if (auto plain = PlainDecimal(at, end, negative)) return *plain;
  // The sign is taken above, so "+-1" and "--1" read as 0 as they should.
  if (at == end || *at == '+' || *at == '-') return 0;
  double value = 0;
  const auto [stop, error] = std::from_chars(at, end, value, std::chars_format::general);
  if (error == std::errc::result_out_of_range) {
    // Too large in magnitude: infinity; too small: zero (as the C library reads it).
    size_t exponent_at = std::string_view(at, static_cast<size_t>(stop - at)).find_first_of("eE");
    const bool tiny = exponent_at != std::string_view::npos && stop - at > static_cast<ptrdiff_t>(exponent_at + 1) &&
                      at[exponent_at + 1] == '-';
    value = tiny ? 0.0 : HUGE_VAL;
  } else if (error != std::errc()) {
    return 0;
  }
  return negative ? -value : value;
}

GridLineReader::GridLineReader(std::FILE* file) : file_(file), buffer_(kBlockSize) {}

bool GridLineReader::Refill() {
  if (at_end_) return false;
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  const size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
  end_ += got;
  if (got == 0) {
    at_end_ = true;
    failed_ = std::ferror(file_) != 0;
    return false;
  }
  return true;
}

std::optional<std::string_view> GridLineReader::Next(size_t limit) {
  // Keep at least `limit` characters of the line in the buffer, then pass
  // over the rest of it.
  for (;;) {
    const char* start = buffer_.data() + begin_;
    const size_t held = end_ - begin_;
    if (const void* lf = std::memchr(start, '\n', held)) {
      const size_t length = static_cast<size_t>(static_cast<const char*>(lf) - start);
      begin_ += length + 1;
      return std::string_view(start, length < limit ? length : limit);
    }
    if (held >= limit && held == buffer_.size()) break;  // a line longer than the buffer
    if (!Refill()) {
      if (held == 0) return std::nullopt;
      begin_ = end_;
      return std::string_view(start, held < limit ? held : limit);
    }
  }
  // Hand out the kept part, then skip to the next LF. The kept part is
  // copied to the buffer's front, where further reads do not reach.
  static_assert(kBlockSize > 2 * kGridRemarkLineLimit);
  const size_t kept = limit;
  std::memmove(buffer_.data(), buffer_.data() + begin_, kept);
  begin_ = end_ = kept;
  for (;;) {
    const size_t got = std::fread(buffer_.data() + kept, 1, buffer_.size() - kept, file_);
    if (got == 0) {
      at_end_ = true;
      failed_ = std::ferror(file_) != 0;
      begin_ = end_ = kept;
      break;
    }
    if (const void* lf = std::memchr(buffer_.data() + kept, '\n', got)) {
      begin_ = static_cast<size_t>(static_cast<const char*>(lf) - buffer_.data()) + 1;
      end_ = kept + got;
      break;
    }
  }
  return std::string_view(buffer_.data(), kept);
}

int64_t GridLineReader::Skip(int64_t lines) {
  int64_t skipped = 0;
  bool inside_line = false;  // part of the current line already passed over
  while (skipped < lines) {
    const char* at = buffer_.data() + begin_;
    const char* const end = buffer_.data() + end_;
    while (at != end && skipped < lines) {
      const char* const slice_end = end - at > static_cast<ptrdiff_t>(kSkipSlice) ? at + kSkipSlice : end;
      const int64_t ends = CountLineEnds(at, slice_end);
      if (ends == 0) {
        inside_line = true;
        at = slice_end;
      } else if (ends < lines - skipped) {
        skipped += ends;
        inside_line = slice_end[-1] != '\n';
        at = slice_end;
      } else {
        for (; skipped < lines; ++skipped) at = static_cast<const char*>(std::memchr(at, '\n', slice_end - at)) + 1;
        inside_line = false;
      }
    }
    begin_ = end_ - static_cast<size_t>(end - at);
    if (skipped == lines) break;
    if (!Refill()) {
      // A last line without a line end still counts as a line.
      if (inside_line) ++skipped;
      break;
    }
  }
  return skipped;
}

GridHeader ReadGridHeader(GridLineReader& reader, int lines, size_t limit) {
  double values[6] = {};
  for (int i = 0; i < lines && i < 6; ++i) {
    auto line = reader.Next(limit);
    if (!line) break;
    values[i] = GridLineNumber(*line);
  }
  return {values[0], values[1], values[2], values[3], values[4], values[5]};
}

bool GridFileCovers(const std::filesystem::path& path, double longitude, double latitude) {
  if (path.empty()) return false;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "r"), &std::fclose);
  if (!file) return false;
  GridLineReader reader(file.get());
  const GridHeader bounds = ReadGridHeader(reader, 4);
  return bounds.south <= latitude && latitude <= bounds.north && bounds.west <= longitude && longitude <= bounds.east;
}

}  // namespace pelikon
