#include "link/remote/remote_link.h"

#include <cstdlib>

#include "link/kermit/kermit.h"
#include "link/listing/dir_listing.h"
#include "link/progress/progress_scope.h"
#include "link/transfer/received_file.h"
#include "link/transfer/transfer_errors.h"
#include "link/zmodem/zmodem.h"
#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

constexpr int kLineBuffer = 239;
constexpr int kArgumentPauseMs = 50;
constexpr int kHelloAttempts = 5;
constexpr int kAttempts = 3;
constexpr int kRenameReplyPauseMs = 1500;
constexpr int kBaudRetryPauseMs = 1000;

const char* ActiveSyncErrorText(int code) {
  switch (code) {
    case kDeviceNoFiles:
      return N_("Found No Files");
    case kDeviceLocalCreate:
      return N_("Can't Create File on Local Machine");
    case kDeviceRemoteCreate:
      return N_("Can't Create File on Remote Machine");
    case kDeviceClearAttributes:
      return N_("Unable to Clear Attributes");
    case kDeviceListingWrite:
      return N_("Unable to write directory listing");
    case kDeviceInitFailed:
      return N_("Remote Device Initilization Failed");
    case kDeviceLocalRead:
      return N_("Unable to read local file");
    case kDeviceRemoteWrite:
      return N_("Unable to write remote file");
    case kDeviceRemoteRead:
      return N_("Unable to read remote file");
    case kDeviceLocalWrite:
      return N_("Unable to write local file");
    default:
      return nullptr;
  }
}

}  // namespace

RemoteLink::RemoteLink(Ui& ui, TransferProgress& progress, LinkSettings settings, PortOpener opener)
    : ui_(ui), progress_(progress), settings_(std::move(settings)), opener_(std::move(opener)) {
  // A cancelled listing leaves the link to be connected again.
  progress_.OnConnectionDropped([this] { connected_ = false; });
}

int RemoteLink::LineTime() const {
  return settings_.port_delay_ms > 500 ? settings_.port_delay_ms : 500;
}

bool RemoteLink::Send(std::string_view line, int time_ms) {
  return port_ && port_->PutLine(line, kTerminatorCrLf, time_ms) == kSerialOk;
}

bool RemoteLink::Receive(std::string& line, int time_ms) {
  return port_ && port_->GetLine(line, kLineBuffer, kTerminatorCrLf, time_ms) == kSerialOk;
}

void RemoteLink::Flush() {
  if (port_ && port_->RxEmpty() == 0) port_->FlushRx();
}

void RemoteLink::Close() {
  if (connected_ && OnDevice()) connector_->Disconnect();
  port_.reset();
  connected_ = false;
  remote_program_folder_.clear();
}

bool RemoteLink::OpenPort(int baud) {
  port_.reset();
  port_ = opener_(settings_.port_number - 1, baud);
  return port_ && port_->Status() == kSerialOk && !port_->IsDummy();
}

std::string RemoteLink::DevicePath(std::string_view name) const {
  if (!name.empty() && name[0] == '\\') return std::string(name);
  std::string path = remote_folder_;
  if (path.empty() || path.back() != '\\') path += '\\';
  return path + std::string(name);
}

int RemoteLink::ConnectDevice() {
  int result = connector_->Connect();
  if (result != 1) {
    ReportTransferError(result);
    return 0;
  }
  if (!connector_->IsConnected()) {
    result = connector_->Connect();
    if (result != 1) {
      ReportTransferError(result);
      return 0;
    }
    if (!connector_->IsConnected()) return 0;
  }
  connected_ = true;
  if (!settings_.activesync_folder.empty()) connector_->SetCurrentFolder(settings_.activesync_folder);
  connector_->SetMask(settings_.mask);
  connector_->GetCurrentFolder(remote_folder_);
  if (connector_->GetHomeFolder(remote_program_folder_) != 1) remote_program_folder_.clear();
  return 1;
}

int RemoteLink::Hello() {
  if (OnDevice()) return connector_->IsConnected() ? 1 : 0;
  if (ui_.ProgressOpen()) progress_.SetStatus(Tr("Connecting to remote system..."));
  const int t = LineTime();
  std::string reply;
  for (int attempt = 0; attempt < kHelloAttempts; ++attempt) {
    Flush();
    if (Send("HELLO", t) && Receive(reply, t) && reply == "ACK") return 1;
  }
  return 0;
}

int RemoteLink::Query(std::string_view command, std::string& answer) {
  const int t = LineTime();
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    Flush();
    if (!Send(command, t)) continue;
    std::string second;
    // An "ACK" where the answer should be means the answer went missing.
    if (!Receive(answer, 2 * t) || answer == "ACK") continue;
    if (Receive(second, t) && second == "ACK") return 1;
  }
  return 0;
}

int RemoteLink::CommandWithArgument(std::string_view command, std::string_view argument) {
  const int t = LineTime();
  std::string reply;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    Flush();
    if (!Send(command, t)) continue;
    port_->Delay(kArgumentPauseMs);
    if (Send(argument, 2 * t) && Receive(reply, t) && reply == "ACK") return 1;
  }
  return 0;
}

int RemoteLink::AreYouThere() {
  if (OnDevice()) return connector_->IsConnected() ? 1 : 0;
  const int t = LineTime();
  std::string reply;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    Flush();
    if (Send("ARE YOU THERE?", t) && Receive(reply, 2 * t) && reply == "YES") return 1;
  }
  return 0;
}

int RemoteLink::ChangeDir(std::string_view path) {
  if (!OnDevice()) return CommandWithArgument("CD", path);
  // "\A\B\.." is "\A": from "\.." on the path is dropped, and the last
  // folder with it.
  std::string folder(path);
  const size_t up = folder.find("\\..");
  if (up != std::string::npos) {
    folder.erase(up);
    const size_t last = folder.rfind('\\');
    folder.erase(last == std::string::npos ? 0 : last);
  }
  if (folder.empty()) folder = "\\";
  // A folder the device refuses is not taken as the current one.
  if (connector_->SetCurrentFolder(folder) != 1) return 0;
  remote_folder_ = folder;
  return 1;
}

int RemoteLink::QueryDir(std::string& folder) {
  if (OnDevice()) return connector_->GetCurrentFolder(folder) == 1 ? 1 : 0;
  return Query("CWD", folder);
}

int RemoteLink::QueryHome(std::string& folder) {
  if (OnDevice()) return connector_->GetHomeFolder(folder) == 1 ? 1 : 0;
  return Query("PWD", folder);
}

int RemoteLink::DeleteFile(std::string_view name) {
  if (OnDevice()) return connector_->DeleteFile(DevicePath(name)) ? 1 : 0;
  return CommandWithArgument("DEL", name);
}

int RemoteLink::MakeDir(std::string_view name) {
  if (OnDevice()) return connector_->MakeFolder(DevicePath(name)) ? 1 : 0;
  return CommandWithArgument("MKDIR", name);
}

int RemoteLink::RemoveDir(std::string_view name) {
  if (OnDevice()) return connector_->RemoveFolder(DevicePath(name)) ? 1 : 0;
  return CommandWithArgument("RMDIR", name);
}
int RemoteLink::SetHidden(bool on) {
  return CommandWithArgument("HIDDEN", on ? "ON" : "OFF");
}
int RemoteLink::SetMask(std::string_view mask) {
  if (OnDevice()) return connector_->SetMask(std::string(mask)) == 1 ? 1 : 0;
  return CommandWithArgument("MASK", mask);
}
int RemoteLink::SetProtocol(int engine) {
  return CommandWithArgument("PROTOCAL", engine == 1 ? "KERMIT" : "ZMODEM");
}

int RemoteLink::FreeSpace(double& bytes) {
  std::string answer;
  if (OnDevice() ? connector_->FreeSpace(answer) != 1 : !Query("FREE DISK", answer)) return 0;
  bytes = std::strtod(answer.c_str(), nullptr);
  return 1;
}

int RemoteLink::Rename(std::string_view old_name, std::string_view new_name) {
  if (OnDevice()) {
    const std::string from(old_name), to(new_name);
    int result = connector_->Rename(from, to, settings_.overwrite_prompt);
    if (result == kDeviceTargetExists && settings_.overwrite_prompt) {
      const std::string question = std::string(Tr("OK to overwrite ")) + to + Tr(" ?");
      if (ui_.AskYesNo(question, Tr("Overwrite File"), kQuestionIcon) != kAnswerYes) return 1;
      result = connector_->Rename(from, to, false);
    }
    return result == 1 ? 1 : 0;
  }
  if (!port_) return 0;
  const int t = LineTime();
  std::string reply;
  const bool sent = Send("RENAME", t) && (port_->Delay(kArgumentPauseMs), Send(old_name, 2 * t)) &&
                    (port_->Delay(kArgumentPauseMs), Send(new_name, 2 * t));
  bool answered = false;
  if (sent) {
    port_->Delay(kRenameReplyPauseMs);
    answered = Receive(reply, t);
  }
  if (answered && reply == "ACK") return 1;
  if (answered && reply == "ERROR") return 0;
  ui_.ShowMessageBox(Tr("The remote computer does not support this function"));
  return 0;
}

int RemoteLink::SetBaud(int baud) {
  if (!port_) return 0;
  const int t = LineTime();
  const std::string speed = StrPrintf("%ld", static_cast<long>(baud));
  auto exchange = [&] {
    std::string reply;
    Send("BAUD", t);
    port_->Delay(kArgumentPauseMs);
    Send(speed, 2 * t);
    const bool got = Receive(reply, t);
    return got && port_->Status() == kSerialOk && reply == "ACK";
  };
  if (exchange()) return 1;
  const bool second = exchange();
  port_->Delay(kBaudRetryPauseMs);
  return second ? 1 : 0;
}

int RemoteLink::Connect() {
  const int port_number = settings_.port_number;
  Close();
  if (OnDevice()) return ConnectDevice();
  if (!OpenPort(9600)) {
    if (port_ && !port_->IsDummy())
      ui_.ShowMessageBox(StrPrintf(Tr("Failed to open COM%d error code %d"), port_number, port_->Status()));
    else
      ui_.ShowMessageBox(StrPrintf(Tr("Failed to open COM%d"), port_number));
    port_.reset();
    return 0;
  }
  bool at_configured_speed = settings_.baud == 9600;
  if (!Hello()) {
    port_.reset();
    if (settings_.baud == 9600) return 0;
    if (!OpenPort(settings_.baud)) {
      ui_.ShowMessageBox(StrPrintf(Tr("Failed to open COM%d"), port_number));
      port_.reset();
      return 0;
    }
    if (!Hello()) {
      port_.reset();
      return 0;
    }
    at_configured_speed = true;
  }
  connected_ = true;
  SetHidden(settings_.show_hidden);
  SetMask(settings_.mask);
  SetProtocol(settings_.engine);
  QueryDir(remote_folder_);
  if (!QueryHome(remote_program_folder_)) remote_program_folder_.clear();
  if (ui_.ProgressOpen()) progress_.SetStatus(Tr("Sending communication options..."));
  if (at_configured_speed) return 1;
  if (!SetBaud(settings_.baud)) return 1;  // stays at 9600, connected
  if (!OpenPort(settings_.baud)) {
    ui_.ShowMessageBox(StrPrintf(Tr("Failed to open COM%d"), port_number));
    Close();
    return 0;
  }
  if (!Hello()) {
    Close();
    return 0;
  }
  connected_ = true;
  return 1;
}

void RemoteLink::BeginRun(TransferOperation operation) {
  // A file's size was given by the caller; a listing's is never known.
  if (operation == TransferOperation::kListing) progress_.SetTotal(0);
  progress_.SetOperation(operation);
  progress_.SetTransferRunning(true);
}

void RemoteLink::EndRun() {
  progress_.SetTransferRunning(false);
}

void RemoteLink::Resynchronise() {
  std::string reply;
  Send("HELLO", LineTime());
  Receive(reply, LineTime());
}

int RemoteLink::Receive(const std::filesystem::path& folder) {
  // Every run carries one start option: the abort key, Escape.
  const std::vector<int> options = {1007, 27};
  if (settings_.engine == 1)
    return KermitReceive(*port_, folder, progress_.MessageHook(), progress_.StatusCallback(), options);
  return ZmodemReceive(*port_, folder, progress_.MessageHook(), progress_.StatusCallback(), options);
}

int RemoteLink::SendFileByEngine(const std::filesystem::path& file) {
  const std::vector<int> options = {1007, 27};
  if (settings_.engine == 1)
    return KermitSend(*port_, {file.string()}, progress_.MessageHook(), progress_.StatusCallback(), options);
  return ZmodemSend(*port_, {file.string()}, progress_.MessageHook(), progress_.StatusCallback(), options);
}

int RemoteLink::ListRemote() {
  const ProgressScope shown(progress_);
  if (OnDevice()) {
    const int result = connector_->WriteListing(remote_folder_, settings_.show_hidden, settings_.temp_folder.string());
    if (result == 1) return 1;
    ReportTransferError(result);
    return 0;
  }
  if (!port_ || !AreYouThere()) return 0;
  const std::string status = Tr("Retrieving directory listing...");
  progress_.SetStatus(status);
  Send("LS", LineTime());
  BeginRun(TransferOperation::kListing);
  const int result = Receive(settings_.temp_folder);
  Resynchronise();
  EndRun();
  if (result == 1) return 1;
  ReportTransferError(result);
  return 0;
}

int RemoteLink::GetFromDevice(const std::filesystem::path& folder, const std::string& bare) {
  const std::filesystem::path local = folder / bare;
  const std::string remote = DevicePath(bare);
  const int result = connector_->GetFile(remote, local.string());
  if (result != 1) {
    if (result != 0) ReportTransferError(result);
    return 0;
  }
  if (settings_.archive_rw5) WriteArchiveCopy(local);
  // The copy arrived whole and stays; a device file that keeps its "new"
  // mark is told, and will simply be offered again.
  if (!connector_->SetAttributes(remote, 128)) {
    ReportTransferError(kDeviceClearAttributes);
    return 0;
  }
  return 1;
}

int RemoteLink::GetFile(const std::string& name) {
  const ProgressScope shown(progress_);
  if (OnDevice() ? !AreYouThere() : (!port_ || !AreYouThere())) return 0;
  const std::filesystem::path path(name);
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : settings_.local_folder;
  const std::string bare = path.filename().string();
  // The name comes from the collector's listing: it may only ever name a
  // file inside the target folder.
  if (SafeReceivedName(bare) != bare) {
    ui_.ShowMessageBox(StrPrintf(Tr("\"%s\" is not a plain file name; it was not received."), bare.c_str()));
    return 0;
  }
  progress_.SetSubject(StrPrintf(Tr("Receiving %s"), bare.c_str()));
  if (OnDevice()) return GetFromDevice(folder, bare);
  const int t = LineTime();
  Send("GET", t);
  port_->Delay(kArgumentPauseMs);
  Send(bare, t);
  BeginRun(TransferOperation::kGet);
  const int result = Receive(folder);
  Resynchronise();
  if (result == 1) {
    std::string reply;
    Send("CLRATTR", t);
    port_->Delay(kArgumentPauseMs);
    Send(bare, t);
    Receive(reply, t);
  }
  EndRun();
  if (result != 1) {
    ReportTransferError(result);
    return 0;
  }
  if (settings_.archive_rw5) WriteArchiveCopy(folder / bare);
  return 1;
}

void RemoteLink::WriteArchiveCopy(const std::filesystem::path& received) {
  const std::string name = received.filename().string();
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || !EqualsNoCase(std::string_view(name).substr(dot + 1), "rw5")) return;
  std::filesystem::path copy = received;
  copy.replace_extension(".ov5");
  std::error_code error;
  if (std::filesystem::exists(copy, error) && settings_.overwrite_prompt) {
    const std::string question = std::string(Tr("Archive copy of ")) + name + Tr(" already exists, OK to overwrite ?");
    if (ui_.AskYesNo(question, Tr("Overwrite Archive"), kQuestionIcon) != kAnswerYes) return;
  }
  std::string content;
  if (!ReadWholeFile(received, content) || WriteFileAtomically(copy, content))
    progress_.ShowMessage(Tr("Archive Error"), Tr("Failed to write archive copy."));
}

int RemoteLink::PutFile(const std::string& name) {
  const ProgressScope shown(progress_);
  if (OnDevice() ? !AreYouThere() : (!port_ || !AreYouThere())) return 0;
  const std::filesystem::path path(name);
  const std::filesystem::path file = path.has_parent_path() ? path : settings_.local_folder / path;
  progress_.SetSubject(StrPrintf(Tr("Sending %s"), file.filename().string().c_str()));
  if (OnDevice()) {
    const int result = connector_->PutFile(file.string(), DevicePath(file.filename().string()));
    if (result == 1) return 1;
    ReportTransferError(result);
    return 0;
  }
  // The chosen file is sent as that one file: one that is gone fails here,
  // before its name could be taken for a pattern matching its neighbours.
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) {
    EndRun();
    ReportTransferError(kXferOpenFile);
    return 0;
  }
  Send("PUT", LineTime());
  BeginRun(TransferOperation::kPut);
  const int result = SendFileByEngine(file);
  Resynchronise();
  EndRun();
  if (result == 1) return 1;
  ReportTransferError(result);
  return 0;
}

int RemoteLink::ReportTransferError(int code) {
  if (code == kXferUserAbort && progress_.StoppedByUser()) {
    // The user asked for it: not a failure.
    progress_.ShowMessage(Tr("File Transfer"), Tr("Transfer cancelled"));
    return 0;
  }
  const bool device = OnDevice();
  const std::string caption =
      device ? Tr("ActiveSync failed") : StrPrintf(Tr("%s failed"), settings_.engine == 1 ? "Kermit" : "Zmodem");
  const char* text = device ? ActiveSyncErrorText(code) : TransferErrorText(code);
  if (!text && !device) text = ActiveSyncErrorText(code);
  std::string message;
  if (text)
    message = StrPrintf(Tr("Error in file transfer %d: %s"), code, Tr(text));
  else if (device)
    message = connector_->ErrorText(code);
  else
    message = StrPrintf(Tr("Error in file transfer %d"), code);
  progress_.ShowMessage(caption, message);
  return 0;
}

namespace {

constexpr const char* kNotConnectedHeading = N_("Remote data collector not connected or not active!\n\n\n");
constexpr const char* kCheckItems = N_("Check each of the following items:\n");

}  // namespace

std::string RemoteLink::NotConnectedHelp() {
  std::string text = Tr(kNotConnectedHeading);
  for (const char* line :
       {kCheckItems, N_("1. Is a supplied NULL MODEM cable being used\n   and is it properly connected?\n"),
        N_("2. Is the COM port setting on PC correct?\n"), N_("3. Is the remote system ON and software is running?\n"),
        N_("4. Has the 'Data Transfer' function under the File menu\n"), N_("   been started on the remote system,\n"),
        N_("   and is 'Awaiting Connection' displayed?\n"),
        N_("5. Is the COM port setting on the remote system correct?")})
    text += Tr(line);
  return text;
}

std::string RemoteLink::DockedNotConnectedHelp(const std::string& device_folder) {
  std::string text = Tr(kNotConnectedHeading);
  text += Tr(kCheckItems);
  text += Tr("1. Is the data collector docked and switched on?\n");
  text += Tr("2. Is it mounted as a folder (media device or USB drive)?\n");
  const std::string folder =
      device_folder.empty() ? std::string(Tr("the media device under $XDG_RUNTIME_DIR/gvfs")) : device_folder;
  text += StrPrintf(Tr("3. Device folder: %s\n"), folder.c_str());
  return text;
}

void RemoteLink::ShowNotConnectedHelp() {
  ui_.ShowNotConnectedHelp(OnDevice() ? DockedNotConnectedHelp(settings_.device_folder) : NotConnectedHelp());
}

}  // namespace pelikon
