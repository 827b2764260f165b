// The parts of a workbook package that say which sheets it has and where
// they are stored: the package relationships, the workbook part with its
// sheet list and relationships, and the content types. Reads find a sheet's
// part by the sheet's name; the additions register one new sheet.
#pragma once

#include <string>
#include <string_view>

namespace pelikon::xlsx {

// The workbook part named by the package relationships ("_rels/.rels").
bool FindWorkbookPart(std::string_view package_relationships, std::string& part);

// The relationships part of `part`: "xl/workbook.xml" has "xl/_rels/workbook.xml.rels".
std::string RelationshipsPartOf(const std::string& part);

// The part name for the n-th added sheet beside the workbook part's own
// worksheets: "xl/workbook.xml", 3 gives "xl/worksheets/sheet3.xml".
std::string SheetPartName(const std::string& workbook_part, int number);

// Where `sheet` (matched without regard to case) is stored: `found` false
// when the workbook has no such sheet; false when the parts cannot be read.
bool FindSheetPart(std::string_view workbook, std::string_view relationships, const std::string& workbook_part,
                   const std::string& sheet, bool& found, std::string& sheet_part);

// Registers a new last sheet named `sheet` stored in `sheet_part` (a name
// the package does not have yet) in the three parts given; false when they
// cannot be read.
bool AddSheet(const std::string& sheet, const std::string& sheet_part, const std::string& workbook_part,
              std::string& workbook, std::string& relationships, std::string& content_types);

// Unregisters the workbook's calculation chain, which spreadsheet programs
// rebuild when it is missing; `chain_part` is the part to leave out of the
// package (empty when there is none). False when the parts cannot be read.
bool DropCalculationChain(const std::string& workbook_part, std::string& relationships, std::string& content_types,
                          std::string& chain_part);

}  // namespace pelikon::xlsx
