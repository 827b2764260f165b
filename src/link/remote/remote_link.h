// The link to the data collector over a serial line: the line-based command
// dialogue with the collector's "Data Transfer" function (every command,
// argument and reply one CR LF line), its timing, and the error dialogs.
//
// All operations return 1 on success and 0 (or a negative code) on failure.
// The line time T is 500 ms, or the "port_delay" setting when larger; the
// collector's replies are compared exactly, case included.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "link/progress/transfer_progress.h"
#include "link/remote/device_connector.h"
#include "link/serial/serial_port.h"
#include "platform/ui.h"

namespace pelikon {

// What the link needs to know of the settings.
struct LinkSettings {
  int port_number = 1;  // COM n
  int baud = 38400;     // the configured speed
  std::string mask = "*.*";
  bool show_hidden = false;
  int engine = 1;  // 1 Kermit, anything else Zmodem
  int port_delay_ms = 500;
  bool archive_rw5 = true;             // keep an ".ov5" copy of each received ".rw5"
  bool overwrite_prompt = true;        // ask before replacing such a copy
  std::filesystem::path temp_folder;   // where the remote listing lands
  std::filesystem::path local_folder;  // the local pane's folder
  bool use_activesync = false;         // the docked-device carrier instead of the serial line
  std::string activesync_folder;       // "asyncdir": the device folder to open at connect
  std::string device_folder;           // "asyncroot": the mounted folder taken as the device; empty: the desktop's
};

// Opens COM(index + 1) at `baud`; real ports by default, fakes in tests.
using PortOpener = std::function<SerialPortHandle(int port_index, int baud)>;

class RemoteLink {
 public:
  RemoteLink(Ui& ui, TransferProgress& progress, LinkSettings settings, PortOpener opener);
  RemoteLink(const RemoteLink&) = delete;
  RemoteLink& operator=(const RemoteLink&) = delete;

  // The docked-device carrier's connector (owned elsewhere; may be null).
  // It is used when the settings choose that carrier.
  void SetDeviceConnector(DeviceConnector* connector) { connector_ = connector; }
  const LinkSettings& Settings() const { return settings_; }
  void SetSettings(const LinkSettings& settings) { settings_ = settings; }
  bool Connected() const { return connected_; }
  void SetConnected(bool connected) { connected_ = connected; }
  SerialPort* Port() const { return port_.get(); }
  const std::string& RemoteFolder() const { return remote_folder_; }
  // The collector program's own folder as the remote software reported it
  // when the link was opened; empty when it reported none (older software).
  const std::string& RemoteProgramFolder() const { return remote_program_folder_; }
  // The line time T in milliseconds.
  int LineTime() const;

  int Connect();
  void Close();
  int Hello();
  int AreYouThere();
  int ChangeDir(std::string_view path);
  int QueryDir(std::string& folder);
  int QueryHome(std::string& folder);
  int DeleteFile(std::string_view name);
  int MakeDir(std::string_view name);
  int RemoveDir(std::string_view name);
  int Rename(std::string_view old_name, std::string_view new_name);
  int FreeSpace(double& bytes);
  // Fetches the remote listing into "dir_zzz.txt" in the working folder.
  int ListRemote();
  // Receives remote file `name` into the local pane's folder, or into the
  // folder part of `name` when it has one (the bare name is asked for).
  // GetFile and PutFile show percentages against the total the caller
  // gave the progress (`TransferProgress::SetTotal`) beforehand.
  int GetFile(const std::string& name);
  // Sends local file `name` (in the local pane's folder unless it has a
  // folder part) into the remote folder.
  int PutFile(const std::string& name);
  int SetHidden(bool on);
  int SetMask(std::string_view mask);
  int SetProtocol(int engine);
  int SetBaud(int baud);

  // The dialog of a failed operation, then sound 1; returns 0. A run the
  // user cancelled is told as "Transfer cancelled", without a code.
  int ReportTransferError(int code);
  // The checklist shown in the remote pane while not connected: the docked
  // one while the docked-device carrier is in use, else the serial one.
  void ShowNotConnectedHelp();
  // The serial line's checklist.
  static std::string NotConnectedHelp();
  // The docked device's checklist, naming the folder looked at
  // (`device_folder`, or the desktop's media device when empty).
  static std::string DockedNotConnectedHelp(const std::string& device_folder);

 private:
  // One line out with time T (or 2T), one line in with time T (or 2T).
  bool Send(std::string_view line, int time_ms);
  bool Receive(std::string& line, int time_ms);
  void Flush();
  // "Command, pause, argument, ACK" with up to 3 attempts.
  int CommandWithArgument(std::string_view command, std::string_view argument);
  // "Command, answer line, ACK" with up to 3 attempts.
  int Query(std::string_view command, std::string& answer);
  bool OpenPort(int baud);
  // Runs the selected engine, receiving into `folder` or sending `file`.
  int Receive(const std::filesystem::path& folder);
  int SendFileByEngine(const std::filesystem::path& file);
  // The closing HELLO of every transfer: one reply, not checked.
  void Resynchronise();
  // Starts and ends the progress of one engine run.
  void BeginRun(TransferOperation operation);
  void EndRun();
  void WriteArchiveCopy(const std::filesystem::path& received);
  bool OnDevice() const { return connector_ && settings_.use_activesync; }
  // A device path for `name`: as it is when it starts with "", else in
  // the remote folder.
  std::string DevicePath(std::string_view name) const;
  int ConnectDevice();
  int GetFromDevice(const std::filesystem::path& folder, const std::string& bare);

  Ui& ui_;
  TransferProgress& progress_;
  LinkSettings settings_;
  PortOpener opener_;
  SerialPortHandle port_;
  DeviceConnector* connector_ = nullptr;
  bool connected_ = false;
  std::string remote_folder_;
  std::string remote_program_folder_;
};

}  // namespace pelikon
