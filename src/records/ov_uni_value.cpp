#include "records/ov_uni_value.h"

#include "records/chain.h"

namespace pelikon {

OvUniValue::OvUniValue(std::string name, std::optional<std::string> value, std::optional<std::string> type)
    : name_(std::move(name)), value_(std::move(value)), type_(std::move(type)) {}

OvUniValue::~OvUniValue() {
  DeleteChainIteratively(std::move(next_), &OvUniValue::next_);
}

std::unique_ptr<OvUniValue> OvUniValue::SetNext(std::unique_ptr<OvUniValue> next) {
  std::unique_ptr<OvUniValue> old = std::move(next_);
  next_ = std::move(next);
  return old;
}

bool OvUniValue::Equals(const OvUniValue* other) const {
  return other != nullptr && name_ == other->name_ && value_ == other->value_ && type_ == other->type_;
}

}  // namespace pelikon
