// Persistent named text values of the current user: the program's settings.
//
// Every value is a text stored under its name. Reading behaves like a
// fixed 255-byte buffer: a value that is missing, unreadable, or too long
// to fit with its terminating zero (255 bytes or more) reads as empty text.
// Names are compared without regard to case. A value is written at once;
// names may not be empty or contain "=", and neither names nor values may
// contain a line break or a zero byte (such a write is refused).
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace pelikon {

class SettingsStore {
 public:
  static constexpr size_t kReadBufferBytes = 255;

  virtual ~SettingsStore() = default;

  // Makes sure the place that holds the values exists. False on failure.
  virtual bool CreateKey() = 0;

  // The value, or empty text (see above).
  std::string GetValue(std::string_view name) const;
  // True when stored.
  bool SetValue(std::string_view name, std::string_view value);
  // True when `value` can be stored and reads back as it is: no line break
  // or zero byte, and short enough for the read buffer.
  static bool ReadsBackWhole(std::string_view value);

 protected:
  // False when the value is missing or cannot be read.
  virtual bool ReadRaw(std::string_view name, std::string& value) const = 0;
  virtual bool WriteRaw(std::string_view name, std::string_view value) = 0;
};

// Values held in memory; for tests and as the fallback when no folder can
// be found for the file store.
class MemorySettingsStore final : public SettingsStore {
 public:
  bool CreateKey() override { return true; }

 protected:
  bool ReadRaw(std::string_view name, std::string& value) const override;
  bool WriteRaw(std::string_view name, std::string_view value) override;

 private:
  std::map<std::string, std::string> values_;  // keys upper-cased
};

// Values in the text file "settings" of a folder, one "name=value" line each.
// Every write rereads the file, changes one line, and replaces the file
// through a ".new" twin, so concurrent writers of different values do not
// lose each other's values and readers never see a torn file. Lines the
// store does not understand are kept.
class FileSettingsStore final : public SettingsStore {
 public:
  explicit FileSettingsStore(std::filesystem::path folder);

  bool CreateKey() override;
  const std::filesystem::path& FilePath() const { return file_; }

 protected:
  bool ReadRaw(std::string_view name, std::string& value) const override;
  bool WriteRaw(std::string_view name, std::string_view value) override;

 private:
  std::filesystem::path folder_;
  std::filesystem::path file_;
};

// The folder of the user's settings: $PELIKON_CONFIG_DIR when set, else
// $XDG_CONFIG_HOME/pelikon, else $HOME/.config/pelikon. Empty when none of
// these can be worked out.
std::filesystem::path DefaultSettingsFolder();

// The user's settings: the file store in `DefaultSettingsFolder()`, or
// values in memory when no folder can be worked out.
std::unique_ptr<SettingsStore> OpenUserSettings();

}  // namespace pelikon
