// Tagging: which entries take part in the next operation, and the counters
// of tagged entries shown under the panes. Tags exist in one pane at a time:
// every selection change clears both panes before tagging the selection.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/panes/dir_list.h"

namespace pelikon {

struct TagCounters {
  int total_tagged = 0;
  int local_tagged = 0;
  int remote_tagged = 0;
  double local_bytes = 0;
  double remote_bytes = 0;
  double total_bytes = 0;
  bool local_has_focus = true;
};

void ClearTags(DirList& list);
// Clears the tags of both panes and every counter; the focus flag stays.
void ClearAllTags(DirList& local, DirList& remote, TagCounters& counters);

// A selection change in `side`'s view: clears both panes' tags and all
// counters, then tags each selected row (an index into that pane's entries;
// indexes out of range, or given twice, count once or not at all). A tagged
// file adds its bytes (`EntryBytes`); a tagged folder counts without bytes.
// The focus flag is left alone.
void TagSelection(DirList& local, DirList& remote, PaneSide side, const std::vector<size_t>& selected_rows,
                  TagCounters& counters);

// `side`'s pane was filled anew: its entries are new and untagged, so its
// tagged entries and bytes are taken off the counters.
void ForgetPaneTags(PaneSide side, TagCounters& counters);

// `side`'s pane gained the focus: the focus flag follows it and its
// selection is tagged again (which clears the other pane's tags; the caller
// deselects the other view's rows).
void FocusPane(DirList& local, DirList& remote, PaneSide side, const std::vector<size_t>& selected_rows,
               TagCounters& counters);

// "Tagged LOCAL Files: " or "Tagged REMOTE Files: " (by the focus) and the
// tagged count in total, in decimal.
std::string TaggedCountText(const TagCounters& counters);
// "Bytes: " and the tagged bytes in total (`CounterText`).
std::string TaggedBytesText(const TagCounters& counters);

// The three counter lines of a pane.
struct PaneCounterTexts {
  std::string total_files;  // "Total Files: " and the file count
  std::string bytes;        // "Bytes: " and the byte total
  std::string bytes_free;   // "Bytes Free: " and the free bytes
};
PaneCounterTexts PaneCounters(const DirList& list);

}  // namespace pelikon
