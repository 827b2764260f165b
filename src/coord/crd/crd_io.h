// The handler of one open coordinate file. The interface would let other
// kinds of coordinate file be read the same way; CrdIOBrannock handles both
// CRD variants. A handler belongs to the CrdFile that created it.
//
// Every operation returns 1 (or a count) on success and 0 on failure, and
// leaves a CrdError in LastError().
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "coord/crd/crd_format.h"
#include "coord/crd/crd_point.h"
#include "coord/crd/crd_storage.h"

namespace pelikon {

class CrdFile;
class CrdList;

// A position in a file's records for stepping: -1 is before the first.
struct CrdCursor {
  int64_t index = -1;
  bool flag = false;
};

class CrdIO {
 public:
  explicit CrdIO(CrdFile& owner) : owner_(owner) {}
  virtual ~CrdIO() = default;
  CrdIO(const CrdIO&) = delete;
  CrdIO& operator=(const CrdIO&) = delete;

  virtual int Open(const std::filesystem::path& path) = 0;
  virtual int IsOpen() const = 0;
  // Creates a new, empty file of `format` at `path` and opens it.
  virtual int Create(const std::filesystem::path& path, int format) = 0;
  // Closes and deletes the file.
  virtual int DeleteFile() = 0;
  // Copies this file over `other`'s when both have the same format.
  virtual int CopyTo(CrdIO& other) = 0;
  virtual int RenameTo(const std::filesystem::path& new_path) = 0;
  // Puts the file at `path` in place of this one and opens it.
  virtual int ReplaceWith(const std::filesystem::path& path) = 0;

  // Records the file holds (a numeric file counts its empty slots too).
  virtual int64_t PointCount() const = 0;
  // Field widths, the terminator included.
  virtual int MaxIdLength() const = 0;
  virtual int MaxDescriptionLength() const = 0;
  virtual int HasDescriptions() const = 0;
  virtual std::string HighestPossibleId() const { return {}; }
  virtual std::string LowestPossibleId() const { return {}; }
  // 0 when `id` could be stored, else the error code storing would give.
  virtual int ValidateId(std::string_view id) const = 0;
  // Identifier order of this file.
  int CompareIds(std::string_view a, std::string_view b) const;

  // Looks `id` up; with direction +1 or -1 the nearest stored point at or
  // beyond it in that direction is taken when `id` itself is not stored.
  virtual int GetPoint(std::string_view id, CrdPoint& point, int direction, bool quiet) = 0;
  virtual int GetPointByIndex(int64_t index, CrdPoint& point) = 0;
  // Moves from the cursor's index (or the current one, without a cursor)
  // one stored point in `direction`.
  virtual int Step(CrdCursor* cursor, CrdPoint& point, int direction) = 0;
  virtual int64_t CurrentIndex() const = 0;
  // Calls `visit` with every stored point in file order: the points that
  // stepping from before the first record to the end yields, without the
  // round trip per point (a handler reads the file in large blocks). The
  // point passed is reused from call to call. 1 when the whole file was
  // read; 0 when a read failed, after the points before it.
  virtual int ForEachPoint(const std::function<void(const CrdPoint&)>& visit) = 0;

  // Inserts or overwrites one point; `old_point`, when given, receives the
  // point stored under that identifier before (empty identifier if none).
  virtual int StorePoint(const CrdPoint& point, bool quiet, CrdPoint* old_point) = 0;
  // Stores a batch in one pass, with the same result byte for byte as
  // storing the points one after another. `errors`, when given, receives
  // each point's error code. Returns the number of points stored; 0 with
  // nothing changed when the file could not be written.
  int64_t StorePoints(std::span<const CrdPoint> points, bool quiet, std::vector<int>* errors) {
    size_t next = 0;
    return StorePoints([&]() { return next < points.size() ? &points[next++] : nullptr; }, quiet, errors,
                       points.size());
  }
  // The same for the points `next` gives one after another until it gives
  // null (each pointer is read before the next call); `expected` is how
  // many there will likely be.
  using PointSource = std::function<const CrdPoint*()>;
  virtual int64_t StorePoints(const PointSource& next, bool quiet, std::vector<int>* errors, size_t expected) = 0;
  virtual int64_t DeletePoints(std::string_view range, CrdList& list) { return DeletePointsInRange(range, list); }
  // Keeps every point `list` yields that `range` does not select, through
  // a working copy that then replaces the file; the header values stay.
  // Returns the number of points left out.
  int64_t DeletePointsInRange(std::string_view range, CrdList& list);
  // Empties the file, keeping its header values; the companions go.
  int ClearAll();

  virtual int SetHeaderText(std::string_view) { return 0; }
  virtual int SetHeaderNumber(std::string_view) { return 0; }
  virtual int SetHeaderDate(std::string_view) { return 0; }
  virtual int WriteHeader() = 0;

  const std::string& Highest() const { return highest_; }
  const std::string& Lowest() const { return lowest_; }
  const std::filesystem::path& Path() const { return path_; }
  int Format() const { return format_; }
  int LastError() const { return last_error_; }
  const std::string& HeaderText() const { return header_text_; }
  const std::string& HeaderNumber() const { return header_number_; }
  const std::string& HeaderDate() const { return header_date_; }

 protected:
  // Where the owner's files live.
  CrdStorage& Storage() const;
  // Makes a new file of this handler's format at the working-copy name
  // with this file's header values; false (error left) when it cannot.
  bool StartWorkingCopy(CrdFile& copy);

  CrdFile& owner_;
  std::string highest_;
  std::string lowest_;
  std::filesystem::path path_;
  int format_ = kNoFormat;
  int last_error_ = kCrdOk;
  std::string header_text_;
  std::string header_number_;
  std::string header_date_;
};

}  // namespace pelikon
