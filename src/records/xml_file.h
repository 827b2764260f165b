// The record XML file: tables of records with their values, as the merge
// manager keeps its settings and as records are exchanged.
//
// Written (every line ends CR LF; attribute texts escaped with EscapeXml):
//   <?xml version="1.0" encoding="us-ascii" ?>
//   <veldra_xml version="1.0">
//   <table>
//   <record id="NAME" type="TYPE" >        id and type only when not empty
//   ...child records, the same way...
//   <value name="N" type="T" value="V"></value>   type when typed, value
//   </record>                                      when the text is present
//   </table>
//   </veldra_xml>
//
// Read: "table" tags start tables (id, desc, type), "record" tags records
// (nested ones are children), "value" tags values; other tags are passed
// over. An older layout (records between a line "<OvUniRecord" and a line
// "/>", one "name = value" line per value) is read as well. Files are
// untrusted: malformed text ends the read where it is, and what was built
// so far is returned.
#pragma once

#include <filesystem>
#include <memory>

#include "records/ov_uni_record.h"
#include "records/ov_uni_table.h"

namespace pelikon {

// Records nested deeper than this end the read.
inline constexpr int kMaxRecordNesting = 64;

// The first table of the chain read; nullptr when the file cannot be read
// or holds no table and no record.
std::unique_ptr<OvUniTable> ReadXmlFile(const std::filesystem::path& path);
// The same from text held in memory.
std::unique_ptr<OvUniTable> ReadXmlText(std::string_view text);

// Writes the chain that starts at `first_record` as one table, through a
// twin file so that the old file stays whole until the new one is. 1, or
// 0 when the file cannot be written.
int WriteXmlFile(const std::filesystem::path& path, const OvUniRecord* first_record);
// The text WriteXmlFile writes.
std::string XmlText(const OvUniRecord* first_record);

}  // namespace pelikon
