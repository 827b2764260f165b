// One named value of a record: a name, a text (which may be absent) and a
// type word (which may be absent; the words in use are "double", "real",
// "integer", "long" and "text"). Every value is held as text; numbers are
// converted when they are read. Values of one record form a chain in
// insertion order, each owning the next.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace pelikon {

class OvUniValue {
 public:
  explicit OvUniValue(std::string name, std::optional<std::string> value = std::nullopt,
                      std::optional<std::string> type = std::nullopt);
  ~OvUniValue();  // also deletes the values after this one
  OvUniValue(const OvUniValue&) = delete;
  OvUniValue& operator=(const OvUniValue&) = delete;

  // Length of the text; 0 when absent.
  size_t ValueLength() const { return value_ ? value_->size() : 0; }
  const std::optional<std::string>& Value() const { return value_; }
  const std::string& Name() const { return name_; }
  const std::optional<std::string>& Type() const { return type_; }
  OvUniValue* Next() const { return next_.get(); }

  void SetValue(std::optional<std::string> value) { value_ = std::move(value); }
  void SetName(std::string name) { name_ = std::move(name); }
  // An absent type clears it.
  void SetType(std::optional<std::string> type) { type_ = std::move(type); }
  // Links `next` after this value; returns what followed before.
  std::unique_ptr<OvUniValue> SetNext(std::unique_ptr<OvUniValue> next);

  // Name, text and type all equal, compared exactly (absent equals absent);
  // false when `other` is absent.
  bool Equals(const OvUniValue* other) const;

 private:
  std::string name_;
  std::optional<std::string> value_;
  std::optional<std::string> type_;
  std::unique_ptr<OvUniValue> next_;
};

}  // namespace pelikon
