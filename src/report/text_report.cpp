#include "report/text_report.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/text.h"
#include "report/expression.h"
#include "report/report_sort.h"
#include "report/report_trace.h"

namespace pelikon {

namespace {

int BoundPlaces(int places) {
  return std::clamp(places, 0, 30);
}

}  // namespace

std::string FormatReportNumber(double value, int places, bool commas) {
  char buffer[512];
  const auto done = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, BoundPlaces(places));
  std::string text(buffer, done.ec == std::errc() ? done.ptr : buffer);
  if (!commas) return text;
  const size_t digits_start = (!text.empty() && text[0] == '-') ? 1 : 0;
  size_t digits_end = text.find('.');
  if (digits_end == std::string::npos) digits_end = text.size();
  for (size_t at = digits_end; at > digits_start + 3; at -= 3) text.insert(at - 3, 1, ',');
  return text;
}

namespace {

// One field of a group's totals.
struct FieldTotal {
  double sum = 0;
  double weighted = 0;
  double weight = 0;
  bool any = false;
};

struct LevelTotals {
  std::vector<FieldTotal> fields;
  size_t entries = 0;
  size_t first_row = 0;
};

class TextReportWriter {
 public:
  TextReportWriter(const TextReportInput& input, std::FILE* file)
      : input_(input), used_(input.used), options_(input.options), file_(file) {
    depth_ = static_cast<size_t>(std::min<int>(options_.totals_depth, static_cast<int>(used_.size())));
    for (const ReportField& field : used_) {
      const TotalOption total = TotalOptionOf(field.aver_key);
      totals_.push_back(total);
      weight_keys_.push_back(total == TotalOption::kAverage ? *field.aver_key : std::string());
    }
  }

  void Write() {
    CollectRows();
    OrderRows();
    MeasureColumns();
    Out(input_.report->Name());
    Out("\n");
    for (const auto& field : input_.report->Fields()) {
      Out(field.second);
      Out("\n");
    }
    Out("\n");
    WriteEntries();
    Flush();
  }

 private:
  struct Item {
    const ReportNode* text = nullptr;  // a text entry, or
    uint32_t row = 0;                  // a data row
  };

  const ReportToken* Cell(size_t row, size_t field) const { return cells_[row * used_.size() + field]; }

  void CollectRows() {
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
  void OrderRows() {
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

  void MeasureColumns() {
    widths_.assign(used_.size(), options_.width);
    size_t widest_note = 0;
    for (const ReportField& field : used_) widest_note = std::max(widest_note, field.note.size());
    note_width_ = static_cast<int>(widest_note);
    if (options_.fixed) return;
    for (size_t f = 0; f < used_.size(); ++f) {
      size_t width = used_[f].note.size();
      double sum = 0;
      int places = 0;
      const bool summed = totals_[f] != TotalOption::kNone;
      for (size_t r = 0; r < nodes_.size(); ++r) {
        const ReportToken* token = Cell(r, f);
        if (token == nullptr) continue;
        if (token->type == kReportString) {
          width = std::max(width, std::strlen(token->text));
          continue;
        }
        width = std::max(width, FormatReportNumber(token->real, token->places, options_.use_commas).size());
        places = std::max(places, token->places);
        if (summed) sum += token->real;
      }
      if (sum != 0) width = std::max(width, FormatReportNumber(sum, places, options_.use_commas).size());
      widths_[f] = static_cast<int>(width);
    }
  }

  // ---- Output ------------------------------------------------------------
  void Out(std::string_view text) {
    buffer_.append(text);
    if (buffer_.size() >= (1u << 20)) Flush();
  }
  void Flush() {
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    buffer_.clear();
  }
  // "%-W.Ws ": cut to W, padded to W.
  void LeftCell(std::string_view text, int width) {
    const size_t w = static_cast<size_t>(std::max(width, 0));
    text = text.substr(0, std::min(text.size(), w));
    buffer_.append(text);
    buffer_.append(w - text.size() + 1, ' ');
  }
  // "%W.Pf ": right-aligned, never cut.
  void RightCell(std::string_view number, int width) {
    const size_t w = static_cast<size_t>(std::max(width, 0));
    if (number.size() < w) buffer_.append(w - number.size(), ' ');
    buffer_.append(number);
    buffer_.push_back(' ');
  }
  void EndLine() { Out("\n"); }

  // "Note: value, Note: value" for the first `count` used fields of a row.
  std::string GroupDescription(size_t row, size_t count) const {
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

  void WriteHeading(size_t row) {
    if (text_just_written_) Out("\n");
    if (depth_ > 0) {
      Out(GroupDescription(row, depth_));
      Out("\n\n");
    }
    if (options_.columns) {
      for (size_t f = depth_; f < used_.size(); ++f) LeftCell(used_[f].note, widths_[f]);
      EndLine();
    }
    previous_row_ = -1;
  }

  bool HasValue(const ReportToken* token) const {
    return token != nullptr && (token->type == kReportReal || token->text[0] != '\0');
  }

  void WriteDataLine(size_t row) {
    bool any = false;
    for (size_t f = depth_; f < used_.size() && !any; ++f) any = HasValue(Cell(row, f));
    if (!any) return;
    bool repeating = options_.ignore_repeats && previous_row_ >= 0;
    for (size_t f = depth_; f < used_.size(); ++f) {
      const ReportToken* token = Cell(row, f);
      if (repeating) repeating = SameValue(token, Cell(static_cast<size_t>(previous_row_), f));
      if (repeating || token == nullptr)
        LeftCell({}, widths_[f]);
      else if (token->type == kReportReal)
        RightCell(FormatReportNumber(token->real, token->places, options_.use_commas), widths_[f]);
      else
        LeftCell(token->text, widths_[f]);
    }
    EndLine();
  }

  void WriteFieldLines(size_t row) {
    for (size_t f = 0; f < used_.size(); ++f) {
      const ReportToken* token = Cell(row, f);
      if (token == nullptr) continue;
      LeftCell(used_[f].note, note_width_);
      if (token->type == kReportReal)
        Out(StrPrintf("%20.*f\n", BoundPlaces(token->places), token->real));
      else {
        Out(token->text);
        Out("\n");
      }
    }
    Out("\n");
  }

  static bool SameValue(const ReportToken* a, const ReportToken* b) {
    if (a == nullptr || b == nullptr) return a == b;
    if (a->type != b->type) return false;
    return a->type == kReportReal ? a->real == b->real : EqualsNoCase(a->text, b->text);
  }

  // How many leading used fields two rows share.
  size_t SharedFields(size_t a, size_t b) const {
    size_t k = 0;
    while (k < used_.size() && SameValue(Cell(a, k), Cell(b, k))) ++k;
    return k;
  }

  // ---- Totals ------------------------------------------------------------
  void Accumulate(size_t row) {
    for (size_t level = 0; level <= depth_; ++level) {
      LevelTotals& totals = levels_[level];
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

  // The totals of one level's group, field by field (nullopt: no total).
  std::vector<std::optional<double>> TotalsOf(const LevelTotals& totals) const {
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

  std::optional<double> Recalculate(size_t field, const std::vector<std::optional<double>>& values,
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

  void WriteTotals(size_t level) {
    const LevelTotals& totals = levels_[level];
    const std::vector<std::optional<double>> values = TotalsOf(totals);
    if (std::none_of(values.begin(), values.end(), [](const auto& v) { return v.has_value(); })) return;
    const std::string description = level == 0 ? std::string() : GroupDescription(totals.first_row, level);
    if (options_.columns) {
      if (level == 0)
        Out("---- Grand Total --------------------------------------\n");
      else if (!options_.totals_only)
        Out("---- Total for " + description + " ----\n");
      for (size_t f = depth_; f < used_.size(); ++f) {
        if (!values[f])
          LeftCell({}, widths_[f]);
        else
          RightCell(FormatReportNumber(*values[f], used_[f].places < 15 ? used_[f].places : 4, options_.use_commas),
                    widths_[f]);
      }
      EndLine();
    } else {
      Out(level == 0 ? std::string("Grand Total:\n") : "Total for " + description + ":\n");
      for (size_t f = depth_; f < used_.size(); ++f) {
        if (!values[f]) continue;
        LeftCell(used_[f].note, note_width_);
        Out(StrPrintf("%20.*f\n", BoundPlaces(used_[f].places), *values[f]));
      }
    }
    Out("\n");
  }

  void CloseLevel(size_t level) {
    if (levels_[level].entries > 1 || options_.totals_only) WriteTotals(level);
    levels_[level] = LevelTotals{std::vector<FieldTotal>(used_.size()), 0, 0};
  }

  void WriteEntries() {
    levels_.assign(depth_ + 1, LevelTotals{std::vector<FieldTotal>(used_.size()), 0, 0});
    bool heading_due = true;
    size_t rows_written = 0;
    for (size_t i = 0; i < items_.size(); ++i) {
      const Item& item = items_[i];
      if (item.text != nullptr) {
        Out(item.text->text);
        Out("\n");
        text_just_written_ = true;
        continue;
      }
      if (heading_due) WriteHeading(item.row);
      heading_due = false;
      text_just_written_ = false;
      if (!options_.totals_only) {
        if (options_.columns)
          WriteDataLine(item.row);
        else
          WriteFieldLines(item.row);
      }
      previous_row_ = item.row;
      Accumulate(item.row);
      ++rows_written;
      // Which groups end before the next data row; after the last one,
      // every group and the grand total.
      size_t next = i + 1;
      while (next < items_.size() && items_[next].text != nullptr) ++next;
      const size_t shared = next == items_.size() ? 0 : SharedFields(item.row, items_[next].row);
      for (size_t level = depth_; level > shared; --level) {
        CloseLevel(level);
        heading_due = true;
      }
      if (next == items_.size() && (rows_written > 1 || options_.totals_only)) WriteTotals(0);
    }
  }

  const TextReportInput& input_;
  const std::vector<ReportField>& used_;
  const FormatOptions& options_;
  std::FILE* file_;
  size_t depth_ = 0;
  std::vector<TotalOption> totals_;
  std::vector<std::string> weight_keys_;
  std::vector<const ReportNode*> nodes_;
  std::vector<const ReportToken*> cells_;
  std::vector<Item> items_;
  std::vector<int> widths_;
  int note_width_ = 0;
  std::vector<LevelTotals> levels_;
  long previous_row_ = -1;
  bool text_just_written_ = false;
  std::string buffer_;
};

}  // namespace

TextReportResult WriteTextReport(const TextReportInput& input, const std::filesystem::path& output) {
  if (input.options.totals_depth > kMaxTotalsDepth) return TextReportResult::kDepthNotSupported;
  if (input.used.empty()) return TextReportResult::kNothingUsed;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(output.c_str(), "wb"), &std::fclose);
  if (!file) {
    ReportTrace("Can't open output file %s", output.string().c_str());
    return TextReportResult::kCannotOpen;
  }
  TextReportWriter(input, file.get()).Write();
  return TextReportResult::kWritten;
}

}  // namespace pelikon
