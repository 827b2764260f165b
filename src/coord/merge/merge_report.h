// What a merge report holds, as data for the report library: one entry per
// identifier of either list (in identifier order, so source 10 pairs with
// target 10 whatever else exists), each a list of tokens with key, caption
// and value. Target points give PTNUM, NORTH, EAST, ELEV, DESC; source
// points START_PTNUM (the identifier read), MERGE_PTNUM (the one it will
// be stored under), NEW_NORTH, NEW_EAST, NEW_ELEV, NEW_DESC, STATUS and
// ACTION (the last two capitalised: "Conflict", "Store").
#pragma once

#include <string>
#include <vector>

#include "coord/merge/merge_session.h"
#include "platform/catalogue.h"

namespace pelikon {

inline constexpr const char* kMergeReportTable = "CRDMERGE";
inline constexpr const char* kMergeReportTitle = N_("Coordinate Merge Report");
// Numbers are reported with this many decimals.
inline constexpr int kMergeReportPlaces = 3;

struct MergeReportToken {
  const char* key;
  const char* caption;  // untranslated; marked for the catalogue
  std::string text;     // texts; numbers also as "%.3f"
  double number = 0;
  bool is_number = false;
};

using MergeReportEntry = std::vector<MergeReportToken>;

std::vector<MergeReportEntry> MergeReportEntries(const MergeSession& session);

}  // namespace pelikon
