#include "coord/history/history_format.h"

#include <algorithm>
#include <cstring>

namespace pelikon {

namespace {

// Reads the fields of one transaction in order; any read past the end
// leaves `ok` false for good.
class FieldReader {
 public:
  explicit FieldReader(std::string_view bytes, size_t at) : bytes_(bytes), at_(at) {}
  bool ok() const { return ok_; }
  size_t at() const { return at_; }

  std::string_view Text(size_t limit) {
    if (!ok_) return {};
    const void* nul = std::memchr(bytes_.data() + at_, '\0', bytes_.size() - at_);
    if (!nul) {
      ok_ = false;
      return {};
    }
    const size_t end = static_cast<size_t>(static_cast<const char*>(nul) - bytes_.data());
    const std::string_view text = bytes_.substr(at_, std::min(end - at_, limit));
    at_ = end + 1;
    return text;
  }
  uint64_t Unsigned(size_t size) {
    if (!ok_ || bytes_.size() - at_ < size) {
      ok_ = false;
      return 0;
    }
    uint64_t value = 0;
    for (size_t i = 0; i < size; ++i) value |= uint64_t{static_cast<uint8_t>(bytes_[at_ + i])} << (8 * i);
    at_ += size;
    return value;
  }
  double Double() {
    const uint64_t bits = Unsigned(8);
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

 private:
  std::string_view bytes_;
  size_t at_;
  bool ok_ = true;
};

void PutUnsigned(std::string& out, uint64_t value, size_t size) {
  for (size_t i = 0; i < size; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutDouble(std::string& out, double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  PutUnsigned(out, bits, 8);
}

void PutText(std::string& out, std::string_view text, size_t limit) {
  text = text.substr(0, std::min(text.find('\0'), limit));
  out.append(text);
  out += '\0';
}

}  // namespace

TransactionReader::TransactionReader(std::string_view bytes)
    : bytes_(bytes), valid_(bytes.substr(0, kHistoryMagic.size()) == kHistoryMagic) {
  at_ = valid_ ? kHistoryMagic.size() : 0;
}

bool TransactionReader::Next(TransactionView& t) {
  if (!valid_ || ended_ || at_ >= bytes_.size()) return false;
  FieldReader in(bytes_, at_);
  t = TransactionView();
  t.id = in.Text(kHistoryIdLimit);
  t.flags = static_cast<uint16_t>(in.Unsigned(2));
  const uint16_t f = t.flags;
  t.command = f & kHistoryCommand ? static_cast<int>(in.Unsigned(1)) : 0;
  if ((f & kHistoryText) && !(f & kHistorySameText)) t.text = in.Text(kHistoryTextLimit);
  if (f & kHistorySameText) t.text = previous_.text;
  t.time = f & kHistoryStamp ? static_cast<int32_t>(static_cast<uint32_t>(in.Unsigned(4))) : previous_.time;
  if ((f & kHistoryUser) && !(f & kHistorySameUser)) t.user = in.Text(kHistoryUserLimit);
  if (f & kHistorySameUser) t.user = previous_.user;
  t.before_id = f & kHistoryId ? in.Text(kHistoryIdLimit) : t.id;
  if (f & kHistoryDescription) t.description = in.Text(CrdPoint::kDescriptionLimit);
  if (f & kHistoryCode) t.code = in.Text(CrdPoint::kCodeLimit);
  if (f & kHistoryEasting) t.easting = in.Double();
  if (f & kHistoryNorthing) t.northing = in.Double();
  if (f & kHistoryElevation) t.elevation = in.Double();
  if (!in.ok()) {
    ended_ = true;  // nothing after a transaction cut short is read
    return false;
  }
  at_ = in.at();
  // "Same as before" refers to the last text actually carried, as the
  // writer compares with the last text it wrote: a transaction without
  // one in between changes nothing.
  previous_.time = t.time;
  if (f & (kHistoryText | kHistorySameText)) previous_.text = t.text;
  if (f & (kHistoryUser | kHistorySameUser)) previous_.user = t.user;
  return true;
}

std::optional<std::vector<HistoryTransaction>> ParseHistory(std::string_view bytes, size_t* whole_length) {
  TransactionReader reader(bytes);
  if (!reader.Valid()) return std::nullopt;
  std::vector<HistoryTransaction> list;
  for (TransactionView view; reader.Next(view);) {
    HistoryTransaction& t = list.emplace_back();
    t.flags = view.flags;
    t.command = view.command;
    t.text = view.text;
    t.time = view.time;
    t.user = view.user;
    t.id = view.id;
    t.before.Set(view.before_id, view.northing, view.easting, view.elevation, view.description, view.code);
  }
  if (whole_length) *whole_length = reader.WholeLength();
  return list;
}

std::string EncodeTransaction(const HistoryTransaction& t) {
  const uint16_t f = t.flags;
  std::string out;
  PutText(out, t.id, kHistoryIdLimit);
  PutUnsigned(out, f, 2);
  if (f & kHistoryCommand) PutUnsigned(out, static_cast<uint8_t>(t.command), 1);
  if ((f & kHistoryText) && !(f & kHistorySameText)) PutText(out, t.text, kHistoryTextLimit);
  if (f & kHistoryStamp) PutUnsigned(out, static_cast<uint32_t>(t.time), 4);
  if ((f & kHistoryUser) && !(f & kHistorySameUser)) PutText(out, t.user, kHistoryUserLimit);
  if (f & kHistoryId) PutText(out, t.before.Id(), kHistoryIdLimit);
  if (f & kHistoryDescription) PutText(out, t.before.Description(), CrdPoint::kDescriptionLimit);
  if (f & kHistoryCode) PutText(out, t.before.Code(), CrdPoint::kCodeLimit);
  if (f & kHistoryEasting) PutDouble(out, t.before.easting);
  if (f & kHistoryNorthing) PutDouble(out, t.before.northing);
  if (f & kHistoryElevation) PutDouble(out, t.before.elevation);
  return out;
}

}  // namespace pelikon
