// The text report: the report's entries laid out under the used fields —
// columns (or one field per line), sorted by the fields' sort modes,
// grouped by the first `totals_depth` fields with sub-totals and a grand
// total — written to a file ("tobrrprt.tmp" in the data folder).
//
// Totals by a field's total option: a sum of its reals; none; an average
// weighted by another field, sum(value * weight) / sum(weight) over the
// group's entries that have both (no total when the weights add up to 0);
// or its user-defined attribute's equation evaluated again on the totals.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "report/attribute_store.h"
#include "report/format_store.h"
#include "report/report_fields.h"
#include "report/report_model.h"

namespace pelikon {

inline constexpr const char* kTextReportFile = "tobrrprt.tmp";
inline constexpr int kMaxTotalsDepth = 4;

enum class TextReportResult {
  kWritten,
  kDepthNotSupported,  // totals depth of 5 or more
  kNothingUsed,        // no used field
  kCannotOpen,         // the output file (traced)
};

struct TextReportInput {
  const Report* report = nullptr;
  std::vector<ReportField> used;
  FormatOptions options;
  // Equations for fields totalled by recalculation.
  std::vector<UserAttribute> attributes;
};

TextReportResult WriteTextReport(const TextReportInput& input, const std::filesystem::path& output);

// "%.*f" with thousands separated by commas when asked.
std::string FormatReportNumber(double value, int places, bool commas);

}  // namespace pelikon
