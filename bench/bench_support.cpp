#include "bench_support.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

double TimeLs(const std::filesystem::path& folder) {
  const auto start = Clock::now();
  const pid_t child = ::fork();
  if (child == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::setenv("LC_ALL", "C", 1);
    ::execlp("ls", "ls", "-l", folder.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "ls failed\n");
    std::exit(1);
  }
  return Seconds(start);
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
