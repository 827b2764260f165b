#include "coord/merge/merge_columns.h"

#include <string>

#include "platform/catalogue.h"
#include "records/xml_file.h"

namespace pelikon {

namespace {

constexpr const char* kCaptions[kMergeColumnCount] = {
    N_("Pt #"),   N_("Northing"), N_("Easting"),  N_("Elevation"), N_("Description"), " ",
    N_("Action"), N_("Pt #"),     N_("Northing"), N_("Easting"),   N_("Elevation"),   N_("Description")};
constexpr const char* kRecordName = "merge_coord";
// Wider than any screen: a larger value is a damaged file.
constexpr int64_t kWidestColumn = 1000;

}  // namespace

MergeColumnWidths DefaultMergeColumnWidths() {
  return {5, 10, 10, 8, 10, 2, 11, 5, 10, 10, 8, 10};
}

const char* MergeColumnCaption(int column) {
  return column >= 1 && column <= kMergeColumnCount ? kCaptions[column - 1] : "";
}

MergeColumnWidths ReadMergeColumnWidths(const std::filesystem::path& folder) {
  MergeColumnWidths widths = DefaultMergeColumnWidths();
  const std::unique_ptr<OvUniTable> table = ReadXmlFile(folder / kMergeColumnsFile);
  const OvUniRecord* record = table ? table->FirstRecord() : nullptr;
  if (!record) return widths;
  for (int column = 1; column <= kMergeColumnCount; ++column) {
    int64_t width = 0;
    if (record->GetInt(std::to_string(column), width) && width > 0 && width <= kWidestColumn)
      widths[column - 1] = static_cast<int>(width);
  }
  return widths;
}

int WriteMergeColumnWidths(const std::filesystem::path& folder, const MergeColumnWidths& widths) {
  OvUniRecord record(kRecordName);
  for (int column = 1; column <= kMergeColumnCount; ++column)
    record.SetText(std::to_string(column), std::to_string(widths[column - 1]));
  return WriteXmlFile(folder / kMergeColumnsFile, &record);
}

}  // namespace pelikon
