#include "coord/merge/merge_report.h"

#include <cctype>
#include <string_view>
#include <utility>

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

MergeReportToken Text(const char* key, const char* caption, std::string text) {
  return {key, caption, std::move(text), 0, false};
}

MergeReportToken Number(const char* key, const char* caption, double value) {
  return {key, caption, StrPrintf("%.*f", kMergeReportPlaces, value), value, true};
}

// "conflict" -> "Conflict".
std::string Capitalised(std::string_view word) {
  std::string text(word);
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    text[i] = static_cast<char>(i == 0 ? std::toupper(c) : std::tolower(c));
  }
  return text;
}

}  // namespace

std::vector<MergeReportEntry> MergeReportEntries(const MergeSession& session) {
  std::vector<MergeReportEntry> entries;
  for (const MergeRow& pair : PairById(session.Source(), session.Target())) {
    MergeReportEntry entry;
    if (pair.target >= 0) {
      const MergePoint& point = session.Target()[pair.target];
      entry.push_back(Text("PTNUM", N_("Point #"), point.id));
      entry.push_back(Number("NORTH", N_("Northing"), point.north));
      entry.push_back(Number("EAST", N_("Easting"), point.east));
      entry.push_back(Number("ELEV", N_("Elevation"), point.elev));
      entry.push_back(Text("DESC", N_("Description"), point.desc));
    }
    if (pair.source >= 0) {
      const MergePoint& point = session.Source()[pair.source];
      entry.push_back(Text("START_PTNUM", N_("Start Point #"), point.orig_id));
      entry.push_back(Text("MERGE_PTNUM", N_("Final Point #"), point.id));
      entry.push_back(Number("NEW_NORTH", N_("New Northing"), point.north));
      entry.push_back(Number("NEW_EAST", N_("New Easting"), point.east));
      entry.push_back(Number("NEW_ELEV", N_("New Elevation"), point.elev));
      entry.push_back(Text("NEW_DESC", N_("New Description"), point.desc));
      entry.push_back(Text("STATUS", N_("Status"), Capitalised(MergeStatusName(point.status))));
      entry.push_back(Text("ACTION", N_("Action"), Capitalised(MergeActionName(point.action))));
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace pelikon
