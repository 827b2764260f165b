#include "app/panes/tagging.h"

#include "app/panes/pane_texts.h"
#include "platform/catalogue.h"

namespace pelikon {

void ClearTags(DirList& list) {
  for (DirEntry& entry : list.entries) entry.tagged = false;
}

void ClearAllTags(DirList& local, DirList& remote, TagCounters& counters) {
  ClearTags(local);
  ClearTags(remote);
  const bool local_has_focus = counters.local_has_focus;
  counters = TagCounters{};
  counters.local_has_focus = local_has_focus;
}

void TagSelection(DirList& local, DirList& remote, PaneSide side, const std::vector<size_t>& selected_rows,
                  TagCounters& counters) {
  ClearAllTags(local, remote, counters);
  const bool is_local = side == PaneSide::kLocal;
  DirList& list = is_local ? local : remote;
  int& pane_tagged = is_local ? counters.local_tagged : counters.remote_tagged;
  double& pane_bytes = is_local ? counters.local_bytes : counters.remote_bytes;
  for (const size_t row : selected_rows) {
    if (row >= list.entries.size()) continue;
    DirEntry& entry = list.entries[row];
    if (entry.tagged) continue;
    entry.tagged = true;
    ++pane_tagged;
    ++counters.total_tagged;
    const double bytes = EntryBytes(entry);
    pane_bytes += bytes;
    counters.total_bytes += bytes;
  }
}

void ForgetPaneTags(PaneSide side, TagCounters& counters) {
  const bool is_local = side == PaneSide::kLocal;
  int& pane_tagged = is_local ? counters.local_tagged : counters.remote_tagged;
  double& pane_bytes = is_local ? counters.local_bytes : counters.remote_bytes;
  counters.total_tagged -= pane_tagged;
  counters.total_bytes -= pane_bytes;
  pane_tagged = 0;
  pane_bytes = 0;
}

void FocusPane(DirList& local, DirList& remote, PaneSide side, const std::vector<size_t>& selected_rows,
               TagCounters& counters) {
  counters.local_has_focus = side == PaneSide::kLocal;
  TagSelection(local, remote, side, selected_rows, counters);
}

std::string TaggedCountText(const TagCounters& counters) {
  const char* prefix = counters.local_has_focus ? Tr("Tagged LOCAL Files: ") : Tr("Tagged REMOTE Files: ");
  return prefix + std::to_string(counters.total_tagged);
}

std::string TaggedBytesText(const TagCounters& counters) {
  return Tr("Bytes: ") + CounterText(counters.total_bytes);
}

PaneCounterTexts PaneCounters(const DirList& list) {
  return {Tr("Total Files: ") + CounterText(list.file_count), Tr("Bytes: ") + CounterText(list.byte_total),
          Tr("Bytes Free: ") + CounterText(list.free_bytes)};
}

}  // namespace pelikon
