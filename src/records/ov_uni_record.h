// A named record of named values, with child records and a next sibling:
// the generic unit in which points and other items are held, compared,
// sorted and written to XML files.
//
// Ownership follows the links: a record owns its values, its first child
// (and so every child) and its next sibling (and so the rest of its
// chain); deleting a record deletes all of these. To delete one record of
// a chain, unlink it first (RemoveFromChain, SetNext).
//
// Value names are looked up without regard to case. A chain's first
// record keeps an append cursor so that building a long chain does not
// walk it on every append; it stays right as long as the chain is changed
// through its first record (Append, RemoveFromChain, SetNext) or sorted
// with SortRecords.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "records/ov_uni_value.h"

namespace pelikon {

// What typed getters leave when they fail.
inline constexpr double kNoDoubleValue = -98765432.1;

class OvUniRecord {
 public:
  explicit OvUniRecord(std::string name = {}, std::string type = {});
  ~OvUniRecord();
  OvUniRecord(const OvUniRecord&) = delete;
  OvUniRecord& operator=(const OvUniRecord&) = delete;

  const std::string& Name() const { return name_; }
  void SetName(std::string_view name) { name_ = name; }
  const std::string& Type() const { return type_; }
  void SetType(std::string_view type) { type_ = type; }

  // ---- Reading values -------------------------------------------------------
  OvUniValue* FirstValue() const { return values_.get(); }
  OvUniValue* FindValue(std::string_view value_name) const;
  // The value's text and 1; empty text and 0 when the value is missing or
  // its text is absent or empty.
  int GetText(std::string_view value_name, std::string& out) const;
  size_t ValueLength(std::string_view value_name) const;
  // As GetText, into a caller's buffer of `size` bytes (cut to fit, always
  // terminated when `size` > 0).
  int GetTextInto(std::string_view value_name, char* buffer, size_t size) const;
  // `out` starts as kNoDoubleValue; 1 when the value has text and its type
  // is absent, empty, "real" or "double".
  int GetDouble(std::string_view value_name, double& out) const;
  // `out` starts as 0; 1 when the value has text and its type is absent,
  // empty, "integer" or "long".
  int GetInt(std::string_view value_name, int64_t& out) const;

  // ---- Writing values -------------------------------------------------------
  // With `replace` and a value of that name present, its text is replaced
  // (its type stays); otherwise a new value is appended.
  void SetText(std::string_view value_name, std::optional<std::string_view> text, bool replace = true,
               std::optional<std::string_view> type = std::nullopt);
  // As SetText, but a new value goes to the front.
  void PrependText(std::string_view value_name, std::optional<std::string_view> text, bool replace = true,
                   std::optional<std::string_view> type = std::nullopt);
  // "%d" of the number taken as 16 bits.
  void SetShort(std::string_view value_name, int number, bool replace = true,
                std::optional<std::string_view> type = std::nullopt);
  void SetInt(std::string_view value_name, int32_t number, bool replace = true,
              std::optional<std::string_view> type = std::nullopt);
  // "%.14f" with the trailing zeros of the fraction removed: 1.5 gives
  // "1.5", 2.0 gives "2.".
  void SetDouble(std::string_view value_name, double number, bool replace = true,
                 std::optional<std::string_view> type = std::nullopt);
  // Unlinks and deletes one value of this record; false when it is not one.
  bool RemoveValue(OvUniValue* value);
  void ClearValues();
  // With `clear_first`, empties `other`'s values; then sets every value of
  // this record in `other` in order (replacing unless `clear_first`;
  // types are not copied).
  void CopyValuesTo(OvUniRecord& other, bool clear_first) const;

  // ---- Comparing ------------------------------------------------------------
  // `ComparePointIds` of the names, or of the values named `value_name`
  // when one is given; negated when `descending`; 0 when `other` is absent.
  int Compare(const OvUniRecord* other, std::string_view value_name = {}, bool descending = false) const;
  // Same name, type and values pair by pair, skipping values whose name is
  // a value name of `ignore`; children compared the same way with a
  // tolerance of 1e-6. Numeric values (typed "real" or "double", or
  // untyped and both texts numbers) match within `tolerance`; all others
  // must be equal exactly.
  bool Equals(const OvUniRecord* other, const OvUniRecord* ignore = nullptr, double tolerance = 0) const;

  // ---- The chain ------------------------------------------------------------
  OvUniRecord* Next() const { return next_.get(); }
  OvUniRecord* FirstChild() const { return first_child_.get(); }
  // Along this record and those after it: the first whose name equals
  // `name` (without regard to case) and, when `type` is given, whose type
  // equals it. An empty name matches any name.
  OvUniRecord* Find(std::string_view name, std::optional<std::string_view> type = std::nullopt);
  // The record `count` places further along; nullptr past the end.
  OvUniRecord* Skip(size_t count);
  // Number of records from this one to the end of the chain.
  size_t Count() const;
  // Appends a record (or a chain) at the end of this chain.
  void Append(std::unique_ptr<OvUniRecord> record);
  // Unlinks `record` from the chain after this record and deletes it;
  // false when it is not in that part of the chain.
  bool RemoveFromChain(OvUniRecord* record);
  // Links `next` after this record and resets the append cursor; returns
  // the chain that followed before.
  std::unique_ptr<OvUniRecord> SetNext(std::unique_ptr<OvUniRecord> next);
  // Returns the previous children.
  std::unique_ptr<OvUniRecord> SetFirstChild(std::unique_ptr<OvUniRecord> child);
  // Appends a child at the end of the children.
  void AppendChild(std::unique_ptr<OvUniRecord> child);
  // A deep copy of this record alone: name, type, values, children.
  std::unique_ptr<OvUniRecord> Clone() const;

 private:
  friend std::unique_ptr<OvUniRecord> SortRecords(std::unique_ptr<OvUniRecord>, std::string_view, bool);

  void AddValue(std::string_view value_name, std::optional<std::string_view> text, bool replace,
                std::optional<std::string_view> type, bool at_front);

  std::string name_;
  std::string type_;
  std::unique_ptr<OvUniValue> values_;
  OvUniValue* last_value_ = nullptr;
  std::unique_ptr<OvUniRecord> first_child_;
  std::unique_ptr<OvUniRecord> next_;
  OvUniRecord* append_cursor_ = nullptr;
};

// Sorts a chain by `OvUniRecord::Compare` with a stable bottom-up merge
// sort on the links themselves (no extra arrays); returns the new first
// record.
std::unique_ptr<OvUniRecord> SortRecords(std::unique_ptr<OvUniRecord> chain, std::string_view value_name = {},
                                         bool descending = false);

}  // namespace pelikon
