#include "records/xml_file.h"

#include "platform/atomic_file.h"
#include "platform/text.h"
#include "records/xml_text.h"

namespace pelikon {

namespace {

constexpr std::string_view kWhiteSpace = " \t\r\n";

bool IsWhiteSpace(char c) {
  return kWhiteSpace.find(c) != std::string_view::npos;
}

// ---- Writing ------------------------------------------------------------------

void WriteRecord(std::string& out, const OvUniRecord& record) {
  out += "<record ";
  if (!record.Name().empty()) out += "id=\"" + EscapeXml(record.Name()) + "\" ";
  if (!record.Type().empty()) out += "type=\"" + EscapeXml(record.Type()) + "\" ";
  out += ">\r\n";
  for (const OvUniRecord* child = record.FirstChild(); child; child = child->Next()) WriteRecord(out, *child);
  for (const OvUniValue* v = record.FirstValue(); v; v = v->Next()) {
    out += "<value name=\"" + EscapeXml(v->Name()) + "\" ";
    if (v->Type() && !v->Type()->empty()) out += "type=\"" + EscapeXml(*v->Type()) + "\" ";
    if (v->Value()) out += "value=\"" + EscapeXml(*v->Value()) + "\"";
    out += "></value>\r\n";
  }
  out += "</record>\r\n";
}

// ---- Reading tags -------------------------------------------------------------

// Hands out the text between each "<" and the following ">".
class TagScanner {
 public:
  explicit TagScanner(std::string_view text) : text_(text) {}

  // False at the end, or where a ">" comes before the next "<".
  bool Next(std::string_view& tag) {
    const size_t open = text_.find_first_of("<>", pos_);
    if (open == std::string_view::npos || text_[open] == '>') return false;
    const size_t close = text_.find('>', open + 1);
    if (close == std::string_view::npos) return false;
    tag = text_.substr(open + 1, close - open - 1);
    pos_ = close + 1;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

struct Tag {
  std::string_view name;  // up to the first blank
  bool has_attributes;    // a blank follows the name
};

Tag Split(std::string_view tag) {
  size_t end = 0;
  while (end < tag.size() && !IsWhiteSpace(tag[end])) ++end;
  return {tag.substr(0, end), end < tag.size()};
}

// The text of attribute `name`, unescaped; empty when missing. Only a name
// that starts a word outside quoted text counts, so that an attribute's
// text that happens to hold "type=" is never taken for the attribute.
std::string Attribute(std::string_view tag, std::string_view name) {
  bool quoted = false;
  for (size_t i = 0; i < tag.size(); ++i) {
    if (tag[i] == '"') {
      quoted = !quoted;
      continue;
    }
    if (quoted || i == 0 || !IsWhiteSpace(tag[i - 1])) continue;
    if (tag.compare(i, name.size(), name) != 0 || i + name.size() >= tag.size() || tag[i + name.size()] != '=')
      continue;
    size_t start = i + name.size() + 1;
    if (start < tag.size() && tag[start] == '"') ++start;
    const size_t end = std::min(tag.find('"', start), tag.size());
    return UnescapeXml(tag.substr(start, end - start));
  }
  return {};
}

std::unique_ptr<OvUniRecord> NewRecord(std::string_view tag) {
  return std::make_unique<OvUniRecord>(Attribute(tag, "id"), Attribute(tag, "type"));
}

// Reads the inner tags of `record` up to its "/record". False when the
// text ended (or nested too deep) first: the read stops there.
bool ReadRecordBody(TagScanner& scanner, OvUniRecord& record, int depth) {
  std::string_view text;
  while (scanner.Next(text)) {
    const Tag tag = Split(text);
    if (tag.name == "/record") return true;
    if (!tag.has_attributes) continue;
    if (tag.name == "record") {
      if (depth >= kMaxRecordNesting) return false;
      std::unique_ptr<OvUniRecord> child = NewRecord(text);
      OvUniRecord& added = *child;
      record.AppendChild(std::move(child));
      if (!ReadRecordBody(scanner, added, depth + 1)) return false;
    } else if (tag.name == "value") {
      const std::string name = Attribute(text, "name");
      if (name.empty()) continue;
      const std::string type = Attribute(text, "type");
      std::optional<std::string_view> typed;
      if (!type.empty()) typed = type;
      record.SetText(name, Attribute(text, "value"), false, typed);
    }
  }
  return false;
}

std::unique_ptr<OvUniTable> ReadTags(std::string_view text) {
  std::unique_ptr<OvUniTable> first;
  OvUniTable* current = nullptr;
  auto add_table = [&](std::unique_ptr<OvUniTable> table) {
    current = table.get();
    if (first) {
      first->AppendTable(std::move(table));
    } else {
      first = std::move(table);
    }
  };
  TagScanner scanner(text);
  std::string_view raw;
  while (scanner.Next(raw)) {
    const Tag tag = Split(raw);
    if (!tag.has_attributes) continue;
    if (tag.name == "table") {
      auto table = std::make_unique<OvUniTable>();
      table->SetId(Attribute(raw, "id"));
      table->SetDesc(Attribute(raw, "desc"));
      table->SetType(Attribute(raw, "type"));
      add_table(std::move(table));
    } else if (tag.name == "record") {
      if (!current) add_table(std::make_unique<OvUniTable>());
      std::unique_ptr<OvUniRecord> record = NewRecord(raw);
      OvUniRecord& added = *record;
      current->AppendRecord(std::move(record));
      if (!ReadRecordBody(scanner, added, 1)) break;
    }
  }
  return first;
}

// ---- The older layout ---------------------------------------------------------

std::string_view NextLine(std::string_view text, size_t& pos) {
  const size_t end = std::min(text.find('\n', pos), text.size());
  const std::string_view line = text.substr(pos, end - pos);
  pos = end + 1;
  return Trim(line, kWhiteSpace);
}

std::unique_ptr<OvUniTable> ReadLegacy(std::string_view text) {
  auto table = std::make_unique<OvUniTable>();
  OvUniRecord* record = nullptr;
  for (size_t pos = 0; pos < text.size();) {
    const std::string_view line = NextLine(text, pos);
    if (line == "<OvUniRecord") {
      auto fresh = std::make_unique<OvUniRecord>();
      record = fresh.get();
      table->AppendRecord(std::move(fresh));
      continue;
    }
    if (!record) continue;
    if (line == "/>") {
      record = nullptr;
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string name = UnescapeXml(Trim(line.substr(0, equals), kWhiteSpace));
    std::string_view value = Trim(line.substr(equals + 1), kWhiteSpace);
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    if (name == "id") {
      record->SetName(UnescapeXml(value));
    } else if (!name.empty()) {
      record->SetText(name, UnescapeXml(value), false);
    }
  }
  return table;
}

}  // namespace

std::string XmlText(const OvUniRecord* first_record) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"us-ascii\" ?>\r\n"
      "<veldra_xml version=\"1.0\">\r\n"
      "<table>\r\n";
  for (const OvUniRecord* r = first_record; r; r = r->Next()) WriteRecord(out, *r);
  out += "</table>\r\n</veldra_xml>\r\n";
  return out;
}

int WriteXmlFile(const std::filesystem::path& path, const OvUniRecord* first_record) {
  return WriteFileAtomically(path, XmlText(first_record)) ? 0 : 1;
}

std::unique_ptr<OvUniTable> ReadXmlText(std::string_view text) {
  size_t pos = 0;
  if (NextLine(text, pos) == "<OvUniRecord") return ReadLegacy(text);
  return ReadTags(text);
}

std::unique_ptr<OvUniTable> ReadXmlFile(const std::filesystem::path& path) {
  std::string text;
  if (!ReadWholeFile(path, text)) return nullptr;
  return ReadXmlText(text);
}

}  // namespace pelikon
