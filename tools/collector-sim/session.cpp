#include "session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <vector>

#include "link/kermit/kermit.h"
#include "link/zmodem/zmodem.h"
#include "platform/atomic_file.h"
#include "platform/text.h"

namespace collector_sim {

namespace {

volatile sig_atomic_t g_running_program = 0;

constexpr int kLineBuffer = 239;
constexpr int kReadSliceMs = 1000;

int BaudOf(speed_t speed) {
  switch (speed) {
    case B4800:
      return 4800;
    case B9600:
      return 9600;
    case B19200:
      return 19200;
    case B38400:
      return 38400;
    case B57600:
      return 57600;
    case B115200:
      return 115200;
    default:
      return 0;
  }
}

}  // namespace

pid_t RunningProgram() {
  return static_cast<pid_t>(g_running_program);
}

Session::Session(pelikon::SerialPort& port, int line_descriptor, Store& store, Knobs knobs, std::FILE* log, int line_fd,
                 std::filesystem::path work)
    : port_(port),
      line_descriptor_(line_descriptor),
      store_(store),
      knobs_(std::move(knobs)),
      log_(log),
      line_fd_(line_fd),
      work_(std::move(work)) {}

void Session::Log(const char* direction, const std::string& text) {
  if (!log_) return;
  std::fprintf(log_, "%s %s\n", direction, text.c_str());
  std::fflush(log_);
}

int Session::LineSpeed() const {
  struct termios settings {};
  if (::tcgetattr(line_fd_, &settings) != 0) return 0;
  return BaudOf(::cfgetospeed(&settings));
}

int Session::ReadLine(std::string& line, int timeout_ms) {
  if (!knobs_.third_party) return port_.GetLine(line, kLineBuffer, pelikon::kTerminatorCrLf, timeout_ms);
  // Byte by byte: what follows the line belongs to the program that runs
  // next, which reads the line itself.
  line.clear();
  for (;;) {
    struct pollfd entry {
      line_descriptor_, POLLIN, 0
    };
    if (::poll(&entry, 1, timeout_ms) <= 0) return pelikon::kSerialNoData;
    char c;
    if (::read(line_descriptor_, &c, 1) != 1) return pelikon::kSerialSystemError;
    if (c == '\n' && !line.empty() && line.back() == '\r') {
      line.pop_back();
      return pelikon::kSerialOk;
    }
    if (line.size() < kLineBuffer - 1) line += c;
  }
}

bool Session::NextLine(std::string& line) {
  for (;;) {
    const int result = ReadLine(line, kReadSliceMs);
    // What a transfer leaves behind (a packet's end of line) is not part of
    // the next command.
    const size_t start = line.find_first_not_of("\r\n\x11\x13");
    line.erase(0, start == std::string::npos ? line.size() : start);
    if (result == pelikon::kSerialOk && !line.empty()) return true;
    if (result == pelikon::kSerialNoData || result == pelikon::kSerialOk) {
      if (result == pelikon::kSerialNoData && !line.empty()) return true;  // a line without its end, at a pause
      continue;
    }
    ::usleep(20000);  // the line is not usable just now
  }
}

void Session::Reply(const std::string& line) {
  Log(">", line);
  port_.PutLine(line, pelikon::kTerminatorCrLf, 2000);
}

int Session::RunOnLine(const std::vector<std::string>& argv, const std::filesystem::path& folder) {
  // The programs set the line up as they like; the PC's settings come back
  // afterwards.
  struct termios line_settings {};
  const bool saved = ::tcgetattr(line_fd_, &line_settings) == 0;
  // The programs expect a blocking line; the flags are shared with our port.
  const int flags = ::fcntl(line_descriptor_, F_GETFL);
  ::fcntl(line_descriptor_, F_SETFL, flags & ~O_NONBLOCK);
  const pid_t child = ::fork();
  if (child == 0) {
    ::dup2(line_descriptor_, 0);
    ::dup2(line_descriptor_, 1);
    const int quiet = ::open("/dev/null", O_WRONLY);
    if (quiet >= 0) ::dup2(quiet, 2);
    if (::chdir(folder.c_str()) != 0) ::_exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
  }
  int status = 0;
  if (child > 0) g_running_program = child;
  const bool waited = child > 0 && ::waitpid(child, &status, 0) == child;
  g_running_program = 0;
  ::fcntl(line_descriptor_, F_SETFL, flags);
  if (saved) ::tcsetattr(line_fd_, TCSANOW, &line_settings);
  if (!waited) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int Session::SendFile(const std::filesystem::path& file) {
  if (knobs_.third_party) {
    const std::string name = file.filename().string();
    const int status = kermit_
                           ? RunOnLine({"gkermit", "-i", "-q", "-P", "-S", "-e", "94", "-s", name}, file.parent_path())
                           : RunOnLine({"sz", "-b", "-q", name}, file.parent_path());
    Log("=", pelikon::StrPrintf("sent %s by %s: status %d", name.c_str(), kermit_ ? "gkermit" : "sz", status));
    return status == 0 ? 1 : -1;
  }
  pelikon::TransferMessageHook hook;
  if (knobs_.verbose) hook = [this](const std::string& text) { Log("=", text); };
  const int result = kermit_ ? pelikon::KermitSend(port_, {file.string()}, hook, nullptr, {})
                             : pelikon::ZmodemSend(port_, {file.string()}, hook, nullptr, {});
  Log("=", pelikon::StrPrintf("sent %s: %d", file.filename().c_str(), result));
  return result;
}

int Session::ReceiveFiles() {
  if (knobs_.third_party) {
    const int status =
        kermit_ ? RunOnLine({"gkermit", "-i", "-q", "-P", "-S", "-e", "94", "-w", "-r"}, store_.CurrentPath())
                : RunOnLine({"rz", "-b", "-y", "-q"}, store_.CurrentPath());
    Log("=", pelikon::StrPrintf("received by %s: status %d", kermit_ ? "gkermit" : "rz", status));
    return status == 0 ? 1 : -1;
  }
  pelikon::TransferMessageHook hook;
  if (knobs_.verbose) hook = [this](const std::string& text) { Log("=", text); };
  const std::filesystem::path folder = store_.CurrentPath();
  const int result = kermit_ ? pelikon::KermitReceive(port_, folder, hook, nullptr, {})
                             : pelikon::ZmodemReceive(port_, folder, hook, nullptr, {});
  Log("=", pelikon::StrPrintf("received: %d", result));
  return result;
}

void Session::Run() {
  std::string line;
  for (;;) {
    if (!NextLine(line)) continue;
    Log("<", line);
    const bool answers =
        !knobs_.silent && (knobs_.answer_only_at_baud == 0 || LineSpeed() == knobs_.answer_only_at_baud);
    if (!answers) continue;
    Handle(line);
  }
}

void Session::Handle(const std::string& command) {
  // Commands that take an argument line read it first.
  // An argument may be empty (an empty mask), so it is read as it comes.
  auto argument = [this]() {
    std::string value;
    ReadLine(value, 4 * kReadSliceMs);
    Log("<", value);
    return value;
  };
  auto ok = [this](bool done) { Reply(done ? "ACK" : "ERROR"); };
  std::error_code error;
  if (command == "HELLO") {
    Reply("ACK");
  } else if (command == "ARE YOU THERE?") {
    Reply("YES");
  } else if (command == "CWD") {
    Reply(store_.Current());
    Reply("ACK");
  } else if (command == "PWD") {
    if (knobs_.no_program_folder) {
      Reply("ERROR");
    } else {
      Reply("\\Ostrel");
      Reply("ACK");
    }
  } else if (command == "FREE DISK") {
    Reply(pelikon::StrPrintf("%.0f", store_.FreeBytes()));
    Reply("ACK");
  } else if (command == "CD") {
    ok(store_.ChangeDir(argument()));
  } else if (command == "HIDDEN") {
    show_hidden_ = argument() == "ON";
    Reply("ACK");
  } else if (command == "MASK") {
    mask_ = argument();
    Reply("ACK");
  } else if (command == "PROTOCAL") {
    kermit_ = argument() != "ZMODEM";
    Reply("ACK");
  } else if (command == "BAUD") {
    argument();
    Reply(knobs_.refuse_baud ? "ERROR" : "ACK");
  } else if (command == "DEL") {
    const auto path = store_.Resolve(argument());
    ok(!path.empty() && std::filesystem::is_regular_file(path, error) && std::filesystem::remove(path, error));
  } else if (command == "MKDIR") {
    const auto path = store_.Resolve(argument());
    ok(!path.empty() && std::filesystem::create_directory(path, error));
  } else if (command == "RMDIR") {
    const auto path = store_.Resolve(argument());
    ok(!path.empty() && std::filesystem::is_directory(path, error) && std::filesystem::remove(path, error));
  } else if (command == "RENAME") {
    const auto from = store_.Resolve(argument());
    const auto to = store_.Resolve(argument());
    if (knobs_.rename_reply != "ACK") {
      Reply(knobs_.rename_reply);
      return;
    }
    bool done = !from.empty() && !to.empty() && std::filesystem::exists(from, error);
    if (done) std::filesystem::rename(from, to, error);
    ok(done && !error);
  } else if (command == "CLRATTR") {
    store_.ClearArchive(argument());
    Reply("ACK");
  } else if (command == "LS") {
    const std::filesystem::path listing = work_ / "dir_zzz.txt";
    if (pelikon::WriteFileAtomically(listing, store_.Listing(mask_, show_hidden_))) return;
    SendFile(listing);
  } else if (command == "GET") {
    const auto path = store_.Resolve(argument());
    if (!path.empty() && std::filesystem::is_regular_file(path, error)) SendFile(path);
  } else if (command == "PUT") {
    ReceiveFiles();
  }
}

}  // namespace collector_sim
