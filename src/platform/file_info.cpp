#include "platform/file_info.h"

#include "platform/text.h"

namespace pelikon {

namespace {

// Iterative wildcard match with one backtrack point: linear in practice and
// never exponential, whatever the mask.
bool Glob(std::string_view name, std::string_view mask) {
  size_t n = 0, m = 0;
  size_t star = std::string_view::npos, resume = 0;
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == '*') {
      star = m++;
      resume = n;
    } else if (m < mask.size() && (mask[m] == '?' || AsciiLower(mask[m]) == AsciiLower(name[n]))) {
      ++m;
      ++n;
    } else if (star != std::string_view::npos) {
      m = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

}  // namespace

bool MatchesMask(std::string_view name, std::string_view mask) {
  if (Glob(name, mask)) return true;
  if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" && name.find('.') == std::string_view::npos)
    return Glob(name, mask.substr(0, mask.size() - 2));
  return false;
}

}  // namespace pelikon
