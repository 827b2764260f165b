// One report in the library's memory: a list of entries (data entries with
// their tokens, and text lines) in the order the host built them, and the
// stack of reports a host may nest (at most five exist at a time).
//
// The entry and token records are plain structures so that their pointers
// can cross the library's C interface (GetCurrentReport, GetToken). Every
// text is the library's own copy, kept in the report's arena: keys, notes
// and total keys are stored once per report however many tokens share
// them. Memory goes back when the report is freed; a dumped entry's
// records are reused by the next ones.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

// A value of an entry. The names are those of the library's interface.
struct ReportToken {
  ReportToken* next;
  const char* key;      // "(" "[" → "{", ")" "]" → "}", "+-/*^" → "_"
  const char* note;     // the field's visible name
  const char* averkey;  // null: summed; "": no total; "__RECALC"; or a weight key
  const char* text;     // string tokens
  double real;          // real tokens
  int type;             // kReportReal or kReportString
  int places;           // decimals shown
  unsigned char is_averaged;
  unsigned char is_sorted;  // the field's first sort mode, 0 to 4
};

// An entry of a report: data (with tokens) or a text line.
struct ReportNode {
  ReportNode* next;
  ReportToken* tokens;
  ReportToken* last_token;
  const char* report_name;
  const char* text;  // text entries
  int kind;          // kReportDataEntry or kReportTextEntry
  int number;        // data entries: 0 for the first node, then 1, 2, ...
};

namespace pelikon {

inline constexpr int kReportReal = 5001;
inline constexpr int kReportString = 5005;
inline constexpr int kReportDataEntry = 0;
inline constexpr int kReportTextEntry = 1;
inline constexpr int kMaxReports = 5;

// The key as stored: brackets become braces, operator characters "_".
std::string ReportKey(std::string_view key);

// The first token of the list whose key equals `key` without regard to case.
const ReportToken* FindToken(const ReportToken* list, std::string_view key);

// A token as a host hands it in, before it is copied.
struct TokenValue {
  std::string_view key;
  std::string_view note;
  int type = kReportString;
  std::string_view text;
  double real = 0;
  int places = 3;
  const char* averkey = nullptr;  // null: none given
  unsigned char is_sorted = 1;
};

class Report {
 public:
  explicit Report(std::string_view name);
  ~Report();
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  const char* Name() const { return name_; }
  ReportNode* First() const { return first_; }
  ReportNode* CurrentEntry() const { return current_; }

  // Makes the first data entry current while it has no tokens; otherwise
  // appends a numbered data entry after the last one appended (or, with
  // `at_end`, after the last node: how a saved report is read back).
  void StartEntry(bool at_end = false);
  // Appends a token to the current entry (nothing without one). Keys are
  // rewritten; averkey, when given, marks the token averaged.
  void AddToken(const TokenValue& value);
  // The same for a given data entry of this report, current or not.
  void AddTokenTo(ReportNode* entry, const TokenValue& value);
  // As the host's text lines go: after a last node that is text or has
  // tokens, else just before that last (empty) data entry.
  void AddTextEntry(std::string_view text);
  void FinishEntry() { current_ = nullptr; }
  // Unlinks and forgets the current entry (the first node only loses its
  // tokens).
  void DumpEntry();
  // Header fields of the finished report ("Project: %s" and the like).
  void AddFieldEntry(std::string_view name, std::string_view text);
  const std::vector<std::pair<std::string, std::string>>& Fields() const { return fields_; }

  // The next data entry's number, kept when a report is suspended.
  int NextNumber() const { return next_number_; }

  // A copy of `text` that lives as long as the report; equal texts
  // asked for with `shared` are stored once.
  const char* Keep(std::string_view text, bool shared);

 private:
  ReportNode* NewNode(int kind);
  ReportNode* LastNode() const;
  ReportNode* PreviousOf(const ReportNode* node) const;
  void ReleaseTokens(ReportNode* node);

  class Arena;
  std::unique_ptr<Arena> arena_;
  const char* name_;
  ReportNode* first_ = nullptr;
  ReportNode* current_ = nullptr;
  ReportNode* last_appended_ = nullptr;  // the last data entry appended
  int next_number_ = 1;
  std::vector<std::pair<std::string, std::string>> fields_;
  ReportNode* free_nodes_ = nullptr;
  ReportToken* free_tokens_ = nullptr;
};

// The reports of the process: the current one and those suspended under it.
class ReportStack {
 public:
  // False (nothing changed) when kMaxReports exist already.
  bool Start(std::string_view name);
  Report* Current() const { return reports_.empty() ? nullptr : reports_.back().get(); }
  // Frees the current report; the one suspended last becomes current again.
  void Drop();
  // Takes the current report out (the one under it becomes current).
  std::unique_ptr<Report> Take();
  size_t Count() const { return reports_.size(); }

 private:
  std::vector<std::unique_ptr<Report>> reports_;
};

}  // namespace pelikon
