// The program's private working folder.
//
// Working files have fixed names ("dir_yyy.txt", staging folders ...), so
// they must not live in a folder that other users can write to: a fixed
// name in a shared /tmp invites symlink attacks. The working folder is
// therefore a folder of our own, mode 0700, owned by the effective user.
// An existing folder is accepted only when it is a real folder (not a
// link), owned by us, and writable by nobody else.
#pragma once

#include <filesystem>
#include <system_error>

namespace pelikon {

// Creates `folder` (mode 0700) if missing, then checks it as above.
// Returns an empty error code when the folder is safe to use.
std::error_code PreparePrivateFolder(const std::filesystem::path& folder);

// The working folder, prepared: $PELIKON_TEMP_DIR when set, else
// $XDG_RUNTIME_DIR/pelikon, else /tmp/pelikon-<uid>, else
// ~/.cache/pelikon/tmp; the first candidate that passes the checks.
// Empty when none does; `error` then says why the last one failed.
std::filesystem::path TempFolder(std::error_code* error = nullptr);

}  // namespace pelikon
