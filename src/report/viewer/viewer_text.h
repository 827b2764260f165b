// What the report viewer shows of a file: the text, and for a report
// ("tobrrprt.tmp" in its name) the title taken from its first line — up to
// the first two blanks, at most 128 characters. A report's first line
// shorter than 120 characters holding "No Date Time" is left out, and
// without degree symbols each degree sign (byte 0xB0, or its UTF-8 form)
// shows as "d".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace pelikon {

struct ViewerText {
  std::string text;
  std::string title;  // reports only
  bool is_report = false;
};

// False when the file cannot be read.
bool LoadViewerText(const std::filesystem::path& file, bool degree_symbols, ViewerText& loaded);

// The file name Save As and Append To suggest for a report: the title and
// ".txt" in `folder`, or "report.txt" without a title.
std::filesystem::path SuggestedReportFile(const std::filesystem::path& folder, std::string_view title);

}  // namespace pelikon
