// Batch files: unattended transfers, one entry per file. Lines are
// key=value (no blanks around "="); a line whose key is "local" (any case)
// starts an entry, later lines add keys to it. Lines without "=" or
// without a value, and lines before the first entry, are ignored. A line
// is read up to 1023 characters; the rest of a longer line is dropped
// rather than read as a line of its own.
//
// Keys of an entry: "local" (the PC file), "remote" (the collector's file;
// a leading "\" makes it absolute, else it is below the folder current at
// the start), "upload" ("1", missing or empty: to the collector; another
// number: from it), "remotedir" (with "remote" empty: save the listing of
// the collector's folder to "local").
#pragma once

#include <filesystem>
#include <memory>
#include <string_view>

#include "records/ov_uni_record.h"

namespace pelikon {

inline constexpr size_t kBatchLineLimit = 1023;

// The entries of a batch text as a chain of records (null when none).
std::unique_ptr<OvUniRecord> ParseBatchText(std::string_view text);
// The same from a file; false when it cannot be read.
bool ReadBatchFile(const std::filesystem::path& file, std::unique_ptr<OvUniRecord>& entries);

}  // namespace pelikon
