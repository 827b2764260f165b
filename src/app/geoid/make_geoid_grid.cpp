#include "app/geoid/make_geoid_grid.h"

#include <system_error>

#include "app/transfer/file_mover.h"
#include "dialogs/data_folder.h"
#include "geoid/subgrid_cut.h"
#include "link/progress/progress_scope.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

void ShowError(Ui& ui, const std::string& text) {
  ui.ShowCaptioned(text, Tr("Error"), true);
}

}  // namespace

std::optional<std::filesystem::path> CutGeoidSubGrid(GeoidAreaFields& fields, PanesController& panes,
                                                     const GeoidCutPlaces& places) {
  Ui& ui = panes.UserInterface();
  const std::optional<double> latitude = DmsToDegrees(fields.latitude);
  const std::optional<double> longitude = DmsToDegrees(fields.longitude);
  if (!latitude || !longitude) {
    ShowError(ui, Tr("Error: Please enter the latitude and longitude as dd.mmss."));
    return std::nullopt;
  }
  if (Trim(fields.grid_folder).empty()) fields.grid_folder = places.program_folder.string();
  const std::filesystem::path folder(std::string(Trim(fields.grid_folder)));
  SetDataFolder(folder);
  const GridSize size = SizeInDegrees(fields.size, fields.unit);
  if (!size.error.empty()) {
    ShowError(ui, size.error);
    return std::nullopt;
  }
  const std::string name = SubGridFileName(Trim(fields.name));
  if (name.empty()) {
    ShowError(ui, Tr("Error: Please Enter Geoid Grid Name."));
    return std::nullopt;
  }
  fields.name = name;

  SubGridJob job;
  job.model = fields.model;
  job.grid_folder = folder;
  job.latitude = SignedLatitude(*latitude, fields.south);
  job.longitude = EastLongitude(*longitude, fields.west);
  job.size = size.degrees;
  job.file_name = name;
  job.output_folders = {folder, places.program_folder, places.temp_folder};
  job.load.storage.swap_folder = places.temp_folder;
  job.download = places.download;
  job.tell = [&ui](const std::string& text) { ui.ShowMessageBox(text); };
  job.status = [&ui](const std::string& text) { ui.SetMainStatus(text); };
  SubGridOutcome outcome;
  {
    const ProgressScope busy(panes.Progress(), 0);
    panes.Progress().SetStatus(Tr("Please wait..."));
    outcome = CutSubGrid(job);
  }
  panes.UpdateCounters();
  if (outcome.written.empty()) {
    ShowError(ui, outcome.error);
    return std::nullopt;
  }
  ui.ShowCaptioned(Tr("Geoid Grid Created. Ready to upload."), Tr("Message"), false);
  return outcome.written;
}

void MakeGeoidGrid(PanesController& panes, GeoidAreaDialogPort& dialog) {
  GeoidAreaFields fields;
  fields.grid_folder = panes.Settings().geoid_folder;
  fields.name = Tr("geoid");
  std::filesystem::path written;
  if (!dialog.Ask(fields, written)) return;
  panes.Settings().geoid_folder = fields.grid_folder;
  UploadGeoidGrid(panes, written);
}

int UploadGeoidGrid(PanesController& panes, const std::filesystem::path& sub_grid) {
  Ui& ui = panes.UserInterface();
  RemoteLink& link = panes.Link();
  if (!panes.CheckLink()) {
    link.ShowNotConnectedHelp();
    ShowError(ui,
              StrPrintf(Tr("No connection to remote device.\n Please copy '%s' to remote program directory manually."),
                        sub_grid.string().c_str()));
    return 0;
  }
  const std::string program_folder = link.RemoteProgramFolder();
  if (program_folder.empty()) {
    ui.ShowCaptioned(
        StrPrintf(Tr("Remote software is outdated. Please copy '%s' to remote program directory manually."),
                  sub_grid.string().c_str()),
        Tr("Warning"), false);
    return 0;
  }
  std::error_code error;
  if (!std::filesystem::is_regular_file(sub_grid, error)) {
    ShowError(ui, Tr("Unable to find the Geoid99 file to upload"));
    return 0;
  }
  const std::string before = link.RemoteFolder();
  if (!link.ChangeDir(program_folder)) {
    ShowError(ui, Tr("Unable to change to program directory on remote computer"));
    return 0;
  }
  FileMover mover(panes);
  const int sent = mover.Put(sub_grid);
  if (!link.ChangeDir(before)) ShowError(ui, Tr("Unable to return to previous directory on remote computer"));
  {
    const ProgressScope shown(panes.Progress());
    panes.FillRemote(false);
  }
  panes.UpdateCounters();
  return sent;
}

}  // namespace pelikon
