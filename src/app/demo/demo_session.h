// The demonstration: a simulated collector on a pseudo-terminal, serving a
// generated sample store, and a sample folder for the PC side, so that the
// program can be tried without hardware. Everything lives in a "demo"
// folder inside the private working folder; the user's own settings are
// not touched — the demo runs on settings of its own, held in memory.
//
// The docked demonstration serves the same sample store as a docked device
// folder instead, reached through the connector library. The connector
// reads its device folder from the user's settings file, so this demo's
// settings are a file of its own in the "demo" folder, and the process's
// settings folder is pointed there ($PELIKON_CONFIG_DIR).
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/child_process.h"
#include "platform/settings_store.h"

namespace pelikon {

// Writes the sample collector store into `folder`: JOB1.CRD with points,
// its raw file JOB1.RW5 and notes JOB1.NOT, a field code table, a text file
// and a couple of folders. Existing files are replaced. False on failure.
bool WriteSampleCollectorStore(const std::filesystem::path& folder);
// Writes the sample PC folder into `folder`.
bool WriteSamplePcFolder(const std::filesystem::path& folder);

class DemoSession {
 public:
  // COM port number the simulator is reached through.
  static constexpr int kComPort = 1;

  // Prepares the folders under `work_folder` and starts `simulator` (the
  // collector-sim program) on a new line. False, with `error` set, on failure.
  bool Start(const std::filesystem::path& work_folder, const std::filesystem::path& simulator, std::string& error);
  // Prepares the folders and the settings of the docked demonstration.
  bool StartDocked(const std::filesystem::path& work_folder, std::string& error);
  void Stop() { simulator_.Stop(); }

  // Settings for the demo run: first-run values, the sample PC folder as
  // the folder to open, COM1 mapped to the simulator's line.
  SettingsStore& Settings() { return *settings_; }
  const std::filesystem::path& PcFolder() const { return pc_folder_; }
  const std::filesystem::path& StoreFolder() const { return store_folder_; }
  const std::filesystem::path& LinePath() const { return line_; }

 private:
  // Writes the two sample folders under `demo`.
  bool WriteSamples(const std::filesystem::path& demo, std::string& error);

  ChildProcess simulator_;
  std::unique_ptr<SettingsStore> settings_ = std::make_unique<MemorySettingsStore>();
  std::filesystem::path pc_folder_;
  std::filesystem::path store_folder_;
  std::filesystem::path line_;
};

}  // namespace pelikon
