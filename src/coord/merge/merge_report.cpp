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

// The keys and captions of a point's identifier, coordinates and description.
struct PointKeys {
  const char* keys[5];
  const char* captions[5];
};
constexpr PointKeys kTargetKeys = {{"PTNUM", "NORTH", "EAST", "ELEV", "DESC"},
                                   {N_("Point #"), N_("Northing"), N_("Easting"), N_("Elevation"), N_("Description")}};
constexpr PointKeys kSourceKeys = {
    {"MERGE_PTNUM", "NEW_NORTH", "NEW_EAST", "NEW_ELEV", "NEW_DESC"},
    {N_("Final Point #"), N_("New Northing"), N_("New Easting"), N_("New Elevation"), N_("New Description")}};

void AddPoint(MergeReportEntry& entry, const PointKeys& keys, const MergePoint& point) {
  entry.push_back(Text(keys.keys[0], keys.captions[0], point.id));
  entry.push_back(Number(keys.keys[1], keys.captions[1], point.north));
  entry.push_back(Number(keys.keys[2], keys.captions[2], point.east));
  entry.push_back(Number(keys.keys[3], keys.captions[3], point.elev));
  entry.push_back(Text(keys.keys[4], keys.captions[4], point.desc));
}

}  // namespace

std::vector<MergeReportEntry> MergeReportEntries(const MergeSession& session) {
  std::vector<MergeReportEntry> entries;
  for (const MergeRow& pair : PairById(session.Source(), session.Target())) {
    MergeReportEntry entry;
    if (pair.target >= 0) AddPoint(entry, kTargetKeys, session.Target()[pair.target]);
    if (pair.source >= 0) {
      const MergePoint& point = session.Source()[pair.source];
      entry.push_back(Text("START_PTNUM", N_("Start Point #"), point.orig_id));
      AddPoint(entry, kSourceKeys, point);
      entry.push_back(Text("STATUS", N_("Status"), Capitalised(MergeStatusName(point.status))));
      entry.push_back(Text("ACTION", N_("Action"), Capitalised(MergeActionName(point.action))));
    }
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace pelikon
