// A report as the formatter lays it out, whatever it is written as: the
// data entries under the used fields (a row of tokens each), sorted; the
// text lines where they stand; the groups of the first `totals_depth`
// fields with their headings and totals, and the grand total. The walk
// hands these, in order, to a sink: the text report, or a table.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "report/attribute_store.h"
#include "report/text_report.h"

namespace pelikon {

class LayoutSink {
 public:
  virtual ~LayoutSink() = default;
  virtual void Text(const char* text) = 0;
  // Before the first data row and the first row of every new group.
  virtual void Heading(size_t row) = 0;
  virtual void Data(size_t row) = 0;
  // A group's totals (level 0: the grand total), one per used field;
  // called only when some field has one. `description` names the group.
  virtual void Totals(size_t level, const std::vector<std::optional<double>>& values,
                      const std::string& description) = 0;
};

class ReportLayout {
 public:
  // Collects and sorts the rows (tracing when text lines between data
  // entries keep the host's order).
  explicit ReportLayout(const TextReportInput& input);

  size_t Rows() const { return nodes_.size(); }
  const ReportToken* Cell(size_t row, size_t field) const { return cells_[row * used_.size() + field]; }
  // The report's data entry behind a row.
  const ReportNode* Entry(size_t row) const { return nodes_[row]; }
  const std::vector<ReportField>& Used() const { return used_; }
  size_t Depth() const { return depth_; }
  // Whether the field takes part in totals (its total option is not "none").
  bool Totalled(size_t field) const { return totals_[field] != TotalOption::kNone; }
  // "Note: value, Note: value" for the first `count` used fields of a row.
  std::string GroupDescription(size_t row, size_t count) const;
  // Equal for grouping and repeats: both missing, equal reals, or texts
  // equal without regard to case.
  static bool SameValue(const ReportToken* a, const ReportToken* b);

  void Walk(LayoutSink& sink) const;

 private:
  struct Item {
    const ReportNode* text = nullptr;  // a text entry, or
    uint32_t row = 0;                  // a data row
  };
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

  void CollectRows();
  void OrderRows();
  size_t SharedFields(size_t a, size_t b) const;
  void Accumulate(std::vector<LevelTotals>& levels, size_t row) const;
  std::vector<std::optional<double>> TotalsOf(const LevelTotals& totals) const;
  std::optional<double> Recalculate(size_t field, const std::vector<std::optional<double>>& values,
                                    const LevelTotals& totals) const;
  void CloseLevel(LayoutSink& sink, std::vector<LevelTotals>& levels, size_t level) const;
  void EmitTotals(LayoutSink& sink, const LevelTotals& totals, size_t level) const;

  const TextReportInput& input_;
  const std::vector<ReportField>& used_;
  size_t depth_ = 0;
  std::vector<TotalOption> totals_;
  std::vector<std::string> weight_keys_;
  std::vector<const ReportNode*> nodes_;
  std::vector<const ReportToken*> cells_;
  std::vector<Item> items_;
};

}  // namespace pelikon
