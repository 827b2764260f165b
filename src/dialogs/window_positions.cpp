#include "dialogs/window_positions.h"

#include <array>
#include <charconv>
#include <fstream>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

std::string PlacementLine(std::string_view name, const WindowPlacement& placement) {
  return StrPrintf("%s,%ld,%ld,%ld,%ld,%d\n", std::string(name).c_str(), placement.left, placement.top, placement.right,
                   placement.bottom, placement.maximized ? 1 : 0);
}

bool BelongsTo(std::string_view line, std::string_view name) {
  return line.size() > name.size() && line.substr(0, name.size()) == name && line[name.size()] == ',';
}

bool ReadNumber(std::string_view field, long& value) {
  field = Trim(field, " \t");
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc() && end == field.data() + field.size();
}

// The five numbers after the name; nothing unless there are exactly five.
std::optional<WindowPlacement> ParsePlacement(std::string_view fields) {
  std::array<long, 5> numbers{};
  for (size_t i = 0; i < numbers.size(); ++i) {
    const size_t comma = fields.find(',');
    const bool last = i + 1 == numbers.size();
    if (last != (comma == std::string_view::npos)) return std::nullopt;
    if (!ReadNumber(fields.substr(0, comma), numbers[i])) return std::nullopt;
    if (!last) fields.remove_prefix(comma + 1);
  }
  return WindowPlacement{numbers[0], numbers[1], numbers[2], numbers[3], numbers[4] != 0};
}

template <typename Visit>
void ForEachLine(std::string_view content, Visit visit) {
  while (!content.empty()) {
    const size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content.remove_prefix(end == std::string_view::npos ? content.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!visit(line)) return;
  }
}

bool WriteTwin(const std::filesystem::path& twin, const std::string& content) {
  std::ofstream out(twin, std::ios::binary | std::ios::trunc);
  out << content;
  out.close();
  return !out.fail();
}

}  // namespace

bool IsWindowKey(std::string_view name) {
  if (name.empty()) return false;
  for (const char c : name)
    if (c == ',' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  return true;
}

int SaveWindowPlacement(const std::filesystem::path& folder, std::string_view name, const WindowPlacement& placement,
                        bool minimized) {
  if (minimized) return 0;
  if (!IsWindowKey(name)) {
    Trace("Window position not saved: unusable window name");
    return 0;
  }
  const std::filesystem::path file = folder / kWindowPositionsFile;
  const std::filesystem::path twin = folder / kWindowPositionsTwin;
  std::string old_content;
  std::error_code error;
  // A file that is there but cannot be read is not replaced, so that the
  // other windows' lines are not lost.
  if (std::filesystem::exists(file, error) && !ReadWholeFile(file, old_content)) {
    Trace("Window position not saved: %s cannot be read", file.c_str());
    return 0;
  }
  std::string content;
  ForEachLine(old_content, [&](std::string_view line) {
    if (!line.empty() && !BelongsTo(line, name)) content.append(line).append("\n");
    return true;
  });
  content += PlacementLine(name, placement);
  const bool written = WriteTwin(twin, content) && !ReplaceWithTwin(twin, file);
  if (!written) {
    Trace("Window position not saved: %s cannot be written", file.c_str());
    std::filesystem::remove(twin, error);
    return 0;
  }
  return 1;
}

std::optional<WindowPlacement> LoadWindowPlacement(const std::filesystem::path& folder, std::string_view name) {
  if (!IsWindowKey(name)) return std::nullopt;
  std::string content;
  if (!ReadWholeFile(folder / kWindowPositionsFile, content)) return std::nullopt;
  std::optional<WindowPlacement> placement;
  ForEachLine(content, [&](std::string_view line) {
    if (!BelongsTo(line, name)) return true;
    placement = ParsePlacement(line.substr(name.size() + 1));
    return false;
  });
  return placement;
}

WindowPlacement ClampToScreen(WindowPlacement placement, const ScreenArea& screen) {
  if (placement.left < 0 || placement.left > screen.maximized_width) placement.left = 0;
  if (placement.top < 0 || placement.top > screen.maximized_height) placement.top = 0;
  if (placement.right < 0 || placement.right > screen.width) placement.right = screen.width;
  if (placement.bottom < 0 || placement.bottom > screen.height) placement.bottom = screen.height;
  return placement;
}

RestoreStep ChooseRestoreStep(const WindowPlacement& placement, bool has_maximize_box, bool resizable) {
  if (placement.maximized && has_maximize_box) return RestoreStep::kMaximize;
  const bool has_area = placement.right > placement.left && placement.bottom > placement.top;
  return resizable && has_area ? RestoreStep::kMoveAndSize : RestoreStep::kMove;
}

}  // namespace pelikon
