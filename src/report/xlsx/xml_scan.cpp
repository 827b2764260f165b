#include "report/xlsx/xml_scan.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <vector>

namespace pelikon::xlsx {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Calls `visit(name, raw_value, begin, end)` for each name="value" pair;
// begin..end covers the pair and the blanks before it. False when the
// attributes are malformed or `visit` asks to stop by returning false.
template <typename Visit>
bool ForEachAttribute(std::string_view attributes, Visit visit) {
  size_t i = 0;
  while (true) {
    const size_t begin = i;
    while (i < attributes.size() && IsSpace(attributes[i])) ++i;
    if (i == attributes.size()) return true;
    const size_t name_begin = i;
    while (i < attributes.size() && attributes[i] != '=' && !IsSpace(attributes[i])) ++i;
    const std::string_view name = attributes.substr(name_begin, i - name_begin);
    while (i < attributes.size() && IsSpace(attributes[i])) ++i;
    if (name.empty() || i == attributes.size() || attributes[i] != '=') return false;
    ++i;
    while (i < attributes.size() && IsSpace(attributes[i])) ++i;
    if (i == attributes.size() || (attributes[i] != '"' && attributes[i] != '\'')) return false;
    const size_t close = attributes.find(attributes[i], i + 1);
    if (close == std::string_view::npos) return false;
    const std::string_view value = attributes.substr(i + 1, close - i - 1);
    i = close + 1;
    if (!visit(name, value, begin, i)) return false;
  }
}

bool IsNamespaceDeclaration(std::string_view name) {
  return name == "xmlns" || Prefix(name) == "xmlns";
}

void AppendUtf8(std::string& out, uint32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

// The character an entity body ("amp", "#65", "#x41") stands for.
bool DecodeEntity(std::string_view body, std::string& out) {
  static constexpr std::pair<std::string_view, char> kNamed[] = {
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  for (const auto& [entity, character] : kNamed) {
    if (body == entity) {
      out += character;
      return true;
    }
  }
  if (body.size() < 2 || body[0] != '#') return false;
  const bool hex = body[1] == 'x' || body[1] == 'X';
  const std::string_view digits = body.substr(hex ? 2 : 1);
  uint32_t code = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code, hex ? 16 : 10);
  if (error != std::errc() || end != digits.data() + digits.size() || code == 0 || code > 0x10FFFF ||
      (code >= 0xD800 && code < 0xE000))
    return false;
  AppendUtf8(out, code);
  return true;
}

}  // namespace

bool XmlScanner::Next(XmlTag& tag) {
  while (!malformed_) {
    const size_t open = text_.find('<', position_);
    if (open == std::string_view::npos) {
      position_ = text_.size();
      return false;
    }
    const std::string_view rest = text_.substr(open);
    std::string_view closer;
    if (rest.starts_with("<!--"))
      closer = "-->";
    else if (rest.starts_with("<![CDATA["))
      closer = "]]>";
    else if (rest.starts_with("<?"))
      closer = "?>";
    else if (rest.starts_with("<!"))
      closer = rest.substr(0, rest.find('>')).find('[') != std::string_view::npos ? "]>" : ">";
    if (!closer.empty()) {
      const size_t close = text_.find(closer, open + 2);
      if (close == std::string_view::npos) break;
      position_ = close + closer.size();
      continue;
    }
    size_t i = open + 1;
    const bool end_tag = i < text_.size() && text_[i] == '/';
    if (end_tag) ++i;
    const size_t name_begin = i;
    while (i < text_.size() && !IsSpace(text_[i]) && text_[i] != '/' && text_[i] != '>') ++i;
    if (i == name_begin) break;
    const size_t name_end = i;
    char quote = 0;
    for (; i < text_.size(); ++i) {
      if (quote != 0) {
        if (text_[i] == quote) quote = 0;
      } else if (text_[i] == '"' || text_[i] == '\'') {
        quote = text_[i];
      } else if (text_[i] == '>') {
        break;
      }
    }
    if (i == text_.size()) break;
    const bool empty = !end_tag && text_[i - 1] == '/';
    tag.kind = end_tag ? XmlTagKind::kEnd : empty ? XmlTagKind::kEmpty : XmlTagKind::kStart;
    tag.name = text_.substr(name_begin, name_end - name_begin);
    tag.attributes = text_.substr(name_end, (empty ? i - 1 : i) - std::min(name_end, empty ? i - 1 : i));
    tag.begin = open;
    tag.end = i + 1;
    position_ = i + 1;
    return true;
  }
  malformed_ = true;
  return false;
}

bool XmlScanner::SkipElement(const XmlTag& start, size_t& end) {
  if (start.kind == XmlTagKind::kEmpty) {
    end = start.end;
    return true;
  }
  // The names of the elements still open, innermost last.
  std::vector<std::string_view> open{start.name};
  XmlTag tag;
  while (Next(tag)) {
    if (tag.kind == XmlTagKind::kStart) {
      if (open.size() == kMaxXmlNesting) break;
      open.push_back(tag.name);
    }
    if (tag.kind != XmlTagKind::kEnd) continue;
    if (tag.name != open.back()) break;
    open.pop_back();
    if (open.empty()) {
      end = tag.end;
      return true;
    }
  }
  malformed_ = true;
  return false;
}

std::string_view LocalName(std::string_view name) {
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

std::string_view Prefix(std::string_view name) {
  const size_t colon = name.find(':');
  return colon == std::string_view::npos ? std::string_view() : name.substr(0, colon);
}

bool FindAttribute(std::string_view attributes, std::string_view local, std::string& value) {
  bool found = false;
  ForEachAttribute(attributes, [&](std::string_view name, std::string_view raw, size_t, size_t) {
    if (IsNamespaceDeclaration(name) || LocalName(name) != local) return true;
    value = UnescapeXmlText(raw);
    found = true;
    return false;
  });
  return found;
}

std::string WithoutAttribute(std::string_view attributes, std::string_view local) {
  std::string kept;
  size_t copied = 0;
  ForEachAttribute(attributes, [&](std::string_view name, std::string_view, size_t begin, size_t end) {
    if (!IsNamespaceDeclaration(name) && LocalName(name) == local) {
      kept.append(attributes.substr(copied, begin - copied));
      copied = end;
    }
    return true;
  });
  kept.append(attributes.substr(copied));
  return kept;
}

bool PrefixBoundTo(std::string_view attributes, std::string_view uri, std::string& prefix) {
  bool found = false;
  ForEachAttribute(attributes, [&](std::string_view name, std::string_view raw, size_t, size_t) {
    if (Prefix(name) != "xmlns" || UnescapeXmlText(raw) != uri) return true;
    prefix = std::string(LocalName(name));
    found = true;
    return false;
  });
  return found;
}

std::string EscapeXmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
    }
  }
  return out;
}

std::string UnescapeXmlText(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&') {
      // Entities are short; looking further would make a text full of "&" slow.
      const size_t semicolon = text.substr(i + 1, 12).find(';');
      if (semicolon != std::string_view::npos && DecodeEntity(text.substr(i + 1, semicolon), out)) {
        i += semicolon + 1;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

}  // namespace pelikon::xlsx
