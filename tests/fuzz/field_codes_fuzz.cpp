// Field-to-finish tables from arbitrary bytes: every line converted alone
// and the whole text converted at once give lines without a CR or LF
// inside, each ended by CR LF; and the file conversion writes exactly what
// the text conversion gives.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "coord/fieldcodes/field_code_line.h"
#include "coord/fieldcodes/field_code_table.h"
#include "fuzz_work_folder.h"
#include "platform/atomic_file.h"

namespace {

namespace fs = std::filesystem;

bool HoldsLineEnd(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

fs::path TablePath() {
  return fs::path(std::getenv("PELIKON_TEMP_DIR")).parent_path() / "table.fld";
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pelikon_fuzz::UseWorkFolder("/tmp/pelikon-field-codes-fuzz");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  std::string group;
  for (std::string_view rest = text; !rest.empty();) {
    const std::optional<std::string> converted = pelikon::ConvertFieldCodeLine(rest, group);
    if ((converted && HoldsLineEnd(*converted)) || HoldsLineEnd(group)) std::abort();
    const size_t end = rest.find('\n');
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }

  const pelikon::FieldCodeTable table = pelikon::ConvertFieldCodeText(text);
  size_t ended = 0;
  for (std::string_view rest = table.text; !rest.empty(); ++ended) {
    const size_t end = rest.find("\r\n");
    if (end == std::string_view::npos || HoldsLineEnd(rest.substr(0, end))) std::abort();
    rest.remove_prefix(end + 2);
  }
  if (ended != table.converted) std::abort();

  // The file conversion flushes to disk, which is slow: one input in eight
  // goes through it.
  if (size % 8 != 0) return 0;
  const fs::path input = TablePath();
  std::FILE* file = std::fopen(input.c_str(), "wb");
  if (!file || std::fwrite(text.data(), 1, size, file) != size || std::fclose(file) != 0) std::abort();
  fs::path output;
  std::string written;
  if (pelikon::ConvertFieldCodes(input, output) != 1 || !pelikon::ReadWholeFile(output, written) ||
      written != table.text)
    std::abort();
  return 0;
}
