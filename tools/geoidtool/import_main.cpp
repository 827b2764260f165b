// geoid-import: the one program that links GDAL. It writes a geoid model
// GDAL reads as the ".grd" text; `geoidtool import` and the program's
// Geoid command run it, so that they need not load GDAL themselves.
//
//   geoid-import MODEL_FILE OUT.grd
//
// Exit status 0 on success, 1 with the reason on standard error, 2 for a
// wrong argument.
#include <cstdio>
#include <string>

#include "geoid/import/grid_import.h"
#include "platform/catalogue.h"
#include "tool_usage.h"

namespace {

using pelikon::Tr;

const pelikon_tools::ToolUsage kUsage("geoid-import", N_("usage: geoid-import MODEL_FILE OUT.grd\n"),
                                      N_("Writes a geoid model that GDAL reads (GTX, GeoTIFF, ...) as the .grd\n"
                                         "text: southern row first, a global model from 0 to 360 east.\n"));

}  // namespace

int main(int argc, char** argv) {
  if (pelikon_tools::ToolUsage::HelpAsked(argc, argv)) return kUsage.Help();
  if (argc != 3) return kUsage.Wrong(Tr("MODEL_FILE and OUT.grd are needed"));
  const pelikon::GridImportResult result = pelikon::ImportGridModel(argv[1], argv[2]);
  if (!result.ok) return kUsage.Fail(result.error);
  std::printf("%s: %d x %d nodes\n", argv[2], result.columns, result.rows);
  return std::fflush(stdout) == 0 ? pelikon_tools::kExitOk : pelikon_tools::kExitFailure;
}
