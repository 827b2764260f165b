// pelikon-listing read FILE          prints each entry a listing file holds
// pelikon-listing write FOLDER [MASK] [--special]
//                                    writes FOLDER's listing to standard output
//
// Exit status 0 on success, 1 with the reason on standard error, 2 for a
// wrong argument.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "link/listing/dir_listing.h"
#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/console_ui.h"
#include "platform/temp_folder.h"
#include "platform/text.h"
#include "tool_usage.h"

namespace {

using pelikon::StrPrintf;
using pelikon::Tr;
using pelikon_tools::kExitFailure;
using pelikon_tools::kExitOk;

const pelikon_tools::ToolUsage kUsage("pelikon-listing",
                                      N_("usage: pelikon-listing read FILE\n"
                                         "       pelikon-listing write FOLDER [MASK] [--special]\n"),
                                      N_("  read    prints each entry of a listing file (a collector's dir_zzz.txt)\n"
                                         "  write   writes FOLDER's listing as the PC pane reads it: the files that\n"
                                         "          match MASK (default *.*), then every folder; --special lists\n"
                                         "          hidden files too\n"
                                         "Exit status: 0 done, 1 failed (the reason on standard error), 2 a wrong\n"
                                         "argument.\n"));

int Read(const char* file) {
  pelikon::ListingContents contents;
  if (!pelikon::ReadListingFile(file, contents))
    return kUsage.Fail(StrPrintf(Tr("cannot read %s: %s"), file, std::strerror(errno)));
  for (const pelikon::DirEntry& e : contents.entries) {
    std::printf("%-6s %11d %-8s %-5s %4d  %s  (%s)\n",
                e.is_drive    ? "drive"
                : e.is_folder ? "folder"
                              : "file",
                e.size, e.date.c_str(), e.time.c_str(), e.attributes, e.name.c_str(), e.short_name.c_str());
  }
  std::printf("%zu entries; the collector addresses files by their %s names\n", contents.entries.size(),
              contents.long_names ? "long" : "short");
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

int Write(const std::string& folder, const std::string& mask, bool special) {
  // An empty listing would say the folder is empty: say why there is none.
  std::error_code error;
  std::filesystem::directory_iterator probe(folder, error);
  if (error) return kUsage.Fail(StrPrintf(Tr("cannot read %s: %s"), folder.c_str(), error.message().c_str()));
  const std::filesystem::path work = pelikon::TempFolder();
  if (work.empty()) return kUsage.Fail(Tr("no private working folder can be used"));
  const std::filesystem::path listing = work / pelikon::kLocalListingName;
  pelikon::ConsoleUi ui;
  if (!pelikon::WriteLocalListing(folder, mask, listing, special, ui)) return kExitFailure;
  std::string text;
  const bool read = pelikon::ReadWholeFile(listing, text);
  std::remove(listing.c_str());
  if (!read) return kUsage.Fail(StrPrintf(Tr("cannot read %s"), listing.c_str()));
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  if (pelikon_tools::ToolUsage::HelpAsked(argc, argv)) return kUsage.Help();
  if (argc < 2) return kUsage.Wrong(Tr("no command given"));
  const std::string command = argv[1];
  if (command == "read") {
    if (argc != 3) return kUsage.Wrong(Tr("read takes one FILE"));
    return Read(argv[2]);
  }
  if (command != "write") return kUsage.Wrong(StrPrintf(Tr("unknown command \"%s\""), command.c_str()));
  pelikon_tools::ArgumentReader arguments(argc, argv, 2);
  std::string folder, mask;
  bool special = false;
  while (!arguments.Done()) {
    const std::string& argument = arguments.Next();
    if (argument == "--special") {
      special = true;
    } else if (argument.size() > 1 && argument[0] == '-') {
      return kUsage.Wrong(StrPrintf(Tr("unknown option %s"), argument.c_str()));
    } else if (folder.empty()) {
      folder = argument;
    } else if (mask.empty()) {
      mask = argument;
    } else {
      return kUsage.Wrong(StrPrintf(Tr("unexpected argument \"%s\""), argument.c_str()));
    }
  }
  if (folder.empty()) return kUsage.Wrong(Tr("write needs a FOLDER"));
  return Write(folder, mask.empty() ? "*.*" : mask, special);
}
