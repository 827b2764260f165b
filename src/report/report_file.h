// Saved reports (".rpt"): a report's entries with their tokens and text
// lines, and the format name and section it was finished with, kept in the
// record XML format so that a report can be shown again, or merged into
// another, later.
//
// Records, in order: one "report" record (id: the report's name); per entry
// an "entry" record (id: its number) with one "token" child per token
// (id: key; values note, type "string" or "real", value — reals as
// "%.14f" —, places, is_averaged, is_sorted, averkey or "-NULL-") or a
// "text" record with its "text" value; a closing "format" record with the
// values "name" and "section".
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "records/ov_uni_table.h"

#include "report/report_model.h"

namespace pelikon {

struct SavedReportTail {
  std::string format_name;
  std::string section;
};

// False when the file cannot be written.
bool SaveReportFile(const Report& report, const SavedReportTail& tail, const std::filesystem::path& file);

// The name of the report a saved file holds; false when the file is no
// saved report.
bool ReadSavedReportName(const std::filesystem::path& file, std::string& name);

// Appends the file's entries to `report` (as merged data) and gives its
// tail; false when the file is no saved report (nothing is added then).
bool ReadReportFile(const std::filesystem::path& file, Report& report, SavedReportTail& tail);

// The report's data entries as a table of records: one per entry (id: its
// number), one value per token (reals "%.14f" typed "real", strings typed
// "text").
std::unique_ptr<OvUniTable> ReportAsRecords(const Report& report);

}  // namespace pelikon
