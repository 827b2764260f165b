// Where `xfer receive` puts what arrives when it must not replace files:
// the engine receives into a private folder inside the receive folder,
// and each complete file then moves in under its own name only when no
// file of that name is there; one that is there is kept, and the arrived
// copy is dropped.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelikon_tools {

class Landing {
 public:
  Landing() = default;
  ~Landing();
  Landing(const Landing&) = delete;
  Landing& operator=(const Landing&) = delete;

  // Makes the private folder inside `folder`. False, with `error` set,
  // when it cannot be made.
  bool Prepare(const std::filesystem::path& folder, std::string& error);
  // Where the engine receives.
  const std::filesystem::path& Staging() const { return staging_; }

  struct Outcome {
    std::vector<std::string> landed;  // moved into the folder
    std::vector<std::string> kept;    // a file of that name was there: it stays
    std::vector<std::string> failed;  // could not be moved (the reason traced)
    std::filesystem::path left_in;    // where the failed ones stay; empty when none did
  };
  // Moves every received file into the folder, never over another file,
  // and removes the private folder unless a file could not be moved.
  Outcome Finish();

 private:
  std::filesystem::path folder_;
  std::filesystem::path staging_;
};

}  // namespace pelikon_tools
