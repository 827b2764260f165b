#include "report/report_file.h"

#include <algorithm>
#include <memory>

#include "platform/text.h"
#include "records/ov_uni_table.h"
#include "records/xml_file.h"

namespace pelikon {

namespace {

constexpr const char* kNoAverageKey = "-NULL-";

std::unique_ptr<OvUniRecord> TokenRecord(const ReportToken& token) {
  auto record = std::make_unique<OvUniRecord>(token.key, "token");
  record->SetText("note", std::string_view(token.note), false);
  const bool real = token.type == kReportReal;
  record->SetText("type", real ? "real" : "string", false);
  record->SetText("value", real ? StrPrintf("%.14f", token.real) : std::string(token.text), false);
  record->SetInt("places", token.places, false);
  record->SetInt("is_averaged", token.is_averaged, false);
  record->SetInt("is_sorted", token.is_sorted, false);
  record->SetText("averkey", token.averkey != nullptr ? token.averkey : kNoAverageKey, false);
  return record;
}

// The report keeps its texts as C strings: a text read with a NUL byte in
// it ends there, before anything is decided on it.
std::string Text(const OvUniRecord& record, std::string_view name) {
  std::string text;
  record.GetText(name, text);
  text.resize(std::min(text.size(), text.find('\0')));
  return text;
}

int Int(const OvUniRecord& record, std::string_view name, int fallback) {
  int64_t value = 0;
  return record.GetInt(name, value) ? static_cast<int>(value) : fallback;
}

}  // namespace

bool SaveReportFile(const Report& report, const SavedReportTail& tail, const std::filesystem::path& file) {
  auto first = std::make_unique<OvUniRecord>(report.Name(), "report");
  for (const ReportNode* node = report.First(); node != nullptr; node = node->next) {
    if (node->kind == kReportTextEntry) {
      auto text = std::make_unique<OvUniRecord>(std::string(), "text");
      text->SetText("text", std::string_view(node->text), false);
      first->Append(std::move(text));
      continue;
    }
    if (node->tokens == nullptr) continue;
    auto entry = std::make_unique<OvUniRecord>(std::to_string(node->number), "entry");
    for (const ReportToken* token = node->tokens; token != nullptr; token = token->next)
      entry->AppendChild(TokenRecord(*token));
    first->Append(std::move(entry));
  }
  auto closing = std::make_unique<OvUniRecord>(std::string(), "format");
  closing->SetText("name", tail.format_name, false);
  closing->SetText("section", tail.section, false);
  first->Append(std::move(closing));
  return WriteXmlFile(file, first.get()) == 1;
}

bool ReadSavedReportName(const std::filesystem::path& file, std::string& name) {
  const auto table = ReadXmlFile(file);
  if (!table || !table->FirstRecord() || table->FirstRecord()->Type() != "report") return false;
  name = table->FirstRecord()->Name();
  return true;
}

bool ReadReportFile(const std::filesystem::path& file, Report& report, SavedReportTail& tail) {
  const auto table = ReadXmlFile(file);
  if (!table || !table->FirstRecord() || table->FirstRecord()->Type() != "report") return false;
  report.FinishEntry();
  for (const OvUniRecord* record = table->FirstRecord()->Next(); record != nullptr; record = record->Next()) {
    if (record->Type() == "text") {
      report.AddTextEntry(Text(*record, "text"));
    } else if (record->Type() == "format") {
      tail.format_name = Text(*record, "name");
      tail.section = Text(*record, "section");
    } else if (record->Type() == "entry") {
      report.StartEntry(true);
      for (const OvUniRecord* child = record->FirstChild(); child != nullptr; child = child->Next()) {
        const std::string averkey = Text(*child, "averkey");
        const std::string value = Text(*child, "value");
        TokenValue token;
        token.key = child->Name();
        const std::string note = Text(*child, "note");
        token.note = note;
        token.type = Text(*child, "type") == "real" ? kReportReal : kReportString;
        token.text = value;
        double real = 0;
        if (token.type == kReportReal && !child->GetDouble("value", real)) continue;
        token.real = real;
        token.places = Int(*child, "places", 3);
        token.averkey = averkey == kNoAverageKey ? nullptr : averkey.c_str();
        token.is_sorted = static_cast<unsigned char>(Int(*child, "is_sorted", 1));
        report.AddToken(token);
      }
      // An entry none of whose values could be read is no entry: saving
      // skips entries without values, and so does reading.
      if (report.CurrentEntry() != nullptr && report.CurrentEntry()->tokens == nullptr) report.DumpEntry();
      report.FinishEntry();
    }
  }
  return true;
}

std::unique_ptr<OvUniTable> ReportAsRecords(const Report& report) {
  auto table = std::make_unique<OvUniTable>();
  table->SetId(report.Name());
  for (const ReportNode* node = report.First(); node != nullptr; node = node->next) {
    if (node->kind != kReportDataEntry || node->tokens == nullptr) continue;
    auto record = std::make_unique<OvUniRecord>(std::to_string(node->number));
    for (const ReportToken* token = node->tokens; token != nullptr; token = token->next) {
      if (token->type == kReportReal)
        record->SetText(token->key, StrPrintf("%.14f", token->real), false, "real");
      else
        record->SetText(token->key, std::string_view(token->text), false, "text");
    }
    table->AppendRecord(std::move(record));
  }
  return table;
}

}  // namespace pelikon
