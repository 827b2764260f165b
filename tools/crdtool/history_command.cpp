#include "history_command.h"

#include <cstdio>

#include "coord/history/crd_history.h"
#include "coord/history/history_commands.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "point_lines.h"

namespace pelikon {

std::string HistoryLines(CrdFile& file, std::string_view range) {
  std::string lines;
  for (const HistoryEntry& entry : ReadHistory(file, range, true)) {
    lines += EscapeField(entry.id) + "\t" + std::to_string(entry.command) + "\t" +
             EscapeField(CommandDescription(entry.command)) + "\t" + EscapeField(entry.text) + "\t" +
             EscapeField(entry.user) + "\t" + std::to_string(entry.time) + "\t" + PointLine(entry.before) + "\t" +
             PointLine(entry.after) + "\n";
  }
  return lines;
}

int PrintHistory(CrdFile& file, std::string_view range) {
  const std::string lines = HistoryLines(file, range);
  const bool written = std::fwrite(lines.data(), 1, lines.size(), stdout) == lines.size();
  return written && std::fflush(stdout) == 0 ? pelikon_tools::kExitOk : pelikon_tools::kExitFailure;
}

bool ParseSince(std::string_view text, long& seconds) {
  return pelikon_tools::ParseWholeNumber(text, 0, 0x7FFFFFFFL, seconds);
}

int UndoSince(const pelikon_tools::ToolUsage& usage, CrdFile& file, long since, std::string_view range) {
  const HistoryList entries = ReadHistory(file, {}, true);
  if (UndoHistory(file, entries, since, range)) return pelikon_tools::kExitOk;
  std::string reason = StrPrintf(Tr("undo: some points of %s could not be put back"), file.Path().c_str());
  if (file.LastError() != kCrdOk) reason.append(": ").append(Tr(CrdErrorText(file.LastError())));
  return usage.Fail(reason);
}

}  // namespace pelikon
