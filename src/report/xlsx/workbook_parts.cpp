#include "report/xlsx/workbook_parts.h"

#include <algorithm>
#include <charconv>
#include <functional>
#include <set>
#include <vector>

#include "platform/text.h"
#include "report/xlsx/xml_scan.h"

namespace pelikon::xlsx {
namespace {

constexpr std::string_view kRelationshipsNamespace =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr std::string_view kWorksheetType =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
constexpr std::string_view kWorksheetContentType =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";

std::string FolderOf(const std::string& part) {
  const size_t slash = part.rfind('/');
  return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A relationship's target as a part name; empty when it leaves the package.
std::string ResolveTarget(const std::string& source_part, std::string_view target) {
  const std::string path =
      target.starts_with('/') ? std::string(target.substr(1)) : FolderOf(source_part) + std::string(target);
  std::vector<std::string_view> segments;
  const std::string_view view(path);
  for (size_t begin = 0; begin <= view.size();) {
    const size_t end = std::min(view.find('/', begin), view.size());
    const std::string_view segment = view.substr(begin, end - begin);
    if (segment == "..") {
      if (segments.empty()) return {};
      segments.pop_back();
    } else if (!segment.empty() && segment != ".") {
      segments.push_back(segment);
    }
    begin = end + 1;
  }
  std::string part;
  for (const std::string_view segment : segments) part += (part.empty() ? "" : "/") + std::string(segment);
  return part;
}

// Calls `visit` with every start or empty tag whose local name is `local`;
// false when the text is malformed.
bool ForEachTag(std::string_view xml, std::string_view local, const std::function<void(const XmlTag&)>& visit) {
  XmlScanner scanner(xml);
  XmlTag tag;
  while (scanner.Next(tag)) {
    if (tag.kind != XmlTagKind::kEnd && LocalName(tag.name) == local) visit(tag);
  }
  return !scanner.Malformed();
}

// The target of the relationship whose `key` attribute is `wanted`.
bool FindRelationship(std::string_view relationships, std::string_view key, std::string_view wanted,
                      const std::function<bool(std::string_view, std::string_view)>& matches, std::string& target) {
  bool found = false;
  const bool read = ForEachTag(relationships, "Relationship", [&](const XmlTag& tag) {
    std::string value, mode;
    if (found || !FindAttribute(tag.attributes, key, value) || !matches(value, wanted)) return;
    if (FindAttribute(tag.attributes, "TargetMode", mode) && mode == "External") return;
    found = FindAttribute(tag.attributes, "Target", target);
  });
  return read && found;
}

// Puts `element(prefix)` as the last child of the first element named
// `local`, the prefix being that element's own.
bool AppendChild(std::string& xml, std::string_view local,
                 const std::function<std::string(const std::string&)>& element) {
  XmlScanner scanner(xml);
  XmlTag tag;
  while (scanner.Next(tag)) {
    if (LocalName(tag.name) != local || tag.kind == XmlTagKind::kStart) continue;
    std::string prefix(Prefix(tag.name));
    if (!prefix.empty()) prefix += ':';
    const std::string child = element(prefix);
    if (tag.kind == XmlTagKind::kEnd) {
      xml.insert(tag.begin, child);
    } else {
      const std::string name(tag.name);
      xml.replace(tag.begin, tag.end - tag.begin,
                  "<" + name + std::string(tag.attributes) + ">" + child + "</" + name + ">");
    }
    return true;
  }
  return false;
}

// Removes the first element named `local` for which `matches` holds.
bool RemoveElement(std::string& xml, std::string_view local, const std::function<bool(const XmlTag&)>& matches) {
  XmlScanner scanner(xml);
  XmlTag tag;
  while (scanner.Next(tag)) {
    if (tag.kind == XmlTagKind::kEnd || LocalName(tag.name) != local || !matches(tag)) continue;
    size_t end = 0;
    if (!scanner.SkipElement(tag, end)) return false;
    xml.erase(tag.begin, end - tag.begin);
    return true;
  }
  return !scanner.Malformed();
}

long long NumberOr(std::string_view text, long long fallback) {
  long long number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  return error == std::errc() && end == text.data() + text.size() ? number : fallback;
}

}  // namespace

bool FindWorkbookPart(std::string_view package_relationships, std::string& part) {
  std::string target;
  if (!FindRelationship(
          package_relationships, "Type", "/officeDocument",
          [](std::string_view type, std::string_view ending) { return type.ends_with(ending); }, target))
    return false;
  part = ResolveTarget("", target);
  return !part.empty();
}

std::string RelationshipsPartOf(const std::string& part) {
  const size_t slash = part.rfind('/');
  const std::string name = slash == std::string::npos ? part : part.substr(slash + 1);
  return FolderOf(part) + "_rels/" + name + ".rels";
}

std::string SheetPartName(const std::string& workbook_part, int number) {
  return FolderOf(workbook_part) + "worksheets/sheet" + std::to_string(number) + ".xml";
}

bool FindSheetPart(std::string_view workbook, std::string_view relationships, const std::string& workbook_part,
                   const std::string& sheet, bool& found, std::string& sheet_part) {
  std::string id;
  found = false;
  if (!ForEachTag(workbook, "sheet", [&](const XmlTag& tag) {
        std::string name;
        if (!found && FindAttribute(tag.attributes, "name", name) && EqualsNoCase(name, sheet))
          found = FindAttribute(tag.attributes, "id", id);
      }))
    return false;
  sheet_part.clear();
  std::string target;
  if (found && FindRelationship(
                   relationships, "Id", id, [](std::string_view a, std::string_view b) { return a == b; }, target))
    sheet_part = ResolveTarget(workbook_part, target);
  return true;
}

bool AddSheet(const std::string& sheet, const std::string& sheet_part, const std::string& workbook_part,
              std::string& workbook, std::string& relationships, std::string& content_types) {
  long long sheet_id = 0;
  std::string relationships_prefix;
  bool root_seen = false;
  if (!ForEachTag(workbook, "sheet",
                  [&](const XmlTag& tag) {
                    std::string value;
                    if (FindAttribute(tag.attributes, "sheetId", value))
                      sheet_id = std::max(sheet_id, NumberOr(value, 0));
                  }) ||
      !ForEachTag(workbook, "workbook", [&](const XmlTag& tag) {
        if (!root_seen) PrefixBoundTo(tag.attributes, kRelationshipsNamespace, relationships_prefix);
        root_seen = true;
      }))
    return false;

  std::set<std::string> ids;
  if (!ForEachTag(relationships, "Relationship", [&](const XmlTag& tag) {
        std::string id;
        if (FindAttribute(tag.attributes, "Id", id)) ids.insert(id);
      }))
    return false;
  std::string id;
  for (size_t n = ids.size() + 1; id.empty() || ids.count(id) != 0; ++n) id = "rId" + std::to_string(n);

  const std::string id_attribute = relationships_prefix.empty()
                                       ? "xmlns:r=\"" + std::string(kRelationshipsNamespace) + "\" r:id=\"" + id + "\""
                                       : relationships_prefix + ":id=\"" + id + "\"";
  const std::string folder = FolderOf(workbook_part);
  const std::string target = sheet_part.starts_with(folder) ? sheet_part.substr(folder.size()) : "/" + sheet_part;
  return AppendChild(workbook, "sheets",
                     [&](const std::string& p) {
                       return "<" + p + "sheet name=\"" + EscapeXmlText(sheet) + "\" sheetId=\"" +
                              std::to_string(sheet_id + 1) + "\" " + id_attribute + "/>";
                     }) &&
         AppendChild(relationships, "Relationships",
                     [&](const std::string& p) {
                       return "<" + p + "Relationship Id=\"" + id + "\" Type=\"" + std::string(kWorksheetType) +
                              "\" Target=\"" + EscapeXmlText(target) + "\"/>";
                     }) &&
         AppendChild(content_types, "Types", [&](const std::string& p) {
           return "<" + p + "Override PartName=\"/" + EscapeXmlText(sheet_part) + "\" ContentType=\"" +
                  std::string(kWorksheetContentType) + "\"/>";
         });
}

bool DropCalculationChain(const std::string& workbook_part, std::string& relationships, std::string& content_types,
                          std::string& chain_part) {
  chain_part.clear();
  std::string target;
  if (!FindRelationship(
          relationships, "Type", "/calcChain",
          [](std::string_view type, std::string_view ending) { return type.ends_with(ending); }, target))
    return ForEachTag(relationships, "Relationship", [](const XmlTag&) {});
  chain_part = ResolveTarget(workbook_part, target);
  const auto is_chain = [](const XmlTag& tag) {
    std::string type;
    return FindAttribute(tag.attributes, "Type", type) && type.ends_with("/calcChain");
  };
  const auto names_chain = [&](const XmlTag& tag) {
    std::string name;
    return FindAttribute(tag.attributes, "PartName", name) && name == "/" + chain_part;
  };
  return !chain_part.empty() && RemoveElement(relationships, "Relationship", is_chain) &&
         RemoveElement(content_types, "Override", names_chain);
}

}  // namespace pelikon::xlsx
