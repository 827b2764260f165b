#include "coord/fieldcodes/field_code_line.h"

#include <charconv>

#include "platform/text.h"

namespace pelikon {

namespace {

constexpr int kMandatoryFields = 6;      // fields 1 to 6
constexpr int kFieldsBeforeNumber = 11;  // fields 7 to 17
constexpr int kFieldsAfterMarker = 8;    // the marker's own field and seven more
constexpr std::string_view kMarker = "|END";
constexpr int kLowestNumber = 1;
constexpr int kHighestNumber = 255;

// Walks the fields of one line from left to right.
class FieldCursor {
 public:
  FieldCursor(std::string_view line, char delimiter) : line_(line), delimiter_(delimiter) {}

  // The next field, when a delimiter ends it.
  std::optional<std::string_view> Closed() {
    if (done_) return std::nullopt;
    const size_t end = line_.find(delimiter_, next_);
    if (end == std::string_view::npos) {
      done_ = true;
      return std::nullopt;
    }
    const std::string_view field = line_.substr(next_, end - next_);
    next_ = end + 1;
    return field;
  }

  // Passes `count` fields that a delimiter ends each.
  bool Skip(int count) {
    for (int i = 0; i < count; ++i)
      if (!Closed()) return false;
    return true;
  }

  // The next field, ended by a delimiter or by the end of the line; empty
  // once the line is used up.
  std::string_view Open() {
    if (done_) return {};
    const size_t end = line_.find(delimiter_, next_);
    if (end == std::string_view::npos) {
      done_ = true;
      return line_.substr(next_);
    }
    const std::string_view field = line_.substr(next_, end - next_);
    next_ = end + 1;
    return field;
  }

  // Moves past the next occurrence of `marker`.
  bool SkipPast(std::string_view marker) {
    if (done_) return false;
    const size_t at = line_.find(marker, next_);
    if (at == std::string_view::npos) {
      done_ = true;
      return false;
    }
    next_ = at + marker.size();
    return true;
  }

  std::string_view Rest() const { return done_ ? std::string_view() : line_.substr(next_); }

 private:
  std::string_view line_;
  char delimiter_;
  size_t next_ = 0;
  bool done_ = false;
};

void AppendNumber(int number, std::string& out) {
  char digits[16];
  const auto written = std::to_chars(digits, digits + sizeof digits, number);
  out.append(digits, written.ptr);
}

}  // namespace

char FieldCodeDelimiter(std::string_view line) {
  return line.find('|') != std::string_view::npos ? '|' : ',';
}

std::string_view GroupOfLine(std::string_view line) {
  FieldCursor cursor(line, FieldCodeDelimiter(line));
  if (!cursor.Closed()) return {};
  const std::optional<std::string_view> group = cursor.Closed();
  return group ? Trim(*group) : std::string_view();
}

std::optional<CodeLineFields> SplitCodeLine(std::string_view line) {
  FieldCursor cursor(line, FieldCodeDelimiter(line));
  std::optional<std::string_view> mandatory[kMandatoryFields];
  for (auto& field : mandatory) {
    field = cursor.Closed();
    if (!field) return std::nullopt;
  }
  CodeLineFields fields;
  fields.code = *mandatory[0];
  fields.name = Trim(*mandatory[1]);
  fields.description = Trim(*mandatory[4]);
  fields.entity_type = LenientInt32(*mandatory[5]);
  if (!cursor.Skip(kFieldsBeforeNumber)) return fields;

  // atoi stops at the delimiter that ends field 18, so reading from its
  // start reads that field alone. The markers are looked for from there
  // too, since the delimiter after field 18 may begin the first one.
  const int number = LenientInt32(cursor.Rest());
  if (number >= kLowestNumber && number <= kHighestNumber) fields.number = number;
  if (!cursor.SkipPast(kMarker) || !cursor.SkipPast(kMarker) || !cursor.Skip(kFieldsAfterMarker)) return fields;
  fields.part_a = Trim(cursor.Open());
  fields.part_b = Trim(cursor.Open());
  fields.part_c = Trim(cursor.Open());
  return fields;
}

LineCode LineCodeFromParts(const CodeLineFields& fields) {
  LineCode code;
  code.first = fields.part_a;
  switch (fields.entity_type) {
    case 1:
    case 2:
      code.second = fields.part_b;
      break;
    case 3:
    case 7:
      code.second = fields.part_c;
      break;
    default:
      break;
  }
  code.present = !code.first.empty() || !code.second.empty();
  return code;
}

std::optional<EntityFlags> FlagsOfEntityType(int entity_type) {
  switch (entity_type) {
    case 0:
      return EntityFlags{'N', 'N'};
    case 1:
    case 2:
      return EntityFlags{'Y', 'N'};
    case 3:
    case 7:
      return EntityFlags{'Y', 'Y'};
    default:
      return std::nullopt;
  }
}

FieldCodeLineKind AppendFieldCodeLine(std::string_view line, std::string& group, std::string& out) {
  if (line.empty() || line.front() == '#') return FieldCodeLineKind::kIgnored;
  if (line.front() == '@') {
    group.assign(GroupOfLine(line));
    return FieldCodeLineKind::kGroup;
  }
  const std::optional<CodeLineFields> fields = SplitCodeLine(line);
  if (!fields) return FieldCodeLineKind::kIgnored;
  const std::optional<EntityFlags> flags = FlagsOfEntityType(fields->entity_type);
  if (!flags) return FieldCodeLineKind::kUnknownEntityType;
  const LineCode line_code = LineCodeFromParts(*fields);

  if (!group.empty()) {
    out += '$';
    out += group;
    out += ", ";
  }
  out += fields->code;
  if (line_code.present) {
    out += ", $";
    out += line_code.first;
    out += '|';
    out += line_code.second;
  }
  out += ", ";
  out += flags->first;
  out += ", ";
  out += flags->second;
  out += ", ";
  out += fields->description;
  if (fields->number != 0) {
    out += ", ";
    AppendNumber(fields->number, out);
  }
  out += ", ";
  out += fields->name.empty() ? fields->code : fields->name;
  return FieldCodeLineKind::kConverted;
}

std::optional<std::string> ConvertFieldCodeLine(std::string_view line, std::string& group) {
  std::string out;
  if (AppendFieldCodeLine(line.substr(0, line.find_first_of("\r\n")), group, out) != FieldCodeLineKind::kConverted)
    return std::nullopt;
  return out;
}

}  // namespace pelikon
