// Reads arbitrary bytes as the history file beside a small CRD file:
// parsing, resolving against the points and undoing everything must stay
// within the bytes and finish, and every entry must come from a whole
// transaction (at least three bytes each) and, unresolved, read exactly as
// the plain parser reads it. The files live in memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "coord/crd/crd_file.h"
#include "coord/crd/crd_memory_storage.h"
#include "coord/history/crd_history.h"
#include "coord/history/history_commands.h"
#include "coord/history/history_format.h"
#include "fuzz_work_folder.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pelikon_fuzz::UseWorkFolder("/tmp/pelikon-history-fuzz");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto parsed = pelikon::ParseHistory(bytes);
  if (parsed && parsed->size() * 3 > size) std::abort();

  pelikon::MemoryCrdStorage storage;
  pelikon::FakeClock clock;
  pelikon::CrdEnvironment environment;
  environment.storage = &storage;
  environment.clock = &clock;
  pelikon::CrdFile file(environment);
  if (!file.Open("job.crd", 1, pelikon::kCrdAlphanumeric)) std::abort();
  file.StorePoint(pelikon::CrdPoint("1", 1, 2, 3, "A"));
  file.StorePoint(pelikon::CrdPoint("7", 4, 5, 6, "B"));
  storage.Put("job.his", data, size);

  const pelikon::HistoryList entries = pelikon::ReadHistory(file, {}, true);
  if (entries.size() != (parsed ? parsed->size() : 0)) std::abort();
  for (const pelikon::HistoryEntry& entry : entries) {
    if (!entry.resolved) std::abort();
    pelikon::CommandDescription(entry.command);
  }
  // Unresolved, every entry is its transaction as the plain parser reads it.
  const pelikon::HistoryList recorded = pelikon::ReadHistory(file, {}, false);
  for (size_t i = 0; i < recorded.size(); ++i) {
    const pelikon::HistoryTransaction& t = (*parsed)[parsed->size() - 1 - i];
    const pelikon::HistoryEntry entry = recorded[i];
    if (entry.id != t.id || entry.flags != t.flags || entry.command != t.command || entry.text != t.text ||
        entry.user != t.user || entry.time != t.time || entry.before.Id() != t.before.Id() ||
        entry.before.Description() != t.before.Description() || entry.before.Code() != t.before.Code() ||
        std::memcmp(&entry.before.easting, &t.before.easting, sizeof(double)) != 0 ||
        std::memcmp(&entry.before.northing, &t.before.northing, sizeof(double)) != 0 ||
        std::memcmp(&entry.before.elevation, &t.before.elevation, sizeof(double)) != 0)
      std::abort();
  }
  pelikon::ReadHistory(file, "1-5,A", false);
  pelikon::UndoHistory(file, entries, INT32_MIN);
  file.Close();
  if (storage.Get("job.his") != std::string(bytes)) std::abort();  // reading and undoing never write it
  return 0;
}
