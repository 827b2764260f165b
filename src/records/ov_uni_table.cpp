#include "records/ov_uni_table.h"

#include "platform/text.h"
#include "records/chain.h"

namespace pelikon {

OvUniTable::~OvUniTable() {
  DeleteChainIteratively(std::move(next_), &OvUniTable::next_);
}

std::unique_ptr<OvUniRecord> OvUniTable::SetFirstRecord(std::unique_ptr<OvUniRecord> record) {
  std::unique_ptr<OvUniRecord> old = std::move(first_record_);
  first_record_ = std::move(record);
  return old;
}

void OvUniTable::AppendRecord(std::unique_ptr<OvUniRecord> record) {
  if (!first_record_) {
    first_record_ = std::move(record);
  } else {
    first_record_->Append(std::move(record));
  }
}

OvUniRecord* OvUniTable::FindRecord(std::string_view name, std::optional<std::string_view> type) const {
  return first_record_ ? first_record_->Find(name, type) : nullptr;
}

std::unique_ptr<OvUniTable> OvUniTable::SetNext(std::unique_ptr<OvUniTable> next) {
  std::unique_ptr<OvUniTable> old = std::move(next_);
  next_ = std::move(next);
  return old;
}

void OvUniTable::AppendTable(std::unique_ptr<OvUniTable> table) {
  OvUniTable* tail = this;
  while (tail->next_) tail = tail->next_.get();
  tail->next_ = std::move(table);
}

bool OvUniTable::RemoveTable(OvUniTable* table) {
  for (OvUniTable* prev = this; prev->next_; prev = prev->next_.get()) {
    if (prev->next_.get() != table) continue;
    std::unique_ptr<OvUniTable> removed = std::move(prev->next_);
    prev->next_ = std::move(removed->next_);
    return true;
  }
  return false;
}

OvUniTable* OvUniTable::FindTable(std::string_view id, std::optional<std::string_view> type) {
  for (OvUniTable* t = this; t; t = t->Next()) {
    if (!id.empty() && !EqualsNoCase(t->id_, id)) continue;
    if (type && !EqualsNoCase(t->type_, *type)) continue;
    return t;
  }
  return nullptr;
}

std::unique_ptr<OvUniTable> OvUniTable::Clone() const {
  auto copy = std::make_unique<OvUniTable>();
  copy->id_ = id_;
  copy->desc_ = desc_;
  copy->type_ = type_;
  for (const OvUniRecord* r = first_record_.get(); r; r = r->Next()) copy->AppendRecord(r->Clone());
  return copy;
}

}  // namespace pelikon
