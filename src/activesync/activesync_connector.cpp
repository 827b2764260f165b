#include "activesync/activesync_connector.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "activesync/activesync_connect.h"
#include "activesync/folder_device_store.h"
#include "platform/listing_line.h"
#include "platform/text.h"

namespace pelikon::activesync {

namespace {

// The table's codes.
constexpr int kTargetExists = -500;
constexpr int kLocalCreate = -502;
constexpr int kRemoteCreate = -503;
constexpr int kListingWrite = -505;
constexpr int kInitFailed = -506;
constexpr int kNoDevice = -507;
constexpr int kLocalRead = -508;
constexpr int kRemoteWrite = -509;
constexpr int kRemoteRead = -510;
constexpr int kLocalWrite = -511;

// Listing modes.
constexpr int kFoldersOnly = 1;
constexpr int kFilesOnly = 2;

// Copies move this much per read; large enough that the copy runs at the
// speed of the disks rather than of the calls.
constexpr size_t kCopyChunk = 1 << 20;

constexpr int64_t kNanosecondsPerSecond = 1000000000;

// Out buffers hold ACTIVESYNC_PATH_CHARS bytes with the terminating zero.
void CopyOut(const std::string& text, char* out) {
  const size_t length = std::min(text.size(), static_cast<size_t>(ACTIVESYNC_PATH_CHARS - 1));
  std::memcpy(out, text.data(), length);
  out[length] = '\0';
}

int64_t Nanoseconds(const struct timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * kNanosecondsPerSecond + time.tv_nsec;
}

std::time_t Seconds(int64_t nanoseconds) {
  return static_cast<std::time_t>(nanoseconds / kNanosecondsPerSecond -
                                  (nanoseconds % kNanosecondsPerSecond < 0 ? 1 : 0));
}

// A stable short name for the records of one device root.
std::string StateFileName(const std::filesystem::path& root) {
  uint64_t hash = 1469598103934665603ULL;
  for (const char c : root.string()) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  return StrPrintf("device-%016llx.state", static_cast<unsigned long long>(hash));
}

// A PC file open for reading, closed on every path.
class LocalFile {
 public:
  explicit LocalFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~LocalFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  LocalFile(const LocalFile&) = delete;
  LocalFile& operator=(const LocalFile&) = delete;
  bool IsOpen() const { return fd_ >= 0; }
  int fd() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

ActiveSyncConnector::ActiveSyncConnector(std::function<ConnectorPlaces()> places, std::chrono::milliseconds patience)
    : places_(std::move(places)), patience_(patience) {}

int ActiveSyncConnector::Failed(int code, DeviceError error, int system_error) {
  last_device_error_ = error;
  last_system_error_ = system_error;
  return code;
}

int ActiveSyncConnector::Succeeded(DeviceError error) {
  if (error == DeviceError::kNone) return 1;
  last_device_error_ = error;
  return 0;
}

int ActiveSyncConnector::Connect() {
  store_.reset();
  const ConnectorPlaces places = places_();
  const LocatedDevice device = LocateDevice(places.configured_root, places.gvfs_folder, patience_);
  last_described_ = device.described;
  if (device.result != LocateResult::kFound) {
    last_connect_result_ = device.result == LocateResult::kUnreadable ? kInitFailed : kNoDevice;
    return Failed(last_connect_result_, DeviceError::kNotFound);
  }
  std::error_code error;
  std::filesystem::path root = std::filesystem::canonical(device.root, error);
  if (error) root = device.root;
  store_ = std::make_unique<FolderDeviceStore>(root, places.state_folder / StateFileName(root));
  last_connect_result_ = 1;
  return 1;
}

void ActiveSyncConnector::Disconnect() {
  store_.reset();
}

int ActiveSyncConnector::IsConnected() {
  StoreInformation info;
  return store_ && store_->StillThere() && store_->Information(info) == DeviceError::kNone ? 1 : 0;
}

int ActiveSyncConnector::GetCurrentFolder(char* out) const {
  std::string folder = current_folder_;
  if (folder.empty() || folder.back() != '\\') folder.push_back('\\');
  CopyOut(folder, out);
  return 1;
}

int ActiveSyncConnector::SetCurrentFolder(const std::string& path) {
  const std::string folder = Resolved(path);
  // The folder must fit the interface's buffers with its closing "\".
  if (!store_ || folder.size() + 1 >= ACTIVESYNC_PATH_CHARS) return 0;
  uint32_t attributes = 0;
  const DeviceError error = store_->GetAttributes(folder, attributes);
  if (error != DeviceError::kNone || (attributes & kDeviceFolder) == 0)
    return Failed(0, error == DeviceError::kNone ? DeviceError::kNotFound : error);
  current_folder_ = folder;
  return 1;
}

int ActiveSyncConnector::GetHomeFolder(char* out) const {
  CopyOut("\\", out);
  return 1;
}

int ActiveSyncConnector::SetMask(const std::string& mask) {
  if (mask.size() >= 240) return 0;
  mask_ = mask;
  return 1;
}

int ActiveSyncConnector::FreeSpace(char* out) {
  StoreInformation info;
  if (!store_) return 0;
  const DeviceError error = store_->Information(info);
  if (error != DeviceError::kNone) return Failed(0, error);
  CopyOut(StrPrintf("%.0f", static_cast<double>(info.free)), out);
  return 1;
}

std::string ActiveSyncConnector::Resolved(const std::string& name) const {
  if (!name.empty() && name[0] == '\\') return name;
  std::string path = current_folder_;
  if (path.empty() || path.back() != '\\') path.push_back('\\');
  return path.append(name);
}

int ActiveSyncConnector::ListPattern(std::string& out, const std::string& folder, const std::string& pattern, int mode,
                                     bool show_hidden) {
  std::vector<DeviceEntry> entries;
  const DeviceError error = store_ ? store_->FindFiles(folder, pattern, entries) : DeviceError::kNotFound;
  if (error != DeviceError::kNone) return Failed(kTargetExists, error);
  for (const DeviceEntry& entry : entries) {
    if (!show_hidden && (entry.attributes & (kDeviceHidden | kDeviceSystem)) != 0) continue;
    if (!ListableName(entry.name)) continue;
    const bool is_folder = (entry.attributes & kDeviceFolder) != 0;
    if (is_folder ? mode == kFilesOnly : mode == kFoldersOnly) continue;
    if (is_folder)
      AppendListingFolderLine(out, entry.name, Seconds(entry.written));
    else
      AppendListingFileLine(out, entry.name, entry.size, Seconds(entry.written), entry.attributes);
  }
  return 1;
}

int ActiveSyncConnector::WriteListing(const std::string& folder, bool show_hidden,
                                      const std::filesystem::path& listing_file) {
  std::FILE* file = std::fopen(listing_file.c_str(), "wb");
  if (!file) return Failed(kListingWrite, DeviceError::kNone, errno);
  std::string text;
  if (folder.size() > 1) text.append(kListingParentLine);
  int result = 1;
  if (mask_ != "*.*") {
    result = ListPattern(text, folder, mask_, kFilesOnly, show_hidden);
    if (result == 1) result = ListPattern(text, folder, "*.*", kFoldersOnly, show_hidden);
  } else {
    result = ListPattern(text, folder, mask_, 4, show_hidden);
  }
  const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  const int system_error = errno;
  if (std::fclose(file) != 0 || !written) return Failed(kListingWrite, DeviceError::kNone, system_error);
  return result;
}

void ActiveSyncConnector::ErrorText(char* out) const {
  std::string text = StrPrintf("Error = %x %x (%x)", static_cast<unsigned>(last_device_error_),
                               static_cast<unsigned>(last_connect_result_), static_cast<unsigned>(last_system_error_));
  // What connect looked at, when it could not reach the device.
  if (last_connect_result_ != 1 && !last_described_.empty()) text.append("\n").append(last_described_);
  CopyOut(text, out);
}

int ActiveSyncConnector::GetFile(const std::string& remote_path, const std::string& local_path) {
  // The PC copy goes through the same twin as a device file: a store over
  // the destination folder.
  const std::filesystem::path local(local_path);
  std::filesystem::path local_folder = local.parent_path();
  if (local_folder.empty()) local_folder = ".";
  FolderDeviceStore pc(local_folder, {});
  std::string pc_name(1, '\\');
  pc_name.append(local.filename().string());
  std::unique_ptr<DeviceWriter> writer;
  DeviceError error = pc.CreateForWriting(pc_name, writer);
  if (error != DeviceError::kNone) return Failed(kLocalCreate, error, errno);
  std::unique_ptr<DeviceReader> reader;
  error = store_ ? store_->OpenForReading(Resolved(remote_path), reader) : DeviceError::kNotFound;
  if (error != DeviceError::kNone) return Failed(kRemoteCreate, error);

  std::vector<char> buffer(kCopyChunk);
  for (;;) {
    size_t got = 0;
    error = reader->Read(buffer.data(), buffer.size(), got);
    if (error != DeviceError::kNone) return Failed(kRemoteRead, error, errno);
    if (got == 0) break;
    size_t written = 0;
    error = writer->Write(buffer.data(), got, written);
    if (error != DeviceError::kNone || written != got) return Failed(kLocalWrite, error, errno);
  }
  DeviceFileTimes times;
  error = reader->Times(times);
  if (error == DeviceError::kNone) error = writer->SetTimes(times);
  if (error != DeviceError::kNone) return Failed(kRemoteRead, error, errno);
  error = writer->Commit();
  if (error != DeviceError::kNone) return Failed(kLocalWrite, error, errno);
  return 1;
}

int ActiveSyncConnector::PutFile(const std::string& local_path, const std::string& remote_path) {
  const LocalFile local(local_path);
  struct stat st;
  if (!local.IsOpen() || ::fstat(local.fd(), &st) != 0 || S_ISDIR(st.st_mode))
    return Failed(kLocalCreate, DeviceError::kNone, errno);
  std::unique_ptr<DeviceWriter> writer;
  DeviceError error = store_ ? store_->CreateForWriting(Resolved(remote_path), writer) : DeviceError::kNotFound;
  if (error != DeviceError::kNone) return Failed(kRemoteCreate, error);

  std::vector<char> buffer(kCopyChunk);
  for (;;) {
    const ssize_t got = ::read(local.fd(), buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return Failed(kLocalRead, DeviceError::kNone, errno);
    if (got == 0) break;
    size_t written = 0;
    error = writer->Write(buffer.data(), static_cast<size_t>(got), written);
    if (error != DeviceError::kNone || written != static_cast<size_t>(got)) return Failed(kRemoteWrite, error, errno);
  }
  if (::fstat(local.fd(), &st) != 0) return Failed(kLocalRead, DeviceError::kNone, errno);
  error = writer->SetTimes({Nanoseconds(st.st_mtim), Nanoseconds(st.st_atim), Nanoseconds(st.st_mtim)});
  if (error == DeviceError::kNone) error = writer->Commit();
  if (error != DeviceError::kNone) return Failed(kRemoteWrite, error, errno);
  return 1;
}

int ActiveSyncConnector::DeleteFile(const std::string& name) {
  return store_ ? Succeeded(store_->Delete(Resolved(name))) : 0;
}

int ActiveSyncConnector::RemoveFolder(const std::string& name) {
  return store_ ? Succeeded(store_->RemoveFolder(Resolved(name))) : 0;
}

int ActiveSyncConnector::MakeFolder(const std::string& name) {
  return store_ ? Succeeded(store_->CreateFolder(Resolved(name))) : 0;
}

int ActiveSyncConnector::Rename(const std::string& old_name, const std::string& new_name, bool fail_if_exists) {
  if (!store_) return 0;
  // Both names are in the current folder.
  const DeviceError error = store_->Rename(Resolved(old_name), Resolved(new_name), fail_if_exists);
  if (error == DeviceError::kExists && fail_if_exists) return Failed(kTargetExists, error);
  return Succeeded(error);
}

int ActiveSyncConnector::SetAttributes(const std::string& path, uint32_t attributes) {
  return store_ ? Succeeded(store_->SetAttributes(Resolved(path), attributes)) : 0;
}

}  // namespace pelikon::activesync
