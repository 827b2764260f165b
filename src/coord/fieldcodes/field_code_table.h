// A whole field-to-finish code table converted from the office's ".FLD"
// text into the ".FCL" text the collector reads (field_code_line.h says
// what each line becomes).
//
// Input lines end in LF, CR LF or a lone CR. A line longer than
// kFieldCodeLineLimit characters is taken as several lines of at most that
// many. Output lines are in input order, each ended by CR LF.
//
// The ".FCL" lands beside the ".FLD": the file name upper-cased and cut at
// its first ".FLD", then ".FCL" appended; the folders keep their case. It
// is written through a twin (platform/atomic_file.h), so a failed
// conversion leaves an earlier table as it was. Lines whose entity type has
// no format are left out and counted in one trace line.
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace pelikon {

inline constexpr size_t kFieldCodeLineLimit = 2548;
// Files are read and written in blocks of this size, through buffers that
// are kept: fresh memory for a whole large file costs more in page faults
// than the conversion itself.
inline constexpr size_t kFieldCodeBlockSize = size_t{1} << 20;

struct FieldCodeTable {
  std::string text;                 // the ".FCL" contents
  size_t converted = 0;             // lines written
  size_t unknown_entity_types = 0;  // code lines left out for their type
};

FieldCodeTable ConvertFieldCodeText(std::string_view input);

// The ".FCL" path for `input`; nothing when its file name holds no ".FLD"
// in any case (the table would take the input's own name).
std::optional<std::filesystem::path> FieldCodeOutputPath(const std::filesystem::path& input);

enum class FieldCodeFileError {
  kNone,
  kSameFile,          // the output is the input itself
  kInputUnreadable,   // `cause` says why
  kOutputUnwritable,  // `cause` says why; an earlier output is untouched
};

struct FieldCodeFileResult {
  FieldCodeFileError error = FieldCodeFileError::kNone;
  std::error_code cause;
  size_t converted = 0;
  size_t unknown_entity_types = 0;
};

// Converts `input` into `output` (any name).
FieldCodeFileResult ConvertFieldCodeFile(const std::filesystem::path& input, const std::filesystem::path& output);

// Converts `inputPath` into the ".FCL" beside it: 1 with the table's path
// in `outputPath`, or 0 (the reason traced, `outputPath` emptied) when the
// name holds no ".FLD" or either file cannot be used.
int ConvertFieldCodes(const std::filesystem::path& inputPath, std::filesystem::path& outputPath);

}  // namespace pelikon
