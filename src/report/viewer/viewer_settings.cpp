#include "report/viewer/viewer_settings.h"

#include "platform/atomic_file.h"
#include "platform/text.h"
#include "report/report_trace.h"

namespace pelikon {

ViewerSettings ReadViewerSettings(const std::filesystem::path& data_folder) {
  ViewerSettings settings;
  std::string content;
  if (!ReadWholeFile(data_folder / kViewerSettingsFile, content)) return settings;
  size_t at = 0;
  while (at < content.size()) {
    size_t end = content.find('\n', at);
    if (end == std::string::npos) end = content.size();
    const std::string_view line = TrimRight(std::string_view(content).substr(at, end - at), "\r");
    at = end + 1;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, equals));
    const std::string_view value = line.substr(equals + 1);
    const int number = LenientInt32(value);
    if (key == "pformat")
      settings.print_format = number != 0;
    else if (key == "pageno")
      settings.page_numbers = number != 0;
    else if (key == "ln_pg")
      settings.lines_per_page = number;
    else if (key == "lmargin")
      settings.left_margin = number;
    else if (key == "tmargin")
      settings.top_margin = number;
    else if (key == "bmargin")
      settings.bottom_margin = number;
    else if (key == "degsym")
      settings.degree_symbols = number != 0;
    else if (key == "font_name")
      settings.font_name = std::string(value);
    else if (key == "font_size")
      settings.font_size = number < 5 ? 10 : number;
    else if (key == "font_weight")
      settings.font_weight = number;
    else if (key == "pfont_name")
      settings.printer_font_name = std::string(value);
    else if (key == "pfont_size")
      settings.printer_font_size = number;
    else if (key == "pfont_weight")
      settings.printer_font_weight = number;
  }
  return settings;
}

bool WriteViewerSettings(const std::filesystem::path& data_folder, const ViewerSettings& s) {
  const std::string content = StrPrintf(
      "pformat=%d\npageno=%d\nln_pg=%d\nlmargin=%d\ntmargin=%d\nbmargin=%d\ndegsym=%d\nfont_name=%s\nfont_size=%d\n"
      "font_weight=%d\npfont_name=%s\npfont_size=%d\npfont_weight=%d\n",
      s.print_format ? 1 : 0, s.page_numbers ? 1 : 0, s.lines_per_page, s.left_margin, s.top_margin, s.bottom_margin,
      s.degree_symbols ? 1 : 0, s.font_name.c_str(), s.font_size, s.font_weight, s.printer_font_name.c_str(),
      s.printer_font_size, s.printer_font_weight);
  const std::filesystem::path file = data_folder / kViewerSettingsFile;
  if (!WriteFileAtomically(file, content)) return true;
  ReportTrace("\nCan't write file %s", file.string().c_str());
  return false;
}

}  // namespace pelikon
