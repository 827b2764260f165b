// The entity escaping of the record XML files, and the longer entity table
// that message texts are written with. Replacements run one after another
// in a fixed order over the whole text, and all are case-sensitive; the
// order is part of the format (unescaping "&amp;" before "&#13;" means a
// literal "&#13;" in a text reads back as a line end).
#pragma once

#include <string>
#include <string_view>

namespace pelikon {

// "&" "&amp;", ">" "&gt;", "<" "&lt;", '"' "&quot;", "'" "&apos;", CR LF "&#13;".
std::string EscapeXml(std::string_view text);
// "&gt;", "&lt;", "&quot;", "&apos;", "&amp;", "&#13;" back, in that order.
std::string UnescapeXml(std::string_view text);
// "&bell;" "&back;" "&form;" "&new;" "&ret;" "&tab;" "&vtab;" "&quote;"
// "&amp;" "&apos;" "&lt;" "&gt;" "&tilde;" "&deg;" "&per;" "&copy;"
// "&trade;" "&reg;", each to its one byte (Windows-1252), in that order.
std::string ExpandEntities(std::string_view text);

}  // namespace pelikon
