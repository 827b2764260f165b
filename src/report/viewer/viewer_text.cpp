#include "report/viewer/viewer_text.h"

#include "platform/atomic_file.h"

namespace pelikon {

namespace {

std::string WithoutDegreeSigns(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xB0) {
      shown.push_back('d');
      ++i;
    } else {
      shown.push_back(byte == 0xB0 ? 'd' : text[i]);
    }
  }
  return shown;
}

}  // namespace

bool LoadViewerText(const std::filesystem::path& file, bool degree_symbols, ViewerText& loaded) {
  std::string content;
  if (!ReadWholeFile(file, content)) return false;
  loaded = ViewerText{};
  loaded.is_report = file.filename().string().find("tobrrprt.tmp") != std::string::npos;
  if (loaded.is_report) {
    const size_t end = content.find('\n');
    std::string_view first = std::string_view(content).substr(0, end);
    if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
    const size_t blanks = first.find("  ");
    loaded.title = std::string(first.substr(0, std::min<size_t>(blanks, 128)));
    if (first.size() < 120 && first.find("No Date Time") != std::string_view::npos)
      content.erase(0, end == std::string::npos ? content.size() : end + 1);
    if (!degree_symbols) content = WithoutDegreeSigns(content);
  }
  loaded.text = std::move(content);
  return true;
}

std::filesystem::path SuggestedReportFile(const std::filesystem::path& folder, std::string_view title) {
  if (title.empty()) return folder / "report.txt";
  std::string name(title);
  for (char& c : name)
    if (c == '/') c = '_';
  return folder / (name + ".txt");
}

}  // namespace pelikon
