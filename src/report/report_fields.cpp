#include "report/report_fields.h"

#include <algorithm>
#include <unordered_set>

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

std::vector<ReportField> CollectReportFields(const ReportNode* first) {
  std::vector<ReportField> fields;
  std::unordered_set<std::string> seen;
  for (const ReportNode* node = first; node != nullptr; node = node->next) {
    for (const ReportToken* token = node->tokens; token != nullptr; token = token->next) {
      if (!seen.insert(AsciiUpper(token->key)).second) continue;
      ReportField field;
      field.key = token->key;
      field.note = token->note;
      field.type = token->type;
      field.places = token->places;
      if (token->averkey != nullptr) field.aver_key = token->averkey;
      field.sort = SortModeFromNumber(token->is_sorted);
      fields.push_back(std::move(field));
    }
  }
  return fields;
}

void ApplyAttributeDisplays(std::vector<ReportField>& fields, const std::vector<AttributeDisplay>& displays) {
  for (const AttributeDisplay& display : displays)
    for (ReportField& field : fields)
      if (EqualsNoCase(field.key, display.key)) {
        field.note = display.note;
        field.places = display.decimals;
        field.aver_key = display.aver_key;
      }
}

FieldLists::FieldLists(std::vector<ReportField> report_fields) : available_(std::move(report_fields)) {
  for (const ReportField& field : available_) report_order_.push_back(field.key);
}

bool FieldLists::Use(std::string_view key, SortMode sort) {
  const auto found = std::find_if(available_.begin(), available_.end(),
                                  [key](const ReportField& field) { return EqualsNoCase(field.key, key); });
  if (found == available_.end()) return false;
  ReportField field = std::move(*found);
  available_.erase(found);
  field.sort = sort;
  used_.push_back(std::move(field));
  return true;
}

bool FieldLists::Remove(size_t used_index) {
  if (used_index >= used_.size()) return false;
  ReportField field = std::move(used_[used_index]);
  used_.erase(used_.begin() + static_cast<std::ptrdiff_t>(used_index));
  // Back in its report place among the available fields.
  const auto rank = [this](const std::string& key) {
    return std::find(report_order_.begin(), report_order_.end(), key) - report_order_.begin();
  };
  const auto place = std::find_if(available_.begin(), available_.end(),
                                  [&](const ReportField& other) { return rank(other.key) > rank(field.key); });
  available_.insert(place, std::move(field));
  return true;
}

bool FieldLists::MoveUp(size_t used_index) {
  if (used_index == 0 || used_index >= used_.size()) return false;
  std::swap(used_[used_index - 1], used_[used_index]);
  return true;
}

bool FieldLists::MoveDown(size_t used_index) {
  if (used_index + 1 >= used_.size()) return false;
  std::swap(used_[used_index], used_[used_index + 1]);
  return true;
}

void FieldLists::SetSort(size_t used_index, SortMode sort) {
  if (used_index < used_.size()) used_[used_index].sort = sort;
}

void FieldLists::ApplyFormat(const std::vector<FormatField>& fields) {
  while (!used_.empty()) Remove(used_.size() - 1);
  for (const FormatField& field : fields) Use(field.key, field.sort);
}

std::vector<FormatField> FieldLists::AsFormatFields() const {
  std::vector<FormatField> fields;
  for (const ReportField& field : used_) fields.push_back({field.key, field.sort});
  return fields;
}

std::string FieldLists::UsedRow(const ReportField& field) {
  static constexpr const char* kRows[] = {N_("%-23.23s Hold"), N_("%-23.23s Up"), N_("%-23.23s Down"),
                                          N_("%-23.23s Collapse"), N_("%-23.23s Ignore")};
  const auto mode = static_cast<size_t>(field.sort);
  return StrPrintf(Tr(kRows[mode < 5 ? mode : 1]), field.note.c_str());
}

std::vector<std::string> FieldLists::TotalsDepthChoices() const {
  std::vector<std::string> choices{Tr("Grand")};
  std::string text = choices.front();
  for (size_t i = 0; i < used_.size() && i < 5; ++i) {
    text += ", " + used_[i].note;
    choices.push_back(text);
  }
  return choices;
}

}  // namespace pelikon
