// Tools that run for a while, as processes: two xfers moving a file through
// a pair of pipes, and the collector simulator's life beside the program
// that started it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "support/temp_dir.h"
#include "tools/tool_run.h"

namespace pelikon {
namespace {

using testing::ShellWord;
using testing::TempDir;

std::string Content(const std::filesystem::path& file) {
  std::string text;
  ReadWholeFile(file, text);
  return text;
}

class XferPair : public ::testing::Test {
 protected:
  // Sends `file` from one xfer to another receiving into `folder_` with
  // `receive_options`; the receiver's exit status (its messages in `err`).
  int Transfer(const std::string& protocol, const std::filesystem::path& file, const std::string& receive_options,
               std::string& err) {
    const std::string xfer = ShellWord(std::string(PELIKON_BIN_DIR) + "/xfer");
    const std::string to_receiver = ShellWord((work_ / "to-receiver").string());
    const std::string to_sender = ShellWord((work_ / "to-sender").string());
    std::filesystem::remove(work_ / "to-receiver");
    std::filesystem::remove(work_ / "to-sender");
    // The sender opens its input both ways and the receiver its output, so
    // neither waits for the other to open a pipe first.
    const std::string script =
        "mkfifo " + to_receiver + " " + to_sender + " && (timeout 60 " + xfer + " send --protocol " + protocol + " " +
        ShellWord(file.string()) + " 0<>" + to_sender + " >" + to_receiver + " 2>/dev/null &) && timeout 60 " + xfer +
        " receive --protocol " + protocol + " --dir " + ShellWord(folder_.Path().string()) + " " + receive_options +
        " <" + to_receiver + " 1<>" + to_sender + " 2>" + ShellWord((work_ / "err.txt").string());
    const int raw = std::system(("sh -c " + ShellWord(script)).c_str());
    err = Content(work_ / "err.txt");
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }
  TempDir work_;
  TempDir source_;
  TempDir folder_;
};

// Like rz: a file that is there stays unless --overwrite is given.
TEST_F(XferPair, ReceivingKeepsAnExistingFileUnlessToldToReplaceIt) {
  const auto file = source_.Write("JOB1.CRD", std::string(5000, 'n') + "new");
  for (const std::string protocol : {"zmodem", "kermit"}) {
    SCOPED_TRACE(protocol);
    folder_.Write("JOB1.CRD", "the surveyor's own");
    std::string err;
    EXPECT_EQ(Transfer(protocol, file, "", err), 1);
    EXPECT_EQ(err,
              "xfer: JOB1.CRD exists already in " + folder_.Path().string() + ": kept it (--overwrite replaces it)\n");
    EXPECT_EQ(Content(folder_ / "JOB1.CRD"), "the surveyor's own");

    EXPECT_EQ(Transfer(protocol, file, "--overwrite", err), 0) << err;
    EXPECT_EQ(Content(folder_ / "JOB1.CRD"), Content(file));

    std::filesystem::remove(folder_ / "JOB1.CRD");
    EXPECT_EQ(Transfer(protocol, file, "", err), 0) << err;
    EXPECT_EQ(Content(folder_ / "JOB1.CRD"), Content(file));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
      names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"JOB1.CRD"}) << "nothing of the receiving is left behind";
  }
}

// The demo starts the simulator with its own process id; however the demo
// ends, the simulator ends too and takes its link along. A link to a
// terminal left by an earlier run is replaced.
TEST(CollectorSim, EndsWithTheProcessThatStartedIt) {
  TempDir dir;
  const std::filesystem::path link = dir / "collector-line";
  std::filesystem::create_symlink("/dev/pts/999999", link);  // an earlier run's
  const std::string simulator = std::string(PELIKON_BIN_DIR) + "/collector-sim";
  const pid_t starter = ::fork();
  ASSERT_GE(starter, 0);
  if (starter == 0) {
    // The stand-in for the demo: starts the simulator, then waits to be killed.
    const std::string parent = std::to_string(::getpid());
    const pid_t child = ::fork();
    if (child == 0) {
      const int quiet = ::open("/dev/null", O_RDWR);
      ::dup2(quiet, 0);
      ::dup2(quiet, 1);
      ::execl(simulator.c_str(), simulator.c_str(), "--root", dir.Path().c_str(), "--link", link.c_str(), "--parent",
              parent.c_str(), static_cast<char*>(nullptr));
      ::_exit(127);
    }
    for (;;) ::pause();
  }
  auto target = [&] {
    std::error_code error;
    return std::filesystem::read_symlink(link, error).string();
  };
  auto wait_for = [](const std::function<bool()>& done) {
    for (int i = 0; i < 1000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return done();
  };
  const bool started = wait_for([&] { return target() != "/dev/pts/999999"; });
  EXPECT_TRUE(started) << "the old link was replaced by one to the new terminal";
  EXPECT_EQ(target().rfind("/dev/pts/", 0), 0u) << target();

  ::kill(starter, SIGKILL);
  ::waitpid(starter, nullptr, 0);
  EXPECT_TRUE(wait_for([&] { return !std::filesystem::is_symlink(link); })) << "the simulator ended with its starter";
}

}  // namespace
}  // namespace pelikon
