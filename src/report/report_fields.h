// The fields a report offers the formatter and the two lists the user
// arranges them in: the used fields (columns, in order, each with its sort
// mode) and the available rest.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "report/attribute_store.h"
#include "report/format_store.h"
#include "report/report_model.h"

namespace pelikon {

struct ReportField {
  std::string key;
  std::string note;
  int type = kReportString;
  int places = 3;
  // null: summed; "": no total; "__RECALC"; or the key averages weight by
  std::optional<std::string> aver_key;
  SortMode sort = SortMode::kUp;
  int width = 0;  // set when the report is laid out
};

// The report's fields in the order they first appear, each described by
// its first token.
std::vector<ReportField> CollectReportFields(const ReportNode* first);

// Display options of the host's section override a field's note, places
// and total option.
void ApplyAttributeDisplays(std::vector<ReportField>& fields, const std::vector<AttributeDisplay>& displays);

class FieldLists {
 public:
  explicit FieldLists(std::vector<ReportField> report_fields);

  const std::vector<ReportField>& Used() const { return used_; }
  const std::vector<ReportField>& Available() const { return available_; }

  // Moves the report field of that key to the end of the used list with
  // `sort`; false when the report has no such field or it is used already.
  bool Use(std::string_view key, SortMode sort);
  // A used field goes back among the available ones, in report order.
  bool Remove(size_t used_index);
  bool MoveUp(size_t used_index);
  bool MoveDown(size_t used_index);
  void SetSort(size_t used_index, SortMode sort);
  // Takes over a format's used fields (those the report has, once each).
  void ApplyFormat(const std::vector<FormatField>& fields);
  // The used fields as a format keeps them.
  std::vector<FormatField> AsFormatFields() const;

  // "%-23.23s Up" and the like: a used field as its list shows it.
  static std::string UsedRow(const ReportField& field);
  // "Grand", "Grand, <note 1>", ... for the first five used fields.
  std::vector<std::string> TotalsDepthChoices() const;

 private:
  std::vector<ReportField> used_;
  std::vector<ReportField> available_;
  std::vector<std::string> report_order_;
};

}  // namespace pelikon
