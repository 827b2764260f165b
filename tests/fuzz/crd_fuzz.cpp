// Opens arbitrary bytes as a CRD file and works with it: walks, lookups,
// stores and a deletion must stay within the file and finish. A file that
// does not open is left exactly as it was, and no working copy or twin is
// ever left behind. The files live in memory, so each input costs no
// system call.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "coord/crd/crd_file.h"
#include "coord/crd/crd_memory_storage.h"
#include "fuzz_work_folder.h"

namespace {

constexpr const char* kPath = "fuzz.crd";

size_t Walk(pelikon::CrdFile& file, const char* range, bool keep_all) {
  file.SetRange(range, keep_all);
  size_t n = 0;
  for (pelikon::CrdPoint p; file.Next(p);) ++n;
  return n;
}

void Exercise(pelikon::CrdFile& file, size_t size) {
  const int64_t records = file.PointCount();
  if (records < 0 || static_cast<uint64_t>(records) > size) std::abort();
  if (Walk(file, "ALL", true) > static_cast<size_t>(records)) std::abort();
  Walk(file, "", false);
  Walk(file, "5-1,A-,Z9-A0,7", false);

  pelikon::CrdPoint point;
  file.GetPointNear("5", point, true, 1);
  file.GetPointNear("A5", point, true, -1);
  file.GetPoint(file.Highest(), point, true);
  const std::vector<pelikon::CrdPoint> batch = {pelikon::CrdPoint("3", 1, 2, 3, "x"),
                                                pelikon::CrdPoint("A1", 0, 0, 0, "y")};
  file.StorePoint(batch[0], true);
  file.StorePoints(batch, true);
  if (file.IsOpen() && file.PointCount() < 1) std::abort();
  file.DeletePoints("2-4");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pelikon_fuzz::UseWorkFolder("/tmp/pelikon-crd-fuzz");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  pelikon::MemoryCrdStorage storage;
  storage.Put(kPath, data, size);
  pelikon::FakeClock clock;
  pelikon::CrdEnvironment environment;
  environment.storage = &storage;
  environment.clock = &clock;
  pelikon::CrdFile file(environment);
  if (file.Open(kPath)) {
    Exercise(file, size);
    file.Close();
  } else if (storage.Get(kPath) != std::string(reinterpret_cast<const char*>(data), size)) {
    std::abort();  // a file that did not open was written to
  }
  const std::vector<std::filesystem::path> left = storage.Paths();
  if (left.size() != 1 || left[0] != kPath) std::abort();
  return 0;
}
