// Finding the folder that is the docked device: the folder the user named
// (the "asyncroot" setting), or else the single media device the desktop
// has mounted under $XDG_RUNTIME_DIR/gvfs ("mtp:host=…"), its first storage.
// A mount that hangs must not hang the program: every look at the file
// system here gives up after the patience it is given.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>

namespace pelikon::activesync {

enum class LocateResult {
  kFound,       // `root` is a readable folder
  kNotFound,    // nothing there (or not a folder) within the patience
  kUnreadable,  // the folder exists but cannot be listed
};

struct LocatedDevice {
  LocateResult result = LocateResult::kNotFound;
  std::filesystem::path root;
  // In words, for the user: which folder was looked at, or what the search
  // for a mounted media device found.
  std::string described;
};

// `configured` non-empty: that folder. Empty: the one "mtp:host=" mount in
// `gvfs_folder` (none or several: kNotFound). Keeps looking until the
// folder appears or `patience` has passed.
LocatedDevice LocateDevice(const std::string& configured, const std::filesystem::path& gvfs_folder,
                           std::chrono::milliseconds patience);

// $XDG_RUNTIME_DIR/gvfs, or /run/user/<uid>/gvfs.
std::filesystem::path DesktopMountFolder();

}  // namespace pelikon::activesync
