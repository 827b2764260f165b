#include "report/report_model.h"

#include <cstddef>
#include <cstring>

#include "platform/text.h"

namespace pelikon {

std::string ReportKey(std::string_view key) {
  std::string stored(key);
  for (char& c : stored) {
    if (c == '(' || c == '[')
      c = '{';
    else if (c == ')' || c == ']')
      c = '}';
    else if (c == '+' || c == '-' || c == '/' || c == '*' || c == '^')
      c = '_';
  }
  return stored;
}

const ReportToken* FindToken(const ReportToken* list, std::string_view key) {
  for (; list != nullptr; list = list->next)
    if (EqualsNoCase(list->key, key)) return list;
  return nullptr;
}

// Texts and records of one report, given back all at once with it.
class Report::Arena {
 public:
  void* Allocate(size_t bytes) {
    bytes = (bytes + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
    if (bytes > kBlockBytes / 4) {
      large_.push_back(std::make_unique<unsigned char[]>(bytes));
      return large_.back().get();
    }
    if (used_ + bytes > kBlockBytes || blocks_.empty()) {
      blocks_.push_back(std::make_unique<unsigned char[]>(kBlockBytes));
      used_ = 0;
    }
    void* memory = blocks_.back().get() + used_;
    used_ += bytes;
    return memory;
  }
  const char* Copy(std::string_view text) {
    char* copy = static_cast<char*>(Allocate(text.size() + 1));
    if (!text.empty()) std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
  }
  const char* Shared(std::string_view text) {
    const auto found = shared_.find(text);
    if (found != shared_.end()) return found->data();
    const char* copy = Copy(text);
    shared_.insert(std::string_view(copy, text.size()));
    return copy;
  }

 private:
  static constexpr size_t kBlockBytes = 64 * 1024;
  std::vector<std::unique_ptr<unsigned char[]>> blocks_;
  std::vector<std::unique_ptr<unsigned char[]>> large_;
  size_t used_ = 0;
  std::unordered_set<std::string_view> shared_;
};

Report::Report(std::string_view name) : arena_(std::make_unique<Arena>()) {
  name_ = Keep(name, true);
  first_ = NewNode(kReportDataEntry);
  first_->number = 0;
}

Report::~Report() = default;

const char* Report::Keep(std::string_view text, bool shared) {
  return shared ? arena_->Shared(text) : arena_->Copy(text);
}

ReportNode* Report::NewNode(int kind) {
  ReportNode* node = free_nodes_;
  if (node != nullptr)
    free_nodes_ = node->next;
  else
    node = static_cast<ReportNode*>(arena_->Allocate(sizeof(ReportNode)));
  *node = ReportNode{nullptr, nullptr, nullptr, name_, "", kind, 0};
  return node;
}

ReportNode* Report::LastNode() const {
  ReportNode* node = first_;
  while (node->next != nullptr) node = node->next;
  return node;
}

ReportNode* Report::PreviousOf(const ReportNode* node) const {
  for (ReportNode* walk = first_; walk != nullptr; walk = walk->next)
    if (walk->next == node) return walk;
  return nullptr;
}

// The first data entry: the report's own first node, which text lines
// added before any token may precede.
static ReportNode* FirstDataEntry(ReportNode* node) {
  while (node != nullptr && node->kind != kReportDataEntry) node = node->next;
  return node;
}

void Report::StartEntry(bool at_end) {
  ReportNode* first = FirstDataEntry(first_);
  if (first != nullptr && first->tokens == nullptr) {
    current_ = first;
    if (last_appended_ == nullptr) last_appended_ = first;
    return;
  }
  ReportNode* entry = NewNode(kReportDataEntry);
  entry->number = next_number_++;
  ReportNode* after = last_appended_ != nullptr && !at_end ? last_appended_ : LastNode();
  entry->next = after->next;
  after->next = entry;
  current_ = last_appended_ = entry;
}

void Report::AddToken(const TokenValue& value) {
  if (current_ != nullptr) AddTokenTo(current_, value);
}

void Report::AddTokenTo(ReportNode* entry, const TokenValue& value) {
  ReportToken* token = free_tokens_;
  if (token != nullptr)
    free_tokens_ = token->next;
  else
    token = static_cast<ReportToken*>(arena_->Allocate(sizeof(ReportToken)));
  const std::string key = ReportKey(value.key);
  *token = ReportToken{nullptr,
                       Keep(key, true),
                       Keep(value.note, true),
                       value.averkey != nullptr ? Keep(value.averkey, true) : nullptr,
                       value.type == kReportString ? Keep(value.text, value.text.size() < 8) : "",
                       value.type == kReportReal ? value.real : 0,
                       value.type,
                       value.places,
                       static_cast<unsigned char>(value.averkey != nullptr ? 1 : 0),
                       value.is_sorted};
  if (entry->last_token != nullptr)
    entry->last_token->next = token;
  else
    entry->tokens = token;
  entry->last_token = token;
}

void Report::AddTextEntry(std::string_view text) {
  ReportNode* entry = NewNode(kReportTextEntry);
  entry->text = Keep(text, false);
  ReportNode* last = LastNode();
  if (last->kind == kReportTextEntry || last->tokens != nullptr) {
    last->next = entry;
    return;
  }
  // Just before the empty data entry that waits for the next tokens.
  ReportNode* before = PreviousOf(last);
  entry->next = last;
  if (before == nullptr)
    first_ = entry;
  else
    before->next = entry;
}

void Report::ReleaseTokens(ReportNode* node) {
  if (node->last_token != nullptr) {
    node->last_token->next = free_tokens_;
    free_tokens_ = node->tokens;
  }
  node->tokens = node->last_token = nullptr;
}

void Report::DumpEntry() {
  ReportNode* entry = current_;
  current_ = nullptr;
  if (entry == nullptr) return;
  ReleaseTokens(entry);
  // The report's own first entry stays: it keeps the place of the first
  // tokens, before which text lines may stand.
  if (entry->number == 0) return;
  ReportNode* before = PreviousOf(entry);
  if (before == nullptr) return;
  before->next = entry->next;
  if (last_appended_ == entry) last_appended_ = before->kind == kReportDataEntry ? before : nullptr;
  entry->next = free_nodes_;
  free_nodes_ = entry;
}

void Report::AddFieldEntry(std::string_view name, std::string_view text) {
  for (auto& field : fields_)
    if (EqualsNoCase(field.first, name)) {
      field.second = text;
      return;
    }
  fields_.emplace_back(name, text);
}

bool ReportStack::Start(std::string_view name) {
  if (reports_.size() >= static_cast<size_t>(kMaxReports)) return false;
  reports_.push_back(std::make_unique<Report>(name));
  return true;
}

void ReportStack::Drop() {
  if (!reports_.empty()) reports_.pop_back();
}

std::unique_ptr<Report> ReportStack::Take() {
  if (reports_.empty()) return nullptr;
  std::unique_ptr<Report> report = std::move(reports_.back());
  reports_.pop_back();
  return report;
}

}  // namespace pelikon
