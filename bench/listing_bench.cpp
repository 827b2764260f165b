// Writes and reads back the listing of a folder of 100,000 files and
// compares the time with `ls -l` of the same folder, run in this process.
//
// usage: listing_bench [FILES] [ROUNDS]
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "link/listing/dir_listing.h"
#include "platform/console_ui.h"

using pelikon::bench::Clock;
using pelikon::bench::Median;
using pelikon::bench::Seconds;
using pelikon::bench::TimeLs;

int main(int argc, char** argv) {
  const int files = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  char pattern[] = "/tmp/pelikon-bench-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const std::filesystem::path root = pattern;
  const std::filesystem::path folder = root / "folder";
  std::filesystem::create_directory(folder);

  const auto made = Clock::now();
  for (int i = 0; i < files; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "Survey job %06d.crd", i);
    const int fd = ::open((folder / name).c_str(), O_CREAT | O_WRONLY, 0644);
    if (fd < 0) return 1;
    if (i % 7 == 0) (void)!::write(fd, name, std::strlen(name));
    ::close(fd);
  }
  std::printf("made %d files in %.2f s\n", files, Seconds(made));

  pelikon::ConsoleUi ui;
  const std::filesystem::path listing = root / pelikon::kLocalListingName;
  std::vector<double> ours, write_only, ls;
  size_t entries = 0;
  for (int r = 0; r < rounds; ++r) {
    ls.push_back(TimeLs(folder));
    const auto start = Clock::now();
    if (!pelikon::WriteLocalListing(folder, "*.*", listing, false, ui)) return 1;
    write_only.push_back(Seconds(start));
    pelikon::ListingContents contents;
    if (!pelikon::ReadListingFile(listing, contents, pelikon::kLocalListing)) return 1;
    ours.push_back(Seconds(start));
    entries = contents.entries.size();
  }
  std::filesystem::remove_all(root);

  const double ours_s = Median(ours), ls_s = Median(ls);
  std::printf("entries read back: %zu\n", entries);
  std::printf("listing write: %.3f s  write+read: %.3f s  ls -l: %.3f s  (median of %d)\n", Median(write_only), ours_s,
              ls_s, rounds);
  std::printf("ratio listing write+read / ls -l: %.2f (goal <= 2.00)\n", ours_s / ls_s);
  // Every file plus "..": "." is never read back.
  return entries == static_cast<size_t>(files) + 1 ? 0 : 1;
}
