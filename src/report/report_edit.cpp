#include "report/report_edit.h"

#include "platform/text.h"
#include "report/expression.h"

namespace pelikon {

namespace {

ReportToken* FindEntryToken(ReportNode* entry, std::string_view key) {
  for (ReportToken* token = entry->tokens; token != nullptr; token = token->next)
    if (EqualsNoCase(token->key, key)) return token;
  return nullptr;
}

ReportNode* FindDataEntry(Report& report, const ReportNode* entry) {
  if (entry == nullptr) return nullptr;
  for (ReportNode* node = report.First(); node != nullptr; node = node->next)
    if (node == entry) return node->kind == kReportDataEntry ? node : nullptr;
  return nullptr;
}

// A new token for `column` in an entry that lacks it, shaped like the
// field's tokens elsewhere in the report.
TokenValue NewTokenFor(const Report& report, const ReportTableColumn& column) {
  TokenValue value;
  value.key = column.key;
  value.note = column.note;
  value.type = column.real ? kReportReal : kReportString;
  value.places = column.places;
  for (const ReportNode* node = report.First(); node != nullptr; node = node->next) {
    if (node->kind != kReportDataEntry) continue;
    if (const ReportToken* model = FindToken(node->tokens, column.key)) {
      value.note = model->note;
      value.places = model->places;
      value.averkey = model->averkey;
      value.is_sorted = model->is_sorted;
      break;
    }
  }
  return value;
}

}  // namespace

ReportEditResult SetReportValue(Report& report, const ReportNode* entry, const ReportTableColumn& column,
                                std::string_view text) {
  ReportNode* node = FindDataEntry(report, entry);
  if (node == nullptr) return ReportEditResult::kNotAnEntry;
  ReportToken* token = FindEntryToken(node, column.key);
  const bool real = token != nullptr ? token->type == kReportReal : column.real;
  double number = 0;
  if (real && !ReadWholeNumber(text, number)) return ReportEditResult::kNotANumber;
  if (token == nullptr) {
    TokenValue value = NewTokenFor(report, column);
    value.real = number;
    value.text = text;
    report.AddToken(*node, value);
    return ReportEditResult::kChanged;
  }
  if (real)
    token->real = number;
  else
    token->text = report.Keep(text, text.size() < 8);
  return ReportEditResult::kChanged;
}

}  // namespace pelikon
