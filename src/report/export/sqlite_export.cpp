// The report table into an SQLite database file.
#include <sqlite3.h>

#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/export/export_common.h"
#include "report/export/sql_statements.h"

namespace pelikon {

namespace {

constexpr int kBusyWaitMs = 3000;

class Database {
 public:
  ~Database() {
    sqlite3_finalize(insert_);
    sqlite3_close(db_);
  }

  bool Open(const std::filesystem::path& path) {
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
      return false;
    }
    // Another program reading the file holds it only briefly.
    sqlite3_busy_timeout(db_, kBusyWaitMs);
    return true;
  }
  bool Execute(const std::string& sql) {
    return sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK;
  }
  bool Prepare(const std::string& sql) {
    return sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &insert_, nullptr) == SQLITE_OK;
  }

  bool Insert(const ReportTable& table, const ReportTableRow& row, const std::vector<bool>& numbers) {
    sqlite3_reset(insert_);
    for (size_t i = 0; i < numbers.size(); ++i) {
      const int slot = static_cast<int>(i) + 1;
      const ReportTableCell* cell = table_export::PresentCell(row, i);
      int rc = SQLITE_OK;
      if (!cell) {
        rc = sqlite3_bind_null(insert_, slot);
      } else if (numbers[i]) {
        rc = sqlite3_bind_double(insert_, slot, cell->number);
      } else {
        const std::string text = table_export::CellText(*cell, table.columns[i]);
        rc = sqlite3_bind_text64(insert_, slot, text.data(), text.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
      }
      if (rc != SQLITE_OK) return false;
    }
    return sqlite3_step(insert_) == SQLITE_DONE;
  }

  std::string Error() const { return db_ ? sqlite3_errmsg(db_) : "out of memory"; }

 private:
  sqlite3* db_ = nullptr;
  sqlite3_stmt* insert_ = nullptr;
};

}  // namespace

TableExportResult ExportSqlite(const ReportTable& table, const std::filesystem::path& path, std::string_view table_name,
                               const TableExportOptions&) {
  if (auto refused = table_export::CheckTable(table)) return *refused;
  if (auto refused = table_export::CheckTableName(table_name)) return *refused;
  const std::vector<bool> numbers = table_export::NumberColumns(table);
  const table_export::SqlStatements sql(table, table_name, "\"",
                                        [&numbers](size_t column) { return numbers[column] ? "REAL" : "TEXT"; });

  Database db;
  const auto failed = [&db, &path] {
    return table_export::Failure(
        StrPrintf(Tr("Cannot export to the database %s: %s"), path.c_str(), db.Error().c_str()));
  };
  if (!db.Open(path) || !db.Execute("BEGIN IMMEDIATE")) return failed();
  bool done = db.Execute(sql.drop_if_exists) && db.Execute(sql.create) && db.Prepare(sql.insert);
  for (size_t i = 0; done && i < table.rows.size(); ++i) {
    if (table.rows[i].kind == ReportTableRowKind::kData) done = db.Insert(table, table.rows[i], numbers);
  }
  if (done && db.Execute("COMMIT")) return {};
  TableExportResult result = failed();
  db.Execute("ROLLBACK");
  return result;
}

}  // namespace pelikon
