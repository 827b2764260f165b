// Writing a file so that readers see either the old or the new content,
// never a half-written one: the bytes go to a ".new" twin beside the target,
// which is flushed to disk and then renamed over the target.
#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace pelikon {

// The twin's path: the target with ".new" appended to its file name.
std::filesystem::path TwinPath(const std::filesystem::path& target);

// Writes `content` through the twin. On failure the target is untouched,
// the twin is removed, and the error is returned.
std::error_code WriteFileAtomically(const std::filesystem::path& target, std::string_view content);

// Moves an already written twin over the target (after flushing it).
std::error_code ReplaceWithTwin(const std::filesystem::path& twin, const std::filesystem::path& target);

// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::filesystem::path& path, std::string& content);

}  // namespace pelikon
