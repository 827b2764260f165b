#include "report/report_line.h"

#include "platform/text.h"
#include "report/format_store.h"
#include "report/text_report.h"

namespace pelikon {

std::string BuildReportLine(std::string_view line_template, const ReportToken* tokens) {
  std::string line;
  size_t at = 0;
  while (at < line_template.size() && line.size() < kReportLineLimit) {
    if (line_template[at] == '"') {
      const size_t close = line_template.find('"', at + 1);
      line += line_template.substr(at + 1, close == std::string_view::npos ? std::string_view::npos : close - at - 1);
      if (close == std::string_view::npos) break;
      at = line_template.find('+', close + 1);
    } else {
      const size_t plus = line_template.find('+', at);
      const std::string_view key = Trim(line_template.substr(at, plus == std::string_view::npos ? plus : plus - at));
      if (const ReportToken* token = FindToken(tokens, ReportKey(key))) {
        line += token->type == kReportReal ? FormatReportNumber(token->real, token->places, false) : token->text;
      }
      at = plus;
    }
    if (at == std::string_view::npos) break;
    ++at;  // past the "+"
  }
  if (line.size() > kReportLineLimit) line.resize(kReportLineLimit);
  return line;
}

}  // namespace pelikon
