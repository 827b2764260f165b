// pelikon-listing read FILE          prints each entry a listing file holds
// pelikon-listing write FOLDER [MASK] [--special]
//                                    writes FOLDER's listing to standard output
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "link/listing/dir_listing.h"
#include "platform/console_ui.h"
#include "platform/temp_folder.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: pelikon-listing read FILE\n"
               "       pelikon-listing write FOLDER [MASK] [--special]\n");
  return 2;
}

int Read(const char* file) {
  pelikon::ListingContents contents;
  if (!pelikon::ReadListingFile(file, contents)) {
    std::fprintf(stderr, "cannot open %s\n", file);
    return 1;
  }
  for (const pelikon::DirEntry& e : contents.entries) {
    std::printf("%-6s %11d %-8s %-5s %4d  %s  (%s)\n",
                e.is_drive    ? "drive"
                : e.is_folder ? "folder"
                              : "file",
                e.size, e.date.c_str(), e.time.c_str(), e.attributes, e.name.c_str(), e.short_name.c_str());
  }
  std::printf("%zu entries; the collector addresses files by their %s names\n", contents.entries.size(),
              contents.long_names ? "long" : "short");
  return 0;
}

int Write(int argc, char** argv) {
  const char* folder = argv[2];
  std::string mask = "*.*";
  bool special = false;
  for (int i = 3; i < argc; ++i) {
    if (std::strcmp(argv[i], "--special") == 0)
      special = true;
    else
      mask = argv[i];
  }
  const std::filesystem::path work = pelikon::TempFolder();
  if (work.empty()) {
    std::fprintf(stderr, "no private working folder can be used\n");
    return 1;
  }
  const std::filesystem::path listing = work / pelikon::kLocalListingName;
  pelikon::ConsoleUi ui;
  if (!pelikon::WriteLocalListing(folder, mask, listing, special, ui)) return 1;
  std::string text;
  std::FILE* in = std::fopen(listing.c_str(), "rb");
  if (!in) return 1;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0) std::fwrite(buffer, 1, n, stdout);
  std::fclose(in);
  std::remove(listing.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "read") == 0) return Read(argv[2]);
  if (argc >= 3 && std::strcmp(argv[1], "write") == 0) return Write(argc, argv);
  return Usage();
}
