// The report table exports: the exact delimited texts, the record XML read
// back, SQLite files directly and through the SQLite ODBC driver read back
// with libsqlite3, and failures that leave earlier output alone.
#include "report/export/table_export.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/text.h"
#include "records/xml_file.h"
#include "report/export/export_destination.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using testing::Contents;
using testing::TempDir;

constexpr const char* kOdbcDriver = "/usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so";

ReportTableCell Number(double number) {
  return ReportTableCell{true, true, number, {}};
}
ReportTableCell Text(std::string text) {
  return ReportTableCell{true, false, 0, std::move(text)};
}
ReportTableRow Data(std::vector<ReportTableCell> cells) {
  return ReportTableRow{ReportTableRowKind::kData, {}, std::move(cells)};
}

// A text line, three data rows (one with a missing cell, texts with a
// separator, quotes and a line end) and a totals row.
ReportTable SampleTable() {
  ReportTable table;
  table.title = "Stakeout";
  table.columns = {{"PTNUM", "Point", true, 0}, {"ELEV", "Elev", true, 3}, {"DESC", "Description, free", false, 3}};
  table.rows = {
      {ReportTableRowKind::kText, "Job: site 1", {}},
      Data({Number(1), Number(100.5), Text("fence, post")}),
      Data({Number(2), Number(-0.0001), Text("say\t\"hi\"\r\nnext")}),
      Data({Number(3), {}, Text("plain")}),
      {ReportTableRowKind::kTotal, "Grand Total", {Number(6), Number(100.4999), {}}},
  };
  return table;
}

// One line per row, each value "NULL", "r:<number>" or "t:<text>", joined by "|".
std::vector<std::string> QuerySqlite(const std::filesystem::path& file, const std::string& sql) {
  std::vector<std::string> lines;
  sqlite3* db = nullptr;
  EXPECT_EQ(sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* stmt = nullptr;
  EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
    std::string line;
    for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
      if (i) line += "|";
      switch (sqlite3_column_type(stmt, i)) {
        case SQLITE_NULL:
          line += "NULL";
          break;
        case SQLITE_FLOAT:
          line += StrPrintf("r:%.10g", sqlite3_column_double(stmt, i));
          break;
        case SQLITE_INTEGER:
          line += StrPrintf("i:%lld", sqlite3_column_int64(stmt, i));
          break;
        default:
          line += "t:" + std::string(reinterpret_cast<const char*>(sqlite3_column_text(stmt, i)));
      }
    }
    lines.push_back(line);
  }
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return lines;
}

// Column name and declared type of every column of `table`.
std::vector<std::string> SqliteColumns(const std::filesystem::path& file, const std::string& table) {
  return QuerySqlite(file, "SELECT name, type FROM pragma_table_info('" + table + "')");
}

// One line per record of the XML file: "id type name=value(type) ...".
std::vector<std::string> XmlRecords(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  const std::unique_ptr<OvUniTable> read = ReadXmlFile(file);
  for (const OvUniRecord* r = read ? read->FirstRecord() : nullptr; r; r = r->Next()) {
    std::string line = r->Name() + " " + r->Type();
    for (const OvUniValue* v = r->FirstValue(); v; v = v->Next()) {
      line += " " + v->Name() + "=" + v->Value().value_or("(absent)") + "(" + v->Type().value_or("") + ")";
    }
    lines.push_back(line);
  }
  return lines;
}

std::string OdbcConnection(const std::filesystem::path& file) {
  return std::string("DRIVER=") + kOdbcDriver + ";Database=" + file.string();
}

// Every export with its target a file: delimited, XML, SQLite, ODBC.
using Export = TableExportResult (*)(const ReportTable&, const std::filesystem::path&);
const Export kEveryExport[] = {
    [](const ReportTable& t, const std::filesystem::path& p) { return ExportDelimited(t, p, ','); },
    [](const ReportTable& t, const std::filesystem::path& p) { return ExportRecordXml(t, p); },
    [](const ReportTable& t, const std::filesystem::path& p) { return ExportSqlite(t, p, "points"); },
    [](const ReportTable& t, const std::filesystem::path& p) { return ExportOdbc(t, OdbcConnection(p), "points"); },
};

// ---- Delimited text ------------------------------------------------------------

TEST(DelimitedExportTest, WritesTheExactText) {
  struct Case {
    const char* name;
    char separator;
    TableExportOptions options;
    const char* expected;
  };
  const Case cases[] = {
      {"csv",
       ',',
       {},
       "Point,Elev,\"Description, free\"\r\n"
       "1,100.500,\"fence, post\"\r\n"
       "2,0.000,\"say\t\"\"hi\"\"\r\nnext\"\r\n"
       "3,,plain\r\n"},
      {"csv with text and totals",
       ',',
       {true, true},
       "Point,Elev,\"Description, free\"\r\n"
       "Job: site 1,,\r\n"
       "1,100.500,\"fence, post\"\r\n"
       "2,0.000,\"say\t\"\"hi\"\"\r\nnext\"\r\n"
       "3,,plain\r\n"
       "Grand Total 6,100.500,\r\n"},
      {"semicolons",
       ';',
       {},
       "Point;Elev;Description, free\r\n"
       "1;100.500;fence, post\r\n"
       "2;0.000;\"say\t\"\"hi\"\"\r\nnext\"\r\n"
       "3;;plain\r\n"},
      {"tabs",
       '\t',
       {true, false},
       "Point\tElev\tDescription, free\r\n"
       "Job: site 1\t\t\r\n"
       "1\t100.500\tfence, post\r\n"
       "2\t0.000\tsay \"hi\"  next\r\n"
       "3\t\tplain\r\n"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::filesystem::path file = dir / "out.txt";
    const TableExportResult result = ExportDelimited(SampleTable(), file, c.separator, c.options);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(Contents(file), c.expected);
  }
}

TEST(DelimitedExportTest, RefusesSeparatorsThatCannotSeparate) {
  TempDir dir;
  for (const char separator : {'"', '\r', '\n'}) {
    EXPECT_FALSE(ExportDelimited(SampleTable(), dir / "x.csv", separator).ok);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.csv"));
  }
}

// The user's destination: what is missing is refused before anything is
// written; a complete one is written as its export writes it.
TEST(ExportDestinationTest, RefusesWhatIsMissingAndWritesWithTheTypedSeparator) {
  TempDir dir;
  const auto refused = [](ExportDestination destination) { return ExportTable(SampleTable(), destination).error; };
  ExportDestination csv;
  EXPECT_EQ(refused(csv), "Please choose a file to export to.");
  csv.file = dir / "out.csv";
  for (const char* separator : {"", ";;", "\xC2\xA7"}) {
    csv.separator = separator;
    EXPECT_EQ(refused(csv), "The separator must be a single character.") << separator;
  }
  EXPECT_FALSE(std::filesystem::exists(csv.file));
  ExportDestination odbc{ExportKind::kOdbc, ",", {}, " ", "report", {}};
  EXPECT_EQ(refused(odbc), "Please enter an ODBC data source or connection string.");
  ExportDestination sqlite{ExportKind::kSqlite, ",", dir / "out.db", {}, "", {}};
  EXPECT_EQ(refused(sqlite), "Please enter a table name.");

  csv.separator = ";";
  csv.options.include_totals = true;
  ASSERT_TRUE(ExportTable(SampleTable(), csv).ok);
  std::string text;
  ASSERT_TRUE(DelimitedText(SampleTable(), ';', csv.options, text).ok);
  EXPECT_EQ(Contents(csv.file), text);
  EXPECT_NE(text.find("\r\nGrand Total 6;100.500;\r\n"), std::string::npos) << text;
}

// ---- Record XML ----------------------------------------------------------------

TEST(XmlExportTest, RowsReadBackAsTypedRecords) {
  TempDir dir;
  ASSERT_TRUE(ExportRecordXml(SampleTable(), dir / "rows.xml").ok);
  EXPECT_EQ(XmlRecords(dir / "rows.xml"),
            (std::vector<std::string>{"1 row PTNUM=1.(real) ELEV=100.5(real) DESC=fence, post(text)",
                                      "2 row PTNUM=2.(real) ELEV=-0.0001(real) DESC=say\t\"hi\"\r\nnext(text)",
                                      "3 row PTNUM=3.(real) DESC=plain(text)"}));

  ASSERT_TRUE(ExportRecordXml(SampleTable(), dir / "all.xml", {true, true}).ok);
  const std::vector<std::string> all = XmlRecords(dir / "all.xml");
  ASSERT_EQ(all.size(), 5u);
  EXPECT_EQ(all[0], "1 text text=Job: site 1(text)");
  EXPECT_EQ(all[4], "5 total caption=Grand Total(text) PTNUM=6.(real) ELEV=100.4999(real)");
}

// ---- Names that SQL and XML must survive ---------------------------------------

// Keys with quotes and blanks, an empty key, and keys equal but for case.
ReportTable HostileKeys() {
  ReportTable table;
  table.columns = {{"a \"b\"", "", false, 3}, {"", "", false, 3}, {"ptnum", "", true, 0}, {"PTNUM", "", true, 0}};
  table.rows = {Data({Text("it's"), Text("x"), Number(1), Number(2)})};
  return table;
}

TEST(ColumnNamesTest, QuotedEmptyAndRepeatedKeysGiveDistinctNames) {
  TempDir dir;
  const std::filesystem::path db = dir / "k.sqlite";
  ASSERT_TRUE(ExportSqlite(HostileKeys(), db, "my \"table\"").ok);
  EXPECT_EQ(SqliteColumns(db, "my \"table\""),
            (std::vector<std::string>{"t:a \"b\"|t:TEXT", "t:column2|t:TEXT", "t:ptnum|t:REAL", "t:PTNUM_2|t:REAL"}));
  EXPECT_EQ(QuerySqlite(db, "SELECT * FROM \"my \"\"table\"\"\""), (std::vector<std::string>{"t:it's|t:x|r:1|r:2"}));

  ASSERT_TRUE(ExportRecordXml(HostileKeys(), dir / "k.xml").ok);
  EXPECT_EQ(XmlRecords(dir / "k.xml"),
            (std::vector<std::string>{"1 row a \"b\"=it's(text) column2=x(text) ptnum=1.(real) PTNUM_2=2.(real)"}));
}

// ---- Databases -----------------------------------------------------------------

TEST(SqliteExportTest, CreatesTypedTableWithNullsAndReplacesItOnReexport) {
  TempDir dir;
  const std::filesystem::path db = dir / "report.sqlite";
  const TableExportResult result = ExportSqlite(SampleTable(), db, "points");
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(SqliteColumns(db, "points"),
            (std::vector<std::string>{"t:PTNUM|t:REAL", "t:ELEV|t:REAL", "t:DESC|t:TEXT"}));
  EXPECT_EQ(QuerySqlite(db, "SELECT * FROM points"),
            (std::vector<std::string>{"r:1|r:100.5|t:fence, post", "r:2|r:-0.0001|t:say\t\"hi\"\r\nnext",
                                      "r:3|NULL|t:plain"}));

  ReportTable smaller;
  smaller.columns = {{"NAME", "", false, 3}};
  smaller.rows = {Data({Text("only")})};
  ASSERT_TRUE(ExportSqlite(smaller, db, "points").ok);
  EXPECT_EQ(SqliteColumns(db, "points"), (std::vector<std::string>{"t:NAME|t:TEXT"}));
  EXPECT_EQ(QuerySqlite(db, "SELECT * FROM points"), (std::vector<std::string>{"t:only"}));
}

TEST(SqliteExportTest, MixedColumnHoldsTheShownTexts) {
  ReportTable table;
  table.columns = {{"V", "", false, 2}};
  table.rows = {Data({Number(1.5)}), Data({Text("n/a")})};
  TempDir dir;
  ASSERT_TRUE(ExportSqlite(table, dir / "m.sqlite", "t").ok);
  EXPECT_EQ(QuerySqlite(dir / "m.sqlite", "SELECT V FROM t"), (std::vector<std::string>{"t:1.50", "t:n/a"}));
}

TEST(DatabaseExportTest, FailureLeavesEarlierDataAndSaysWhy) {
  for (const Export run : {kEveryExport[2], kEveryExport[3]}) {
    TempDir dir;
    const std::filesystem::path db = dir / "report.sqlite";
    ASSERT_TRUE(run(SampleTable(), db).ok);
    // A view cannot be dropped as a table, so the next export fails.
    sqlite3* handle = nullptr;
    ASSERT_EQ(sqlite3_open(db.c_str(), &handle), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(handle, "ALTER TABLE points RENAME TO other; CREATE VIEW points AS SELECT * FROM other",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(handle);
    const TableExportResult result = run(SampleTable(), db);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("view"), std::string::npos) << result.error;
    EXPECT_EQ(QuerySqlite(db, "SELECT count(*) FROM points"), (std::vector<std::string>{"i:3"}));

    const std::filesystem::path text = dir.Write("notes.txt", "not a database, just words\n");
    EXPECT_FALSE(run(SampleTable(), text).ok);
    EXPECT_EQ(Contents(text), "not a database, just words\n");
  }
  const TableExportResult on_folder = ExportSqlite(SampleTable(), testing::TempDir().Path(), "points");
  EXPECT_NE(on_folder.error.find("Cannot export to the database"), std::string::npos) << on_folder.error;
}

TEST(OdbcExportTest, WritesThroughTheDriverAndReplacesTheTable) {
  TempDir dir;
  const std::filesystem::path db = dir / "odbc.sqlite";
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const TableExportResult result = ExportOdbc(SampleTable(), OdbcConnection(db), "survey points");
    ASSERT_TRUE(result.ok) << result.error;
  }
  EXPECT_EQ(
      SqliteColumns(db, "survey points"),
      (std::vector<std::string>{"t:PTNUM|t:DOUBLE PRECISION", "t:ELEV|t:DOUBLE PRECISION", "t:DESC|t:VARCHAR(14)"}));
  EXPECT_EQ(QuerySqlite(db, "SELECT * FROM \"survey points\""),
            (std::vector<std::string>{"r:1|r:100.5|t:fence, post", "r:2|r:-0.0001|t:say\t\"hi\"\r\nnext",
                                      "r:3|NULL|t:plain"}));
}

TEST(OdbcExportTest, ConnectionFailuresCarryTheDriverManagersWords) {
  const TableExportResult no_driver =
      ExportOdbc(SampleTable(), "DRIVER=/nonexistent/libnodriver.so;Database=/tmp/x.sqlite", "points");
  EXPECT_NE(no_driver.error.find("libnodriver"), std::string::npos) << no_driver.error;
  // A name without "=" is a data source name.
  const TableExportResult no_source = ExportOdbc(SampleTable(), "no_such_data_source_here", "points");
  EXPECT_NE(no_source.error.find("Data source name not found"), std::string::npos) << no_source.error;
}

// ---- Every export ---------------------------------------------------------------

TEST(EveryExportTest, RefusesATableWithoutColumns) {
  TempDir dir;
  ReportTable no_columns;
  no_columns.rows = {Data({})};
  for (const Export run : kEveryExport) {
    const TableExportResult result = run(no_columns, dir / "none");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, "The report has no columns to export.");
    EXPECT_FALSE(std::filesystem::exists(dir / "none"));
  }
}

TEST(EveryExportTest, TableWithoutRowsKeepsItsColumns) {
  TempDir dir;
  ReportTable empty = SampleTable();
  empty.rows.clear();
  for (const Export run : kEveryExport) {
    std::filesystem::remove(dir / "empty");
    const TableExportResult result = run(empty, dir / "empty");
    ASSERT_TRUE(result.ok) << result.error;
  }
  EXPECT_EQ(SqliteColumns(dir / "empty", "points").size(), 3u);  // the last export was a database
  EXPECT_TRUE(QuerySqlite(dir / "empty", "SELECT * FROM points").empty());
}

TEST(FileExportTest, FailedWriteKeepsTheEarlierFileAndSaysWhy) {
  TempDir dir;
  for (const Export run : {kEveryExport[0], kEveryExport[1]}) {
    const std::filesystem::path file = dir.Write("kept.out", "earlier export\n");
    // The twin cannot be written where a folder stands.
    std::filesystem::create_directory(dir / "kept.out.new");
    const TableExportResult result = run(SampleTable(), file);
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.error.find("kept.out"), std::string::npos) << result.error;
    EXPECT_EQ(Contents(file), "earlier export\n");
    std::filesystem::remove(dir / "kept.out.new");

    const TableExportResult on_folder = run(SampleTable(), dir.Path());
    EXPECT_FALSE(on_folder.ok);
    EXPECT_NE(on_folder.error.find("Cannot write"), std::string::npos) << on_folder.error;
  }
}

}  // namespace
}  // namespace pelikon
