// A table of records with an id, a description and a type; tables form a
// chain, each owning the next. A table owns its records.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "records/ov_uni_record.h"

namespace pelikon {

class OvUniTable {
 public:
  OvUniTable() = default;
  ~OvUniTable();  // also deletes the tables after this one
  OvUniTable(const OvUniTable&) = delete;
  OvUniTable& operator=(const OvUniTable&) = delete;

  const std::string& Id() const { return id_; }
  void SetId(std::string_view id) { id_ = id; }
  const std::string& Desc() const { return desc_; }
  void SetDesc(std::string_view desc) { desc_ = desc; }
  const std::string& Type() const { return type_; }
  void SetType(std::string_view type) { type_ = type; }

  OvUniRecord* FirstRecord() const { return first_record_.get(); }
  // Returns the previous records.
  std::unique_ptr<OvUniRecord> SetFirstRecord(std::unique_ptr<OvUniRecord> record);
  void AppendRecord(std::unique_ptr<OvUniRecord> record);
  // Among this table's records, as OvUniRecord::Find.
  OvUniRecord* FindRecord(std::string_view name, std::optional<std::string_view> type = std::nullopt) const;

  OvUniTable* Next() const { return next_.get(); }
  // Returns the chain that followed before.
  std::unique_ptr<OvUniTable> SetNext(std::unique_ptr<OvUniTable> next);
  // Appends a table (or chain) at the end of this chain.
  void AppendTable(std::unique_ptr<OvUniTable> table);
  // Unlinks `table` from the chain after this one and deletes it; false
  // when it is not there.
  bool RemoveTable(OvUniTable* table);
  // Along this table and those after it, the first whose id (and type, when
  // given) equal the arguments without regard to case; an empty id matches
  // any id.
  OvUniTable* FindTable(std::string_view id, std::optional<std::string_view> type = std::nullopt);
  // A deep copy of this table alone, with its records.
  std::unique_ptr<OvUniTable> Clone() const;

 private:
  std::string id_;
  std::string desc_;
  std::string type_;
  std::unique_ptr<OvUniRecord> first_record_;
  std::unique_ptr<OvUniTable> next_;
};

}  // namespace pelikon
