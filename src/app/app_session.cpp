#include "app/app_session.h"

#include <cstdlib>
#include <system_error>

#include "app/batch/batch_run.h"
#include "app/field_codes/field_code_upload.h"
#include "app/geoid/make_geoid_grid.h"
#include "app/link_setup.h"
#include "dialogs/data_folder.h"
#include "geoid/download/grid_download.h"
#include "geoid/download/grid_url.h"
#include "geoid/proj_data.h"
#include "link/serial/serial_port.h"
#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/child_process.h"
#include "platform/program_files.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

AppSession::AppSession(const SessionSetup& setup, Ui& ui, PanesView& view)
    : store_(*setup.settings),
      program_folder_(setup.program_folder),
      temp_folder_(setup.temp_folder),
      ui_(ui),
      sound_(setup.sound_output ? *setup.sound_output : SystemSoundOutput()),
      progress_(ui, sound_) {
  // The settings' home exists from the first run on.
  store_.CreateKey();
  std::error_code error;
  start_folder_ = std::filesystem::current_path(error).string();
  settings_ = FirstRunSettings(program_folder_.string(), start_folder_);
  libraries_.Bind(program_folder_);
  link_ = std::make_unique<RemoteLink>(
      ui_, progress_, LinkSettingsFrom(settings_, temp_folder_, start_folder_), [this](int port_index, int baud) {
        // Every wait of the line keeps the user interface alive.
        return OpenSerialLink(port_index, baud, SerialDevicePath(store_, port_index + 1),
                              SerialHooks{&DefaultClock(), &ui_});
      });
  link_->SetDeviceConnector(libraries_.Device());
  panes_ = std::make_unique<PanesController>(settings_, *link_, progress_, ui_, view, temp_folder_);
  progress_.OnConnectionDropped([this] { panes_->ShowConnectionStatus(); });
}

void AppSession::Start(bool show_help) {
  LoadTransferSettings(store_, settings_, libraries_.DeviceConnectorAvailable(), program_folder_.string(), ui_);
  sound_.SetOn(settings_.sound_on);
  link_->SetSettings(LinkSettingsFrom(settings_, temp_folder_, start_folder_));
  if (show_help) link_->ShowNotConnectedHelp();
  if (!panes_->SetLocalFolder(settings_.last_folder) && !panes_->SetLocalFolder(start_folder_))
    panes_->SetLocalFolder(program_folder_);
  panes_->FillLocal();
  panes_->ShowMask(true);
  panes_->UpdateCounters();
}

bool AppSession::RunCommandLine(const CommandLineRequest& request) {
  switch (request.job) {
    case CommandLineJob::kNone:
      return false;
    case CommandLineJob::kBatch: {
      BatchRun batch(*panes_, exit_code_, request.silent);
      batch.Run(request.batch_file);
      return true;
    }
    case CommandLineJob::kFieldToFinish:
      RunFieldCodeUpload(*panes_);
      return true;
    case CommandLineJob::kGeoid:
      if (GeoidAreaDialogPort* dialog = panes_->GeoidDialog()) {
        MakeGeoidGrid(*panes_, *dialog);
      } else {
        ui_.ShowMessageBox(Tr("Geoid sub-grids are made in the program's window; without it, use geoidtool subgrid."));
      }
      return true;
  }
  return false;
}

void AppSession::SettingsChanged() {
  // The connector library reads the device folder from the store at each
  // connect, so it cannot wait for the end of the run.
  store_.SetValue(kDeviceFolderSetting, settings_.device_folder);
  sound_.SetOn(settings_.sound_on);
  link_->SetSettings(LinkSettingsFrom(settings_, temp_folder_, panes_->LocalFolder()));
}

ReportLibrary& AppSession::Reports() {
  if (!reports_) reports_ = std::make_unique<ReportLibrary>(ui_, program_folder_, DataFolder(), temp_folder_);
  return *reports_;
}

bool AppSession::RunGridImport(const std::filesystem::path& model, const std::filesystem::path& destination,
                               std::string& error) {
  // Only the helper loads GDAL; its reasons go to a log read back here.
  const std::filesystem::path helper = FindPrivateFile(program_folder_, "geoid-import");
  const std::filesystem::path log = temp_folder_ / "geoid-import.log";
  std::error_code ignored;
  std::filesystem::remove(log, ignored);
  ChildProcess import;
  const int status = import.Start({helper.string(), model.string(), destination.string()}, log)
                         ? import.Wait([this] { ui_.Pump(); })
                         : -1;
  if (status == 0) return true;
  std::string said;
  ReadWholeFile(log, said);
  error = std::string(Trim(said));
  if (error.empty()) error = StrPrintf(Tr("cannot run %s"), helper.string().c_str());
  return false;
}

GeoidCutPlaces AppSession::GeoidPlaces() {
  GeoidCutPlaces places;
  places.program_folder = program_folder_;
  places.temp_folder = temp_folder_;
  places.download = [this](const std::string& file_name, const std::filesystem::path& destination) {
    // EGM96 often lies on the system already, in PROJ's data.
    if (EqualsNoCase(file_name, "egm96.grd")) {
      const std::filesystem::path model = FindProjEgm96();
      if (!model.empty() &&
          ui_.AskYesNo(StrPrintf(Tr("The EGM96 grid file is not in the grid folder. Import it from %s?"),
                                 model.string().c_str()),
                       Tr("Geoid"), kQuestionIcon | kDefaultYes) == kAnswerYes) {
        std::string error;
        if (RunGridImport(model, destination, error)) return true;
        ui_.ShowMessageBox(error);
      }
    }
    const std::string url = GridFileUrl(settings_.grid_server, file_name);
    if (url.empty()) {
      ui_.ShowMessageBox(NoGridServerMessage());
      return false;
    }
    DownloadHooks hooks;
    hooks.show_message = [this](const std::string& text) { ui_.ShowMessageBox(text); };
    hooks.pump = [this] { ui_.Pump(); };
    return DownloadGridFile(url, destination, std::rand(), hooks);
  };
  return places;
}

void AppSession::Finish() {
  if (finished_) return;
  finished_ = true;
  // The docked device opens in the same folder next time.
  if (link_->Connected() && link_->Settings().use_activesync && libraries_.Device())
    settings_.activesync_folder = link_->RemoteFolder();
  link_->Close();
  RememberLastFolder(settings_, panes_->LocalFolder().string());
  SaveTransferSettings(store_, settings_);
}

}  // namespace pelikon
