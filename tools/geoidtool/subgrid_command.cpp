#include "subgrid_command.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "geoid/download/grid_download.h"
#include "geoid/download/grid_url.h"
#include "geoid/geoid_catalogue.h"
#include "geoid/memory_status.h"
#include "geoid/subgrid_cut.h"
#include "geoid/subgrid_request.h"
#include "platform/catalogue.h"
#include "platform/temp_folder.h"
#include "platform/text.h"

namespace pelikon_tools {

namespace {

using pelikon::StrPrintf;
using pelikon::Tr;
namespace fs = std::filesystem;

bool Hemisphere(const std::string& word, const char* positive, const char* negative, bool& is_negative) {
  const std::string upper = pelikon::AsciiUpper(word);
  if (upper != positive && upper != negative) return false;
  is_negative = upper == negative;
  return true;
}

bool Unit(const std::string& word, pelikon::GridSizeUnit& unit) {
  if (word == "miles") {
    unit = pelikon::GridSizeUnit::kMiles;
  } else if (word == "km") {
    unit = pelikon::GridSizeUnit::kKilometres;
  } else if (word == "deg") {
    unit = pelikon::GridSizeUnit::kDegrees;
  } else {
    return false;
  }
  return true;
}

// A machine with only `available` bytes free (and nearly all of it in use),
// for trying the swap file on a large model.
class AssumedMemory final : public pelikon::MemoryStatus {
 public:
  explicit AssumedMemory(uint64_t available) : available_(available) {}
  pelikon::MemoryFigures Read() const override { return {available_, available_ * 16, 95}; }

 private:
  uint64_t available_;
};

}  // namespace

int RunSubGrid(const ToolUsage& usage, ArgumentReader& reader) {
  std::vector<std::string> words;
  long model = 1;
  std::string out_dir;
  std::string server;
  long memory_mib = 0;
  while (!reader.Done()) {
    const std::string word = reader.Next();
    bool fine = true;
    if (word == "--model") {
      fine = reader.Number(word, 1, pelikon::kGeoidModelCount, model);
    } else if (word == "--out-dir") {
      fine = reader.Value(word, out_dir);
    } else if (word == "--server") {
      fine = reader.Value(word, server);
    } else if (word == "--memory") {
      fine = reader.Number(word, 1, 1 << 20, memory_mib);
    } else if (word.size() > 1 && word[0] == '-' && !(word[1] >= '0' && word[1] <= '9') && word[1] != '.') {
      return usage.Wrong(StrPrintf(Tr("subgrid: unknown option \"%s\""), word.c_str()));
    } else {
      words.push_back(word);
    }
    if (!fine) return usage.Wrong(reader.Error());
  }
  if (words.size() != 8) return usage.Wrong(Tr("subgrid: FOLDER LAT N|S LON E|W SIZE miles|km|deg NAME are needed"));
  bool south = false, west = false;
  pelikon::GridSizeUnit unit;
  if (!Hemisphere(words[2], "N", "S", south)) return usage.Wrong(Tr("subgrid: the latitude's side is N or S"));
  if (!Hemisphere(words[4], "E", "W", west)) return usage.Wrong(Tr("subgrid: the longitude's side is E or W"));
  if (!Unit(words[6], unit)) return usage.Wrong(Tr("subgrid: the size's unit is miles, km or deg"));

  // The dialog's checks, in its order, with its texts.
  const std::optional<double> latitude = pelikon::DmsToDegrees(words[1]);
  const std::optional<double> longitude = pelikon::DmsToDegrees(words[3]);
  if (!latitude || !longitude) return usage.Fail(Tr("Error: Please enter the latitude and longitude as dd.mmss."));
  const pelikon::GridSize size = pelikon::SizeInDegrees(words[5], unit);
  if (!size.error.empty()) return usage.Fail(size.error);
  const std::string name = pelikon::SubGridFileName(pelikon::Trim(words[7]));
  if (name.empty()) return usage.Fail(Tr("Error: Please Enter Geoid Grid Name."));

  std::error_code error;
  const fs::path program_folder = fs::canonical("/proc/self/exe", error).parent_path();
  pelikon::SubGridJob job;
  job.model = static_cast<pelikon::GeoidModel>(model);
  job.grid_folder = words[0];
  job.latitude = pelikon::SignedLatitude(*latitude, south);
  job.longitude = pelikon::EastLongitude(*longitude, west);
  job.size = size.degrees;
  job.file_name = name;
  job.output_folders = {out_dir.empty() ? fs::path(words[0]) : fs::path(out_dir), program_folder,
                        pelikon::TempFolder()};
  job.load.storage.swap_folder = pelikon::TempFolder();
  const AssumedMemory assumed(static_cast<uint64_t>(memory_mib) << 20);
  if (memory_mib > 0) job.load.storage.memory = &assumed;
  job.tell = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
  if (!server.empty()) {
    job.download = [&server](const std::string& file_name, const fs::path& destination) {
      pelikon::DownloadHooks hooks;
      hooks.show_message = [](const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); };
      return pelikon::DownloadGridFile(pelikon::GridFileUrl(server, file_name), destination, std::rand(), hooks);
    };
  }
  const pelikon::SubGridOutcome outcome = pelikon::CutSubGrid(job);
  if (outcome.written.empty()) return usage.Fail(outcome.error);
  std::printf("%s\n", outcome.written.string().c_str());
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

int RunResolve(const ToolUsage& usage, ArgumentReader& reader) {
  std::vector<std::string> words;
  while (!reader.Done()) words.push_back(reader.Next());
  if (words.size() != 4) return usage.Wrong(Tr("resolve: CODE FOLDER LAT LON are needed"));
  long code = 0;
  if (!ParseWholeNumber(words[0], -1000000, 1000000, code))
    return usage.Wrong(StrPrintf(Tr("resolve: CODE must be a number, not \"%s\""), words[0].c_str()));
  const std::optional<double> latitude = pelikon::ParseFieldNumber(words[2]);
  const std::optional<double> longitude = pelikon::ParseFieldNumber(words[3]);
  if (!latitude || !longitude) return usage.Wrong(Tr("resolve: LAT and LON are decimal degrees"));
  const pelikon::GeoidGridFile file =
      pelikon::ResolveGeoidGridFile(static_cast<pelikon::GeoidModel>(code), words[1], *latitude, *longitude);
  if (!file.notice.empty()) std::fprintf(stderr, "%s\n", file.notice.c_str());
  if (file.path.empty()) return usage.Fail(file.message);
  std::printf("%s\n", file.path.string().c_str());
  return kExitOk;
}

}  // namespace pelikon_tools
