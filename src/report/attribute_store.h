// User-defined attributes and attribute display options, kept per section
// (the section a host names when it finishes a report) in the library's
// data folder:
//
// "userattr.dta": "[section]" headers; within a section one line per
// attribute, "key| note| equation| is_shown| decimals| aver_key" or, with
// no aver_key, the same without its last field. An equation may hold "|"
// (its "or"), so the fields are taken from both ends: a line whose last
// field is a whole number has no aver_key. An aver_key that is a whole
// number therefore cannot be stored.
// "attrsets.dta": the same sections; "key| note| decimals| aver_key|" or
// "key| note| decimals|". A blank piece after the last "|" only ends the
// line, so "a| b| 2|" has no aver_key and "a| b| 2| |" an empty one. They
// override the note, places and total option of the report's own field of
// that key.
//
// Fields are split at "|" and trimmed. The total option rides on aver_key:
// none (the shorter line) sums, an empty one has no total, "__RECALC"
// evaluates the equation again on the totals, any other key averages
// weighted by that field. Both files are rewritten through ".new" twins;
// a failed write leaves the old file intact, and only the section written
// changes. Section names are compared without regard to case; lines may
// end in CR LF; lines longer than 1,023 characters are cut. Entries that
// would not read back as written (an empty key, a "|" in a key, note or
// aver_key, a line break, a line past the limit) are refused: nothing is
// written and the write returns false. Values are written trimmed.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelikon {

inline constexpr const char* kUserAttributesFile = "userattr.dta";
inline constexpr const char* kAttributeDisplayFile = "attrsets.dta";
inline constexpr const char* kRecalculateKey = "__RECALC";

enum class TotalOption { kSum, kNone, kRecalculate, kAverage };

// What an aver_key means: absent sums, empty has no total, "__RECALC"
// recalculates, anything else averages.
TotalOption TotalOptionOf(const std::optional<std::string>& aver_key);

struct UserAttribute {
  std::string key;
  std::string note;
  std::string equation;
  bool shown = true;
  int decimals = 3;
  std::optional<std::string> aver_key;
  bool operator==(const UserAttribute&) const = default;
};

struct AttributeDisplay {
  std::string key;
  std::string note;
  int decimals = 3;
  std::optional<std::string> aver_key;
  bool operator==(const AttributeDisplay&) const = default;
};

// The section's entries in file order; a missing file or section has none.
// Lines without a key are skipped.
std::vector<UserAttribute> ReadUserAttributes(const std::filesystem::path& file, std::string_view section);
std::vector<AttributeDisplay> ReadAttributeDisplays(const std::filesystem::path& file, std::string_view section);

// The section names of the file, in file order.
std::vector<std::string> AttributeSections(const std::filesystem::path& file);

// Replace the section's lines (adding the section at the end when new),
// keeping every other section as it was.
bool WriteUserAttributes(const std::filesystem::path& file, std::string_view section,
                         const std::vector<UserAttribute>& attributes);
bool WriteAttributeDisplays(const std::filesystem::path& file, std::string_view section,
                            const std::vector<AttributeDisplay>& displays);

}  // namespace pelikon
