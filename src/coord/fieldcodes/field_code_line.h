// One line of a field-to-finish code table as the office keeps it (".FLD")
// turned into the line of the table the collector reads (".FCL").
//
// A line is a comment ('#' first: ignored), a group line ('@' first) or a
// code line. Its fields are separated by '|' when the line holds one, else
// by ','. "Trimmed" means without blanks at either end.
//
// A group line names the group of the code lines after it: its second field
// (between the first and second delimiter), trimmed; a group line with fewer
// than two delimiters clears the group. The group starts empty.
//
// The fields of a code line, counted from 1:
//   1     the code, as it stands (untrimmed)
//   2     alternative name, trimmed; when empty the code is the tail name
//   5     description, trimmed
//   6     entity type, read as atoi reads it
//   18    the number, kept when it lies from 1 to 255
// After field 18 the text up to the first "|END", and from there up to the
// second "|END", is skipped; so are the field the second marker opens and
// the seven fields after it. The next three fields are the line-code parts
// A, B and C, trimmed. Fields 1 to 6 must each be followed by a delimiter,
// or the line gives nothing. The number needs a delimiter after each of
// fields 7 to 17; the parts need those, both markers and a delimiter after
// each of the eight skipped fields. What is missing leaves them empty.
//
// The converted line:
//   ["$" group ", "] code [", " line code] ", " F1 ", " F2 ", " description
//   [", " number] ", " tail name
// F1 is "Y" for entity types 1, 2, 3 and 7 and "N" for 0; F2 is "Y" for 3
// and 7 only. The line code is "$" A "|" X, where X is empty for type 0, B
// for types 1 and 2 and C for types 3 and 7; there is none when A and X are
// both empty. Other entity types give no line.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelikon {

// The delimiter of `line`: '|' when it holds one, else ','.
char FieldCodeDelimiter(std::string_view line);

// The group a group line (its leading '@' included) sets; empty clears it.
std::string_view GroupOfLine(std::string_view line);

// The fields of a code line that the conversion uses. The views point into
// the line.
struct CodeLineFields {
  std::string_view code;         // field 1, untrimmed
  std::string_view name;         // field 2, trimmed
  std::string_view description;  // field 5, trimmed
  int entity_type = 0;
  int number = 0;  // 0 when none was kept
  std::string_view part_a, part_b, part_c;
};

// Splits a code line; nothing when fields 1 to 6 are not each followed by a
// delimiter.
std::optional<CodeLineFields> SplitCodeLine(std::string_view line);

// The line code "$" first "|" second, when `present`.
struct LineCode {
  bool present = false;
  std::string_view first;
  std::string_view second;
};
LineCode LineCodeFromParts(const CodeLineFields& fields);

// The two flag columns of an entity type; nothing for a type the collector
// has no format for.
struct EntityFlags {
  char first;   // F1
  char second;  // F2
};
std::optional<EntityFlags> FlagsOfEntityType(int entity_type);

// What one line was.
enum class FieldCodeLineKind { kIgnored, kGroup, kConverted, kUnknownEntityType };

// Converts one line, which holds no CR or LF, appending the converted text
// (without a line end) to `out` when there is one. A group line changes
// `group`.
FieldCodeLineKind AppendFieldCodeLine(std::string_view line, std::string& group, std::string& out);

// The converted text of one line (up to its first CR or LF), or nothing.
std::optional<std::string> ConvertFieldCodeLine(std::string_view line, std::string& group);

}  // namespace pelikon
