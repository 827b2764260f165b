// The report placed into an existing workbook by editing its package: only
// the sheet written to (and, for a new sheet, the parts that list sheets)
// change; the new package replaces the old one only once it is complete.
#include <map>
#include <memory>
#include <set>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "report/xlsx/package_file.h"
#include "report/xlsx/report_grid.h"
#include "report/xlsx/sheet_merge.h"
#include "report/xlsx/workbook_export.h"
#include "report/xlsx/workbook_parts.h"

namespace pelikon {
namespace {

// Parts are read whole; these bound what a damaged or hostile file costs.
constexpr size_t kListPartLimit = 64u << 20;
constexpr size_t kSheetPartLimit = 512u << 20;
constexpr int kMaxAddedSheetNumber = 100000;

WorkbookExportResult Failed(const char* message) {
  return {false, Tr(message)};
}

const char* const kOpenFailed = N_("Unable to open specified spreadsheet file");
const char* const kSheetFailed = N_("Unable to open specified sheet file");
const char* const kSheetProtected =
    N_("Excel Export: Requested sheet is protected. \nPlease unprotect under Tools->Protection.");

// The parts that list a workbook's sheets.
struct WorkbookLists {
  std::string workbook_part, workbook, relationships;
};

bool ReadLists(const xlsx::PackageFile& package, WorkbookLists& lists) {
  std::string package_relationships;
  return package.Read("_rels/.rels", kListPartLimit, package_relationships) &&
         xlsx::FindWorkbookPart(package_relationships, lists.workbook_part) &&
         package.Read(lists.workbook_part, kListPartLimit, lists.workbook) &&
         package.Read(xlsx::RelationshipsPartOf(lists.workbook_part), kListPartLimit, lists.relationships);
}

// The changed parts when replaced formulas leave the calculation chain
// naming cells that no longer hold one: spreadsheet programs take such a
// workbook for damaged, and rebuild a chain that is missing.
bool DropCalculationChainParts(const xlsx::PackageFile& package, const WorkbookLists& lists,
                               std::map<std::string, std::string>& parts, std::set<std::string>& dropped) {
  const std::string relationships_part = xlsx::RelationshipsPartOf(lists.workbook_part);
  std::string relationships = parts.count(relationships_part) != 0 ? parts[relationships_part] : lists.relationships;
  std::string content_types, chain_part;
  if (parts.count("[Content_Types].xml") != 0)
    content_types = parts["[Content_Types].xml"];
  else if (!package.Read("[Content_Types].xml", kListPartLimit, content_types))
    return false;
  if (!xlsx::DropCalculationChain(lists.workbook_part, relationships, content_types, chain_part)) return false;
  if (chain_part.empty()) return true;
  parts[relationships_part] = std::move(relationships);
  parts["[Content_Types].xml"] = std::move(content_types);
  dropped.insert(chain_part);
  return true;
}

// The changed parts for a sheet the workbook does not have yet.
bool AddedSheetParts(const xlsx::PackageFile& package, WorkbookLists& lists, const std::string& sheet,
                     const xlsx::ReportGrid& grid, std::map<std::string, std::string>& parts) {
  std::string content_types;
  xlsx::MergedSheet sheet_xml;
  if (!package.Read("[Content_Types].xml", kListPartLimit, content_types)) return false;
  std::string sheet_part;
  for (int number = 1; sheet_part.empty() || package.Has(sheet_part); ++number) {
    if (number > kMaxAddedSheetNumber) return false;
    sheet_part = xlsx::SheetPartName(lists.workbook_part, number);
  }
  if (xlsx::MergeIntoSheet(xlsx::EmptySheetXml(), grid, sheet_xml) != xlsx::SheetMerge::kMerged ||
      !xlsx::AddSheet(sheet, sheet_part, lists.workbook_part, lists.workbook, lists.relationships, content_types))
    return false;
  parts[sheet_part] = std::move(sheet_xml.xml);
  parts[lists.workbook_part] = std::move(lists.workbook);
  parts[xlsx::RelationshipsPartOf(lists.workbook_part)] = std::move(lists.relationships);
  parts["[Content_Types].xml"] = std::move(content_types);
  return true;
}

}  // namespace

WorkbookExportResult PlaceIntoWorkbook(const ReportTable& table, const std::filesystem::path& path,
                                       const WorkbookPlacement& placement) {
  xlsx::ReportGrid grid;
  std::string message;
  if (!xlsx::LayOutReport(table, placement, grid, message)) return {false, message};

  std::unique_ptr<xlsx::PackageFile> package = xlsx::PackageFile::Open(path);
  WorkbookLists lists;
  if (package == nullptr || !ReadLists(*package, lists)) return Failed(kOpenFailed);
  const std::string sheet = xlsx::SheetNameFor(placement.sheet);
  bool found = false;
  std::string sheet_part;
  if (!xlsx::FindSheetPart(lists.workbook, lists.relationships, lists.workbook_part, sheet, found, sheet_part))
    return Failed(kOpenFailed);

  std::map<std::string, std::string> parts;
  std::set<std::string> dropped;
  if (found) {
    std::string sheet_xml;
    xlsx::MergedSheet merged;
    if (sheet_part.empty() || !package->Read(sheet_part, kSheetPartLimit, sheet_xml)) return Failed(kSheetFailed);
    switch (xlsx::MergeIntoSheet(sheet_xml, grid, merged)) {
      case xlsx::SheetMerge::kProtected:
        return Failed(kSheetProtected);
      case xlsx::SheetMerge::kMalformed:
        return Failed(kSheetFailed);
      case xlsx::SheetMerge::kMerged:
        break;
    }
    parts[sheet_part] = std::move(merged.xml);
    if (merged.formulas_replaced && !DropCalculationChainParts(*package, lists, parts, dropped))
      return Failed(kOpenFailed);
  } else if (!AddedSheetParts(*package, lists, sheet, grid, parts)) {
    return Failed(kOpenFailed);
  }

  const std::filesystem::path twin = TwinPath(path);
  const bool copied = package->WriteCopy(twin, parts, dropped);
  package.reset();
  if (!copied) return Failed(xlsx::kSaveFailedMessage);
  // The workbook keeps who may read it.
  std::error_code mode_error;
  std::filesystem::permissions(twin, std::filesystem::status(path, mode_error).permissions(), mode_error);
  if (ReplaceWithTwin(twin, path)) {
    std::error_code ignored;
    std::filesystem::remove(twin, ignored);
    return Failed(xlsx::kSaveFailedMessage);
  }
  return {true, {}};
}

}  // namespace pelikon
