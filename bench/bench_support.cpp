#include "bench_support.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace pelikon::bench {

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Die(const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, what.c_str());
  std::exit(1);
}

double TimeCommand(const std::vector<std::string>& command, const std::filesystem::path& output, long* peak_kib) {
  std::vector<char*> arguments;
  for (const std::string& argument : command) arguments.push_back(const_cast<char*>(argument.c_str()));
  arguments.push_back(nullptr);
  const auto start = Clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    const int out = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (out < 0) ::_exit(126);
    ::dup2(out, 1);
    ::setenv("LC_ALL", "C", 1);
    ::execvp(arguments[0], arguments.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  ::wait4(child, &status, 0, &usage);
  if (peak_kib) *peak_kib = usage.ru_maxrss;
  if (child < 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "bench: %s failed\n", command[0].c_str());
    std::exit(1);
  }
  return Seconds(start);
}

double TimeLs(const std::filesystem::path& folder, const std::filesystem::path& output) {
  return TimeCommand({"ls", "-l", folder.string()}, output);
}

double TimeCp(const std::filesystem::path& from, const std::filesystem::path& to) {
  return TimeCommand({"cp", from.string(), to.string()});
}

void CopyFresh(const std::filesystem::path& from, const std::filesystem::path& to) {
  std::error_code error;
  std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing, error);
  if (error) {
    std::fprintf(stderr, "bench: cannot copy %s: %s\n", from.c_str(), error.message().c_str());
    std::exit(1);
  }
}

void MakeFiles(const std::filesystem::path& folder, int count) {
  std::filesystem::create_directories(folder);
  char name[32];
  for (int i = 0; i < count; ++i) {
    std::snprintf(name, sizeof name, "file%06d.dat", i);
    const int fd = ::open((folder / name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
      std::perror("bench: create");
      std::exit(1);
    }
    if (i % 7 != 0 && ::write(fd, name, static_cast<size_t>(i % 23)) < 0) std::perror("bench: write");
    ::close(fd);
  }
}

}  // namespace pelikon::bench
