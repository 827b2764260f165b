#include "coord/fieldcodes/field_code_table.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "coord/fieldcodes/field_code_line.h"
#include "platform/atomic_file.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kInputExtension = ".FLD";
constexpr std::string_view kOutputExtension = ".FCL";
constexpr size_t kBlockSize = kFieldCodeBlockSize;

std::error_code LastErrorOr(int fallback) {
  return {errno != 0 ? errno : fallback, std::generic_category()};
}

// Converts a table that may arrive in blocks. With a file to write to, the
// converted text goes there whenever a block's worth has gathered (a long
// group name before many short lines makes much more text than it reads).
class TableConverter {
 public:
  explicit TableConverter(FieldCodeTable& table, std::FILE* out = nullptr) : table_(table), out_(out) {}

  // Converts the lines at the start of `text`: every complete one, and the
  // full-length pieces of an incomplete last one; the rest of that too when
  // `at_end`. Returns how many characters were used; the caller brings the
  // others back in front of the next block. A CR ends a line as an LF
  // does; the LF of a CR LF then ends an empty line, which gives nothing,
  // so CR LF split between blocks needs no care.
  size_t Convert(std::string_view text, bool at_end) {
    const char* const data = text.data();
    const size_t size = text.size();
    size_t at = 0;
    size_t next_lf = 0;
    bool lf_known = false;
    while (at < size) {
      // The LF search is kept between lines so that lone CRs cost no
      // second pass.
      if (!lf_known || next_lf < at) {
        const void* lf = std::memchr(data + at, '\n', size - at);
        next_lf = lf ? static_cast<const char*>(lf) - data : size;
        lf_known = true;
      }
      const void* cr = std::memchr(data + at, '\r', next_lf - at);
      const size_t stop = cr ? static_cast<const char*>(cr) - data : next_lf;
      std::string_view line(data + at, stop - at);
      while (line.size() > kFieldCodeLineLimit) {
        Take(line.substr(0, kFieldCodeLineLimit));
        line.remove_prefix(kFieldCodeLineLimit);
      }
      if (stop == size && !at_end) return size - line.size();
      Take(line);
      at = stop + 1;
      if (cr && at < size && data[at] == '\n') ++at;
    }
    return size;
  }

  // Writes what is gathered to the file; the first failure is kept.
  void Flush() {
    if (!out_ || write_error_) return;
    errno = 0;
    if (std::fwrite(table_.text.data(), 1, table_.text.size(), out_) != table_.text.size())
      write_error_ = LastErrorOr(EIO);
    table_.text.clear();
  }
  std::error_code WriteError() const { return write_error_; }

 private:
  void Take(std::string_view line) {
    switch (AppendFieldCodeLine(line, group_, table_.text)) {
      case FieldCodeLineKind::kConverted:
        table_.text += "\r\n";
        ++table_.converted;
        if (table_.text.size() >= kBlockSize) Flush();
        break;
      case FieldCodeLineKind::kUnknownEntityType:
        ++table_.unknown_entity_types;
        break;
      case FieldCodeLineKind::kIgnored:
      case FieldCodeLineKind::kGroup:
        break;
    }
  }

  FieldCodeTable& table_;
  std::FILE* out_;
  std::error_code write_error_;
  std::string group_;
};

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Converts `in` block by block into `out`; on failure says which side failed.
FieldCodeFileError ConvertStream(std::FILE* in, std::FILE* out, FieldCodeFileResult& result) {
  FieldCodeTable table;
  table.text.reserve(kBlockSize + kFieldCodeLineLimit * 2);
  TableConverter converter(table, out);
  std::string block(kBlockSize + kFieldCodeLineLimit, '\0');
  size_t kept = 0;  // an incomplete line carried over from the last block
  for (bool at_end = false; !at_end && !converter.WriteError();) {
    errno = 0;
    const size_t read = std::fread(block.data() + kept, 1, kBlockSize, in);
    if (read < kBlockSize && std::ferror(in)) {
      result.cause = LastErrorOr(EIO);
      return FieldCodeFileError::kInputUnreadable;
    }
    at_end = read < kBlockSize;
    const std::string_view text(block.data(), kept + read);
    const size_t used = converter.Convert(text, at_end);
    kept = text.size() - used;
    std::memmove(block.data(), block.data() + used, kept);
  }
  converter.Flush();
  if (converter.WriteError()) {
    result.cause = converter.WriteError();
    return FieldCodeFileError::kOutputUnwritable;
  }
  result.converted = table.converted;
  result.unknown_entity_types = table.unknown_entity_types;
  return FieldCodeFileError::kNone;
}

// The failure `error`, caused by what errno holds.
FieldCodeFileResult Failure(FieldCodeFileError error) {
  FieldCodeFileResult result;
  result.error = error;
  result.cause = LastErrorOr(EIO);
  return result;
}

// Converts `input` into the twin of `output` and moves the twin over it;
// the twin is removed when anything fails.
FieldCodeFileResult ConvertThroughTwin(const fs::path& input, const fs::path& output) {
  errno = 0;
  const File in(std::fopen(input.c_str(), "rb"));
  if (!in) return Failure(FieldCodeFileError::kInputUnreadable);
  // A folder as the output would have its twin made beside it, under a
  // name that is no table's.
  std::error_code ignored;
  if (output.filename().empty() || fs::is_directory(output, ignored)) {
    errno = EISDIR;
    return Failure(FieldCodeFileError::kOutputUnwritable);
  }
  const fs::path twin = TwinPath(output);
  errno = 0;
  File out(std::fopen(twin.c_str(), "wb"));
  if (!out) return Failure(FieldCodeFileError::kOutputUnwritable);

  FieldCodeFileResult result;
  result.error = ConvertStream(in.get(), out.get(), result);
  errno = 0;
  if (std::fclose(out.release()) != 0 && result.error == FieldCodeFileError::kNone)
    result = Failure(FieldCodeFileError::kOutputUnwritable);
  if (result.error == FieldCodeFileError::kNone) {
    result.cause = ReplaceWithTwin(twin, output);
    if (result.cause) result.error = FieldCodeFileError::kOutputUnwritable;
  }
  if (result.error != FieldCodeFileError::kNone) std::remove(twin.c_str());
  return result;
}

}  // namespace

FieldCodeTable ConvertFieldCodeText(std::string_view input) {
  FieldCodeTable table;
  // Converted lines are shorter than their input in any realistic table.
  table.text.reserve(input.size());
  TableConverter(table).Convert(input, true);
  return table;
}

std::optional<fs::path> FieldCodeOutputPath(const fs::path& input) {
  const std::string name = AsciiUpper(input.filename().string());
  const size_t at = name.find(kInputExtension);
  if (at == std::string::npos) return std::nullopt;
  std::string output_name = name.substr(0, at);
  output_name += kOutputExtension;
  return input.parent_path() / output_name;
}

FieldCodeFileResult ConvertFieldCodeFile(const fs::path& input, const fs::path& output) {
  std::error_code not_same;
  if (fs::equivalent(input, output, not_same)) {
    Trace("field codes: %s would be written over itself; not converted", input.c_str());
    FieldCodeFileResult result;
    result.error = FieldCodeFileError::kSameFile;
    return result;
  }
  const FieldCodeFileResult result = ConvertThroughTwin(input, output);
  switch (result.error) {
    case FieldCodeFileError::kNone:
      if (result.unknown_entity_types > 0)
        Trace("field codes: %zu lines of %s left out: their entity type is not 0, 1, 2, 3 or 7",
              result.unknown_entity_types, input.c_str());
      break;
    case FieldCodeFileError::kInputUnreadable:
      Trace("field codes: cannot read %s: %s", input.c_str(), result.cause.message().c_str());
      break;
    case FieldCodeFileError::kOutputUnwritable:
      Trace("field codes: cannot write %s: %s", output.c_str(), result.cause.message().c_str());
      break;
    case FieldCodeFileError::kSameFile:
      break;
  }
  return result;
}

int ConvertFieldCodes(const fs::path& inputPath, fs::path& outputPath) {
  const std::optional<fs::path> output = FieldCodeOutputPath(inputPath);
  if (!output) Trace("field codes: the name of %s holds no \".FLD\"; not converted", inputPath.c_str());
  const bool done = output && ConvertFieldCodeFile(inputPath, *output).error == FieldCodeFileError::kNone;
  outputPath = done ? *output : fs::path();
  return done ? 1 : 0;
}

}  // namespace pelikon
