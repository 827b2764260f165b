#include "records/ov_uni_record.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/text.h"
#include "pointid/decimal_text.h"
#include "pointid/point_id.h"
#include "records/chain.h"

namespace pelikon {

namespace {

bool HasText(const OvUniValue* value) {
  return value && value->Value() && !value->Value()->empty();
}

bool TypeIsOneOf(const std::optional<std::string>& type, const char* a, const char* b) {
  return !type || type->empty() || *type == a || *type == b;
}

bool IsDecimalType(const std::optional<std::string>& type) {
  return TypeIsOneOf(type, "real", "double");
}

// True when the whole text (blanks around it aside) reads as a number.
bool IsNumberText(const std::optional<std::string>& text) {
  if (!text) return false;
  const std::string_view trimmed = Trim(*text, " \t");
  if (trimmed.empty()) return false;
  const std::string copy(trimmed);
  char* end = nullptr;
  std::strtod(copy.c_str(), &end);
  return end == copy.c_str() + copy.size();
}

bool ValuesMatch(const OvUniValue& a, const OvUniValue& b, double tolerance) {
  if (a.Name() != b.Name()) return false;
  const bool typed_decimal = a.Type() && !a.Type()->empty() && b.Type() && !b.Type()->empty();
  const bool numeric = IsDecimalType(a.Type()) && IsDecimalType(b.Type()) &&
                       (typed_decimal || (IsNumberText(a.Value()) && IsNumberText(b.Value())));
  if (!numeric) return a.Equals(&b);
  const double da = LenientDouble(a.Value().value_or(""));
  const double db = LenientDouble(b.Value().value_or(""));
  return std::fabs(da - db) <= tolerance;
}

// The next value at or after `value` whose name is not ignored.
const OvUniValue* SkipIgnored(const OvUniValue* value, const OvUniRecord* ignore) {
  while (value && ignore && ignore->FindValue(value->Name())) value = value->Next();
  return value;
}

}  // namespace

OvUniRecord::OvUniRecord(std::string name, std::string type) : name_(std::move(name)), type_(std::move(type)) {}

OvUniRecord::~OvUniRecord() {
  DeleteChainIteratively(std::move(first_child_), &OvUniRecord::next_);
  DeleteChainIteratively(std::move(next_), &OvUniRecord::next_);
}

// ---- Values -------------------------------------------------------------------

OvUniValue* OvUniRecord::FindValue(std::string_view value_name) const {
  for (OvUniValue* v = values_.get(); v; v = v->Next())
    if (EqualsNoCase(v->Name(), value_name)) return v;
  return nullptr;
}

int OvUniRecord::GetText(std::string_view value_name, std::string& out) const {
  const OvUniValue* v = FindValue(value_name);
  if (!HasText(v)) {
    out.clear();
    return 0;
  }
  out = *v->Value();
  return 1;
}

size_t OvUniRecord::ValueLength(std::string_view value_name) const {
  const OvUniValue* v = FindValue(value_name);
  return v ? v->ValueLength() : 0;
}

int OvUniRecord::GetTextInto(std::string_view value_name, char* buffer, size_t size) const {
  std::string text;
  const int found = GetText(value_name, text);
  if (size > 0) {
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
  }
  return found;
}

int OvUniRecord::GetDouble(std::string_view value_name, double& out) const {
  out = kNoDoubleValue;
  const OvUniValue* v = FindValue(value_name);
  if (!HasText(v) || !IsDecimalType(v->Type())) return 0;
  out = LenientDouble(*v->Value());
  return 1;
}

int OvUniRecord::GetInt(std::string_view value_name, int64_t& out) const {
  out = 0;
  const OvUniValue* v = FindValue(value_name);
  if (!HasText(v) || !TypeIsOneOf(v->Type(), "integer", "long")) return 0;
  out = LenientInt64(*v->Value());
  return 1;
}

void OvUniRecord::AddValue(std::string_view value_name, std::optional<std::string_view> text, bool replace,
                           std::optional<std::string_view> type, bool at_front) {
  std::optional<std::string> owned_text;
  if (text) owned_text.emplace(*text);
  if (replace) {
    if (OvUniValue* existing = FindValue(value_name)) {
      existing->SetValue(std::move(owned_text));
      return;
    }
  }
  std::optional<std::string> owned_type;
  if (type) owned_type.emplace(*type);
  auto value = std::make_unique<OvUniValue>(std::string(value_name), std::move(owned_text), std::move(owned_type));
  OvUniValue* added = value.get();
  if (!values_) {
    values_ = std::move(value);
    last_value_ = added;
  } else if (at_front) {
    value->SetNext(std::move(values_));
    values_ = std::move(value);
  } else {
    last_value_->SetNext(std::move(value));
    last_value_ = added;
  }
}

void OvUniRecord::SetText(std::string_view value_name, std::optional<std::string_view> text, bool replace,
                          std::optional<std::string_view> type) {
  AddValue(value_name, text, replace, type, false);
}

void OvUniRecord::PrependText(std::string_view value_name, std::optional<std::string_view> text, bool replace,
                              std::optional<std::string_view> type) {
  AddValue(value_name, text, replace, type, true);
}

void OvUniRecord::SetShort(std::string_view value_name, int number, bool replace,
                           std::optional<std::string_view> type) {
  SetText(value_name, StrPrintf("%d", static_cast<int>(static_cast<int16_t>(number))), replace, type);
}

void OvUniRecord::SetInt(std::string_view value_name, int32_t number, bool replace,
                         std::optional<std::string_view> type) {
  SetText(value_name, StrPrintf("%d", static_cast<int>(number)), replace, type);
}

void OvUniRecord::SetDouble(std::string_view value_name, double number, bool replace,
                            std::optional<std::string_view> type) {
  std::string text = StrPrintf("%.14f", number);
  if (text.find('.') != std::string::npos) text.erase(text.find_last_not_of('0') + 1);
  SetText(value_name, text, replace, type);
}

bool OvUniRecord::RemoveValue(OvUniValue* value) {
  if (!value || !values_) return false;
  if (values_.get() == value) {
    values_ = values_->SetNext(nullptr);
    if (!values_) last_value_ = nullptr;
    return true;
  }
  for (OvUniValue* prev = values_.get(); prev->Next(); prev = prev->Next()) {
    if (prev->Next() != value) continue;
    std::unique_ptr<OvUniValue> removed = prev->SetNext(nullptr);
    prev->SetNext(removed->SetNext(nullptr));
    if (last_value_ == value) last_value_ = prev;
    return true;
  }
  return false;
}

void OvUniRecord::ClearValues() {
  values_.reset();  // a value chain deletes itself link by link
  last_value_ = nullptr;
}

void OvUniRecord::CopyValuesTo(OvUniRecord& other, bool clear_first) const {
  if (clear_first) other.ClearValues();
  for (const OvUniValue* v = values_.get(); v; v = v->Next()) {
    std::optional<std::string_view> text;
    if (v->Value()) text = *v->Value();
    other.SetText(v->Name(), text, !clear_first, std::nullopt);
  }
}

// ---- Comparing ----------------------------------------------------------------

int OvUniRecord::Compare(const OvUniRecord* other, std::string_view value_name, bool descending) const {
  if (!other) return 0;
  int result;
  if (value_name.empty()) {
    result = ComparePointIds(name_, other->name_);
  } else {
    std::string mine, theirs;
    GetText(value_name, mine);
    other->GetText(value_name, theirs);
    result = ComparePointIds(mine, theirs);
  }
  return descending ? -result : result;
}

bool OvUniRecord::Equals(const OvUniRecord* other, const OvUniRecord* ignore, double tolerance) const {
  if (!other || name_ != other->name_ || type_ != other->type_) return false;
  const OvUniValue* a = SkipIgnored(values_.get(), ignore);
  const OvUniValue* b = SkipIgnored(other->values_.get(), ignore);
  while (a && b) {
    if (!ValuesMatch(*a, *b, tolerance)) return false;
    a = SkipIgnored(a->Next(), ignore);
    b = SkipIgnored(b->Next(), ignore);
  }
  if (a || b) return false;
  const OvUniRecord* ca = first_child_.get();
  const OvUniRecord* cb = other->first_child_.get();
  for (; ca && cb; ca = ca->Next(), cb = cb->Next())
    if (!ca->Equals(cb, ignore, 1e-6)) return false;
  return !ca && !cb;
}

// ---- The chain ----------------------------------------------------------------

OvUniRecord* OvUniRecord::Find(std::string_view name, std::optional<std::string_view> type) {
  for (OvUniRecord* r = this; r; r = r->Next()) {
    if (!name.empty() && !EqualsNoCase(r->name_, name)) continue;
    if (type && r->type_ != *type) continue;
    return r;
  }
  return nullptr;
}

OvUniRecord* OvUniRecord::Skip(size_t count) {
  OvUniRecord* r = this;
  for (; r && count > 0; --count) r = r->Next();
  return r;
}

size_t OvUniRecord::Count() const {
  size_t n = 0;
  for (const OvUniRecord* r = this; r; r = r->Next()) ++n;
  return n;
}

void OvUniRecord::Append(std::unique_ptr<OvUniRecord> record) {
  if (!record) return;
  OvUniRecord* tail = append_cursor_ ? append_cursor_ : this;
  while (tail->next_) tail = tail->next_.get();
  OvUniRecord* new_last = record.get();
  while (new_last->next_) new_last = new_last->next_.get();
  tail->next_ = std::move(record);
  append_cursor_ = new_last;
}

bool OvUniRecord::RemoveFromChain(OvUniRecord* record) {
  for (OvUniRecord* prev = this; prev->next_; prev = prev->next_.get()) {
    if (prev->next_.get() != record) continue;
    std::unique_ptr<OvUniRecord> removed = std::move(prev->next_);
    prev->next_ = std::move(removed->next_);
    if (append_cursor_ == record) append_cursor_ = prev;
    return true;
  }
  return false;
}

std::unique_ptr<OvUniRecord> OvUniRecord::SetNext(std::unique_ptr<OvUniRecord> next) {
  std::unique_ptr<OvUniRecord> old = std::move(next_);
  next_ = std::move(next);
  append_cursor_ = nullptr;
  return old;
}

std::unique_ptr<OvUniRecord> OvUniRecord::SetFirstChild(std::unique_ptr<OvUniRecord> child) {
  std::unique_ptr<OvUniRecord> old = std::move(first_child_);
  first_child_ = std::move(child);
  return old;
}

void OvUniRecord::AppendChild(std::unique_ptr<OvUniRecord> child) {
  if (!first_child_) {
    first_child_ = std::move(child);
  } else {
    first_child_->Append(std::move(child));
  }
}

std::unique_ptr<OvUniRecord> OvUniRecord::Clone() const {
  auto copy = std::make_unique<OvUniRecord>(name_, type_);
  for (const OvUniValue* v = values_.get(); v; v = v->Next()) {
    std::optional<std::string_view> text, type;
    if (v->Value()) text = *v->Value();
    if (v->Type()) type = *v->Type();
    copy->SetText(v->Name(), text, false, type);
  }
  for (const OvUniRecord* c = first_child_.get(); c; c = c->Next()) copy->AppendChild(c->Clone());
  return copy;
}

// ---- Sorting ------------------------------------------------------------------

std::unique_ptr<OvUniRecord> SortRecords(std::unique_ptr<OvUniRecord> chain, std::string_view value_name,
                                         bool descending) {
  // Detaches and returns what follows the first `count` records of `run`.
  auto cut = [](OvUniRecord* run, size_t count) {
    for (; count > 1 && run->next_; --count) run = run->next_.get();
    return std::move(run->next_);
  };
  for (size_t width = 1;; width *= 2) {
    std::unique_ptr<OvUniRecord> merged;
    OvUniRecord* tail = nullptr;
    size_t merges = 0;
    std::unique_ptr<OvUniRecord> rest = std::move(chain);
    while (rest) {
      ++merges;
      std::unique_ptr<OvUniRecord> left = std::move(rest);
      std::unique_ptr<OvUniRecord> right = cut(left.get(), width);
      if (right) rest = cut(right.get(), width);
      while (left || right) {
        // On equal records the left (earlier) one goes first: the sort is stable.
        const bool take_left = !right || (left && left->Compare(right.get(), value_name, descending) <= 0);
        std::unique_ptr<OvUniRecord>& from = take_left ? left : right;
        std::unique_ptr<OvUniRecord> record = std::move(from);
        from = std::move(record->next_);
        record->append_cursor_ = nullptr;
        OvUniRecord* added = record.get();
        if (tail) {
          tail->next_ = std::move(record);
        } else {
          merged = std::move(record);
        }
        tail = added;
      }
    }
    chain = std::move(merged);
    if (merges <= 1) return chain;
  }
}

}  // namespace pelikon
