// An open CRD coordinate file: what callers use to read, search, store and
// delete points. A CrdFile is closed until Open; it owns the handler of the
// open file and closes it in Close or when destroyed. Open, work, close:
// the file stays locked against every other opener meanwhile.
//
// Operations return 1 on success and 0 on failure unless said otherwise;
// LastError() then holds the CrdError. Diagnostics go to the trace.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "coord/crd/crd_environment.h"
#include "coord/crd/crd_history_recorder.h"
#include "coord/crd/crd_io.h"
#include "coord/crd/crd_list.h"
#include "coord/crd/crd_point.h"

namespace pelikon {

class CrdFile : public CrdList {
 public:
  explicit CrdFile(CrdEnvironment environment = {});
  ~CrdFile() override;

  // Opens `path`, or creates it when `create` is 1 or the file is missing
  // or empty. `format` -1 lets the extension decide. An existing file that
  // another opener holds is waited for: 1.5 s, 5 s and 15 s, then given up.
  int Open(const std::filesystem::path& path, int create = 0, int format = kNoFormat);
  void Close();
  bool IsOpen() const { return handler_ != nullptr; }
  // The format code; -1 when closed.
  int Format() const;
  std::filesystem::path Path() const;
  // Identifier texts; empty when closed or when the file has no points.
  std::string Highest() const;
  std::string Lowest() const;
  // With no range (or "ALL" on an alphanumeric file) the number of records;
  // otherwise the number of points the range selects.
  int64_t PointCount(std::string_view range = {});
  int LastError() const;

  // Exact lookup; writes diagnostics unless `quiet`.
  int GetPoint(std::string_view id, CrdPoint& point, bool quiet = false);
  // With `direction` +1 or -1: `id`, or the nearest stored point beyond it
  // in that direction.
  int GetPointNear(std::string_view id, CrdPoint& point, bool quiet, int direction);
  // Inserts or overwrites; the identifier is trimmed first.
  int StorePoint(const CrdPoint& point, bool quiet = false, int command = kNoHistoryCommand,
                 std::string_view detail = {});
  // Stores a batch in one pass through a twin file (the same bytes as
  // storing them one after another). Returns the number stored; `errors`
  // receives each point's code.
  int64_t StorePoints(std::span<const CrdPoint> points, bool quiet = false, int command = kNoHistoryCommand,
                      std::string_view detail = {}, std::vector<int>* errors = nullptr);
  // The same for the points `next` gives until it gives null (about
  // `expected` of them), so that they need not be gathered first.
  int64_t StorePoints(const CrdIO::PointSource& next, size_t expected, bool quiet = false,
                      int command = kNoHistoryCommand, std::string_view detail = {},
                      std::vector<int>* errors = nullptr);
  // Every stored point in file order, as stepping through "ALL" in file
  // order yields them, read in large blocks (see CrdIO::ForEachPoint); the
  // point passed is reused. 0 when closed or when a read failed midway.
  int ForEachPoint(const std::function<void(const CrdPoint&)>& visit);
  // Removes the points `range` selects; returns how many.
  int64_t DeletePoints(std::string_view range);
  // Removes every point, keeping the header values.
  int ClearAll();
  // Closes and deletes the file; with `remove_companions` its history and
  // group files too.
  int DeleteFile(bool remove_companions);
  int RenameTo(const std::filesystem::path& new_path);
  // Takes over the header values of another open file.
  int CopyFrom(const CrdFile& other);
  int SetHeaderText(std::string_view text);
  int SetHeaderNumber(std::string_view text);
  int SetHeaderDate(std::string_view text);
  std::string HeaderText() const;
  std::string HeaderNumber() const;
  std::string HeaderDate() const;
  // The next identifier after `text`, kept within 1..99999 in a numeric file.
  int NextPointId(std::string& text, int64_t step) const;

  CrdIO* Handler() const { return handler_.get(); }
  const CrdEnvironment& Environment() const { return environment_; }

  // ---- History ----------------------------------------------------------------
  bool HistoryEnabled() const { return history_enabled_; }
  void SetHistoryEnabled(bool enabled) { history_enabled_ = enabled; }
  // Pushes the flag and turns history off / pops it back.
  void SuspendHistory();
  void ResumeHistory();
  void SetHistoryRecorder(std::unique_ptr<CrdHistoryRecorder> recorder);
  // Reports one change when history is enabled, a recorder is attached and
  // `command` is not kNoHistoryCommand.
  void RecordHistory(const CrdPoint* after, const CrdPoint* before, int command, std::string_view text);

 private:
  bool Recording(int command) const;
  void RemoveCompanions(const std::filesystem::path& path) const;

  CrdEnvironment environment_;
  std::unique_ptr<CrdIO> handler_;
  int closed_error_ = 0;  // the last error while no handler is open
  bool history_enabled_;
  std::string saved_history_flags_;  // '0'/'1', newest first
  std::unique_ptr<CrdHistoryRecorder> history_;
};

}  // namespace pelikon
