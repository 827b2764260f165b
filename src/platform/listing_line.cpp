#include "platform/listing_line.h"

#include "platform/text.h"

namespace pelikon {

namespace {

struct DateAndTime {
  std::string date = "01/01/80";
  std::string time = "00:00";
};

DateAndTime LocalDateAndTime(std::time_t moment) {
  DateAndTime result;
  std::tm parts{};
  if (::localtime_r(&moment, &parts) == nullptr) return result;
  // The year is printed in full and cut to its last two characters.
  const std::string year = std::to_string(parts.tm_year + 1900);
  result.date = StrPrintf("%02d/%02d/%s", parts.tm_mon + 1, parts.tm_mday,
                          year.size() > 2 ? year.c_str() + year.size() - 2 : year.c_str());
  result.time = StrPrintf("%02d:%02d", parts.tm_hour, parts.tm_min);
  return result;
}

void AppendCommonFields(std::string& out, std::string_view name, std::string_view size, std::time_t modified) {
  const DateAndTime when = LocalDateAndTime(modified);
  out.append(name).append(1, '|').append(size).append(1, '|');
  out.append(when.date).append(1, '|').append(when.time).append(1, '|');
}

}  // namespace

std::string ListingDate(std::time_t moment) {
  return LocalDateAndTime(moment).date;
}

std::string ListingTime(std::time_t moment) {
  return LocalDateAndTime(moment).time;
}

bool ListableName(std::string_view name) {
  return name.find_first_of("|\r\n") == std::string_view::npos;
}

void AppendListingFileLine(std::string& out, std::string_view name, uint64_t size, std::time_t modified,
                           uint32_t attributes) {
  const auto low = static_cast<int32_t>(static_cast<uint32_t>(size));
  AppendCommonFields(out, name, std::to_string(low), modified);
  out.append(std::to_string(static_cast<int>(attributes))).append(1, '|').append(name).append("\r\n");
}

void AppendListingFolderLine(std::string& out, std::string_view name, std::time_t modified) {
  AppendCommonFields(out, name, "-1", modified);
  out.append("-1|").append(name).append("\r\n");
}

}  // namespace pelikon
