#include "report/report_layout.h"

#include <algorithm>

#include "platform/text.h"
#include "report/expression.h"
#include "report/report_sort.h"
#include "report/report_trace.h"

namespace pelikon {

ReportLayout::ReportLayout(const TextReportInput& input) : input_(input), used_(input.used) {
  depth_ = static_cast<size_t>(std::clamp<int>(input.options.totals_depth, 0, static_cast<int>(used_.size())));
  for (const ReportField& field : used_) {
    const TotalOption total = TotalOptionOf(field.aver_key);
    totals_.push_back(total);
    weight_keys_.push_back(total == TotalOption::kAverage ? *field.aver_key : std::string());
  }
  CollectRows();
  OrderRows();
}

void ReportLayout::CollectRows() {
  const size_t fields = used_.size();
  for (const ReportNode* node = input_.report->First(); node != nullptr; node = node->next) {
    if (node->kind == kReportTextEntry) {
      items_.push_back({node, 0});
      continue;
    }
    if (node->tokens == nullptr) continue;
    const auto row = static_cast<uint32_t>(nodes_.size());
    nodes_.push_back(node);
    for (size_t f = 0; f < fields; ++f) cells_.push_back(FindToken(node->tokens, used_[f].key));
    items_.push_back({nullptr, row});
  }
}

// Data rows sorted; text lines before the first and after the last stay
// where they are. A text line between data rows keeps the host's order.
void ReportLayout::OrderRows() {
  const auto first_data = std::find_if(items_.begin(), items_.end(), [](const Item& i) { return !i.text; });
  const auto last_data = std::find_if(items_.rbegin(), items_.rend(), [](const Item& i) { return !i.text; });
  if (first_data == items_.end()) return;
  const auto end = last_data.base();
  if (std::any_of(first_data, end, [](const Item& i) { return i.text != nullptr; })) {
    ReportTrace("Unable to sort data correctly due to text entries present in the report\n");
    return;
  }
  std::vector<uint32_t> order;
  order.reserve(nodes_.size());
  for (auto it = first_data; it != end; ++it) order.push_back(it->row);
  std::vector<SortMode> modes;
  for (const ReportField& field : used_) modes.push_back(field.sort);
  SortReportRows(order, cells_, modes);
  size_t next = 0;
  for (auto it = first_data; it != end; ++it) it->row = order[next++];
}

std::string ReportLayout::GroupDescription(size_t row, size_t count) const {
  std::string text;
  for (size_t f = 0; f < count; ++f) {
    const ReportToken* token = Cell(row, f);
    if (!text.empty()) text += ", ";
    text += used_[f].note + ": ";
    if (token == nullptr) continue;
    text += token->type == kReportReal ? FormatReportNumber(token->real, token->places, false) : token->text;
  }
  return text;
}

bool ReportLayout::SameValue(const ReportToken* a, const ReportToken* b) {
  if (a == nullptr || b == nullptr) return a == b;
  if (a->type != b->type) return false;
  return a->type == kReportReal ? a->real == b->real : EqualsNoCase(a->text, b->text);
}

size_t ReportLayout::SharedFields(size_t a, size_t b) const {
  size_t k = 0;
  while (k < used_.size() && SameValue(Cell(a, k), Cell(b, k))) ++k;
  return k;
}

void ReportLayout::Accumulate(std::vector<LevelTotals>& levels, size_t row) const {
  for (LevelTotals& totals : levels) {
    if (totals.entries++ == 0) totals.first_row = row;
    for (size_t f = 0; f < used_.size(); ++f) {
      const ReportToken* token = Cell(row, f);
      if (token == nullptr || token->type != kReportReal) continue;
      FieldTotal& total = totals.fields[f];
      if (totals_[f] == TotalOption::kAverage) {
        const ReportToken* weight = FindToken(nodes_[row]->tokens, weight_keys_[f]);
        if (weight == nullptr || weight->type != kReportReal) continue;
        total.weighted += token->real * weight->real;
        total.weight += weight->real;
      }
      total.sum += token->real;
      total.any = true;
    }
  }
}

std::vector<std::optional<double>> ReportLayout::TotalsOf(const LevelTotals& totals) const {
  std::vector<std::optional<double>> values(used_.size());
  for (size_t f = depth_; f < used_.size(); ++f) {
    const FieldTotal& total = totals.fields[f];
    switch (totals_[f]) {
      case TotalOption::kSum:
        if (total.any) values[f] = total.sum;
        break;
      case TotalOption::kAverage:
        if (total.weight != 0) values[f] = total.weighted / total.weight;
        break;
      case TotalOption::kNone:
      case TotalOption::kRecalculate:
        break;
    }
  }
  for (size_t f = depth_; f < used_.size(); ++f)
    if (totals_[f] == TotalOption::kRecalculate) values[f] = Recalculate(f, values, totals);
  return values;
}

std::optional<double> ReportLayout::Recalculate(size_t field, const std::vector<std::optional<double>>& values,
                                                const LevelTotals& totals) const {
  const auto attribute = std::find_if(input_.attributes.begin(), input_.attributes.end(),
                                      [&](const UserAttribute& a) { return EqualsNoCase(a.key, used_[field].key); });
  if (attribute == input_.attributes.end() || attribute->equation.empty()) return std::nullopt;
  EquationContext context;
  context.value = [&](std::string_view name) {
    double number = 0;
    if (ReadWholeNumber(name, number)) return number;
    for (size_t f = 0; f < used_.size(); ++f) {
      if (!EqualsNoCase(used_[f].key, name)) continue;
      if (f != field && values[f]) return *values[f];
      const ReportToken* group_value = f < depth_ ? Cell(totals.first_row, f) : nullptr;
      if (group_value != nullptr && group_value->type == kReportReal) return group_value->real;
    }
    return kReportNoValue;
  };
  context.trace = [](const std::string& message) { ReportTrace("%s", message.c_str()); };
  const double value = EvaluateEquation(attribute->equation, context);
  if (value == kReportNoValue) return std::nullopt;
  return value;
}

void ReportLayout::EmitTotals(LayoutSink& sink, const LevelTotals& totals, size_t level) const {
  const std::vector<std::optional<double>> values = TotalsOf(totals);
  if (std::none_of(values.begin(), values.end(), [](const auto& v) { return v.has_value(); })) return;
  sink.Totals(level, values, level == 0 ? std::string() : GroupDescription(totals.first_row, level));
}

void ReportLayout::CloseLevel(LayoutSink& sink, std::vector<LevelTotals>& levels, size_t level) const {
  if (levels[level].entries > 1 || input_.options.totals_only) EmitTotals(sink, levels[level], level);
  levels[level] = LevelTotals{std::vector<FieldTotal>(used_.size()), 0, 0};
}

void ReportLayout::Walk(LayoutSink& sink) const {
  std::vector<LevelTotals> levels(depth_ + 1, LevelTotals{std::vector<FieldTotal>(used_.size()), 0, 0});
  bool heading_due = true;
  size_t rows_walked = 0;
  for (size_t i = 0; i < items_.size(); ++i) {
    const Item& item = items_[i];
    if (item.text != nullptr) {
      sink.Text(item.text->text);
      continue;
    }
    if (heading_due) sink.Heading(item.row);
    heading_due = false;
    sink.Data(item.row);
    Accumulate(levels, item.row);
    ++rows_walked;
    // Which groups end before the next data row; after the last one,
    // every group and the grand total.
    size_t next = i + 1;
    while (next < items_.size() && items_[next].text != nullptr) ++next;
    const size_t shared = next == items_.size() ? 0 : SharedFields(item.row, items_[next].row);
    for (size_t level = depth_; level > shared; --level) {
      CloseLevel(sink, levels, level);
      heading_due = true;
    }
    if (next == items_.size() && (rows_walked > 1 || input_.options.totals_only)) EmitTotals(sink, levels[0], 0);
  }
}

}  // namespace pelikon
