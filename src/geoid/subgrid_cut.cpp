#include "geoid/subgrid_cut.h"

#include "geoid/grid_text.h"
#include "geoid/subgrid_builder.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

constexpr GeoidModel kOsgm02Gb = 23;
constexpr GeoidModel kFranceRaf98 = 19;

void Say(const std::function<void(const std::string&)>& hook, const std::string& text) {
  if (hook && !text.empty()) hook(text);
}

}  // namespace

SubGridOutcome CutSubGrid(const SubGridJob& job) {
  Say(job.status, Tr("Calculating geoid grid. Please wait..."));
  const GeoidGridFile file = ResolveGeoidGridFile(job.model, job.grid_folder, job.latitude, job.longitude);
  Say(job.tell, file.message);
  if (file.path.empty()) return {{}, Tr("Error: unable to match geoid grid file.")};
  Say(job.tell, file.notice);

  // These two models' files count longitudes from -180 to 180.
  double longitude = job.longitude;
  if ((job.model == kOsgm02Gb || job.model == kFranceRaf98) && longitude > 180) longitude -= 360;

  // Only the box's nodes are read, and one node more on each side: the
  // corner rule looks one node beyond the box's edges.
  GridLoadOptions load = job.load;
  const double half = job.size / 2;
  load.window = GridWindow{job.latitude - half, longitude - half, job.latitude + half, longitude + half, 1};
  std::unique_ptr<GeoGrid> grid = LoadGridFile(file.path, load);
  if (!grid && job.download && job.download(file.path.filename().string(), file.path))
    grid = LoadGridFile(file.path, load);
  if (!grid) return {{}, StrPrintf(Tr("Error unable to read or download geoid\n%s"), file.path.string().c_str())};

  SubGridOutcome outcome;
  if (!GridFileCovers(file.path, longitude, job.latitude)) {
    outcome.error = Tr("Error: Point is not within grid coverage.");
  } else if (const std::optional<SubGridCorners> corners =
                 FindSubGridCorners(*grid, job.latitude, longitude, job.size)) {
    Say(job.status, Tr("Saving geoid grid. Please wait..."));
    outcome.written = WriteSubGridFile(SubGridText(*grid, *corners), job.output_folders, job.file_name);
    if (outcome.written.empty()) outcome.error = Tr("Error: unable to write Geoid grid.");
  } else {
    outcome.error = Tr("Error2: unable to set Geoid model.");
  }
  FreeGrid(grid);
  return outcome;
}

}  // namespace pelikon
