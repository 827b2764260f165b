// A forgiving scanner over the XML of spreadsheet package parts, which are
// untrusted: it walks tags one by one without building a tree, so any input
// costs time in proportion to its length and nothing more. Names keep
// their namespace prefixes; callers compare local names. Malformed text
// (a tag or comment left open) stops the walk and is reported as such.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pelikon::xlsx {

// Spreadsheet parts nest a handful of elements deep; deeper text is taken
// for malformed rather than followed.
inline constexpr size_t kMaxXmlNesting = 256;

enum class XmlTagKind { kStart, kEnd, kEmpty };

struct XmlTag {
  XmlTagKind kind = XmlTagKind::kStart;
  std::string_view name;        // as written, prefix included
  std::string_view attributes;  // the text between the name and ">" or "/>"
  size_t begin = 0;             // offset of "<"
  size_t end = 0;               // offset just past ">"
};

class XmlScanner {
 public:
  explicit XmlScanner(std::string_view text, size_t from = 0) : text_(text), position_(from) {}
  // The next element tag; comments, processing instructions, declarations
  // and CDATA are passed over. False at the end or on malformed text.
  bool Next(XmlTag& tag);
  bool Malformed() const { return malformed_; }
  // Moves past the element `start` opens, nested elements included; the
  // offset just past its end tag. False (and malformed) when it or an
  // element inside it is not closed by an end tag of its own name.
  bool SkipElement(const XmlTag& start, size_t& end);

 private:
  std::string_view text_;
  size_t position_;
  bool malformed_ = false;
};

std::string_view LocalName(std::string_view name);
std::string_view Prefix(std::string_view name);  // empty when there is none

// The unescaped value of the first attribute whose local name is `local`.
bool FindAttribute(std::string_view attributes, std::string_view local, std::string& value);
// The start tag's attributes without the one named `local`, as written.
std::string WithoutAttribute(std::string_view attributes, std::string_view local);
// The prefix bound to namespace `uri` by an xmlns: attribute, if any.
bool PrefixBoundTo(std::string_view attributes, std::string_view uri, std::string& prefix);

// Standard XML escaping for attribute values and text; characters XML 1.0
// cannot carry (controls other than tab, CR, LF) are left out.
std::string EscapeXmlText(std::string_view text);
// The five named entities and numeric references; anything else is kept.
std::string UnescapeXmlText(std::string_view text);

}  // namespace pelikon::xlsx
