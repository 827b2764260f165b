// The report table into any SQL database through ODBC. Only standard SQL
// and ODBC 3 calls are used, so that any driver will do: the old table is
// looked up through the catalogue rather than with "IF EXISTS", and
// identifiers are quoted with the character the driver names.
#include <sql.h>
#include <sqlext.h>

#include <algorithm>

#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/export/export_common.h"
#include "report/export/sql_statements.h"

namespace pelikon {

namespace {

SQLCHAR* SqlText(const std::string& text) {
  return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str()));
}

class OdbcSession {
 public:
  ~OdbcSession() {
    if (stmt_) SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
    if (connected_) SQLDisconnect(dbc_);
    if (dbc_) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    if (env_) SQLFreeHandle(SQL_HANDLE_ENV, env_);
  }

  bool Connect(const std::string& connection) {
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_))) return false;
    if (!SQL_SUCCEEDED(SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0)) ||
        !SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_))) {
      Collect(SQL_HANDLE_ENV, env_);
      return false;
    }
    connected_ = SQL_SUCCEEDED(
        SQLDriverConnect(dbc_, nullptr, SqlText(connection), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT));
    if (connected_) {
      connected_in_transaction_ = SQL_SUCCEEDED(SQLSetConnectAttr(
          dbc_, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), SQL_IS_UINTEGER));
    }
    if (!connected_in_transaction_) Collect(SQL_HANDLE_DBC, dbc_);
    return connected_in_transaction_;
  }

  // The driver's quote for identifiers; empty when it has none.
  std::string IdentifierQuote() {
    char quote[8] = {};
    SQLSMALLINT length = 0;
    if (!SQL_SUCCEEDED(SQLGetInfo(dbc_, SQL_IDENTIFIER_QUOTE_CHAR, quote, sizeof quote, &length))) return "\"";
    const std::string text(quote);
    return text == " " ? std::string() : text;
  }

  bool TableExists(const std::string& name, bool& exists) {
    if (!NewStatement()) return false;
    // The name is a search pattern here, where "_" and "%" match more than
    // themselves, so the names found are compared again.
    if (!Check(SQLTables(stmt_, nullptr, 0, nullptr, 0, SqlText(name), SQL_NTS, nullptr, 0))) return false;
    exists = false;
    SQLRETURN rc;
    while (SQL_SUCCEEDED(rc = SQLFetch(stmt_))) {
      char found[512] = {};
      SQLLEN length = 0;
      if (SQL_SUCCEEDED(SQLGetData(stmt_, 3, SQL_C_CHAR, found, sizeof found, &length)) && name == found) {
        exists = true;
      }
    }
    return rc == SQL_NO_DATA || Check(rc);
  }

  bool Execute(const std::string& sql) { return NewStatement() && Check(SQLExecDirect(stmt_, SqlText(sql), SQL_NTS)); }
  bool Prepare(const std::string& sql) { return NewStatement() && Check(SQLPrepare(stmt_, SqlText(sql), SQL_NTS)); }

  // One parameter of the prepared statement; the value must stay put until
  // Run(). `value` nullptr is NULL.
  bool BindNumber(SQLUSMALLINT slot, const double* value, SQLLEN& indicator) {
    indicator = value ? 0 : SQL_NULL_DATA;
    return Check(SQLBindParameter(stmt_, slot, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0,
                                  const_cast<double*>(value), 0, &indicator));
  }
  bool BindText(SQLUSMALLINT slot, const std::string* value, SQLULEN size, SQLLEN& indicator) {
    indicator = value ? static_cast<SQLLEN>(value->size()) : SQL_NULL_DATA;
    return Check(SQLBindParameter(stmt_, slot, SQL_PARAM_INPUT, SQL_C_CHAR, SQL_VARCHAR, size, 0,
                                  value ? SqlText(*value) : nullptr, value ? indicator : 0, &indicator));
  }
  bool Run() { return Check(SQLExecute(stmt_)); }

  bool Finish(bool commit) {
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc_, commit ? SQL_COMMIT : SQL_ROLLBACK);
    if (!SQL_SUCCEEDED(rc)) Collect(SQL_HANDLE_DBC, dbc_);
    return SQL_SUCCEEDED(rc);
  }

  const std::string& Diagnostics() const { return diagnostics_; }

 private:
  bool NewStatement() {
    if (stmt_) SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
    stmt_ = nullptr;
    if (SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt_))) return true;
    Collect(SQL_HANDLE_DBC, dbc_);
    return false;
  }
  bool Check(SQLRETURN rc) {
    if (SQL_SUCCEEDED(rc)) return true;
    Collect(SQL_HANDLE_STMT, stmt_);
    return false;
  }
  // Keeps the first failure's diagnostics; later ones (the rollback's)
  // would hide the cause.
  void Collect(SQLSMALLINT type, SQLHANDLE handle) {
    if (!diagnostics_.empty()) return;
    SQLCHAR state[6] = {};
    SQLCHAR message[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1;
         SQL_SUCCEEDED(SQLGetDiagRec(type, handle, record, state, &native, message, sizeof message, &length));
         ++record) {
      if (!diagnostics_.empty()) diagnostics_ += "; ";
      diagnostics_ += reinterpret_cast<const char*>(message);
    }
    if (diagnostics_.empty()) diagnostics_ = Tr("the driver gave no details");
  }

  SQLHENV env_ = nullptr;
  SQLHDBC dbc_ = nullptr;
  SQLHSTMT stmt_ = nullptr;
  bool connected_ = false;
  bool connected_in_transaction_ = false;
  std::string diagnostics_;
};

// The longest text a column holds, at least 1.
std::vector<SQLULEN> TextSizes(const ReportTable& table) {
  std::vector<SQLULEN> sizes(table.columns.size(), 1);
  for (const ReportTableRow& row : table.rows) {
    if (row.kind != ReportTableRowKind::kData) continue;
    for (size_t i = 0; i < sizes.size(); ++i) {
      if (const ReportTableCell* cell = table_export::PresentCell(row, i)) {
        sizes[i] = std::max<SQLULEN>(sizes[i], table_export::CellText(*cell, table.columns[i]).size());
      }
    }
  }
  return sizes;
}

bool InsertRow(OdbcSession& session, const ReportTable& table, const ReportTableRow& row,
               const std::vector<bool>& numbers, const std::vector<SQLULEN>& sizes) {
  const size_t count = numbers.size();
  std::vector<std::string> texts(count);
  std::vector<SQLLEN> indicators(count);
  for (size_t i = 0; i < count; ++i) {
    const auto slot = static_cast<SQLUSMALLINT>(i + 1);
    const ReportTableCell* cell = table_export::PresentCell(row, i);
    bool bound;
    if (numbers[i]) {
      bound = session.BindNumber(slot, cell ? &cell->number : nullptr, indicators[i]);
    } else {
      if (cell) texts[i] = table_export::CellText(*cell, table.columns[i]);
      bound = session.BindText(slot, cell ? &texts[i] : nullptr, sizes[i], indicators[i]);
    }
    if (!bound) return false;
  }
  return session.Run();
}

bool WriteTable(OdbcSession& session, const ReportTable& table, std::string_view table_name) {
  const std::vector<bool> numbers = table_export::NumberColumns(table);
  const std::vector<SQLULEN> sizes = TextSizes(table);
  const table_export::SqlStatements sql(table, table_name, session.IdentifierQuote(), [&](size_t column) {
    return numbers[column] ? std::string("DOUBLE PRECISION") : StrPrintf("VARCHAR(%zu)", size_t{sizes[column]});
  });
  bool exists = false;
  if (!session.TableExists(std::string(table_name), exists)) return false;
  if (exists && !session.Execute(sql.drop)) return false;
  if (!session.Execute(sql.create) || !session.Prepare(sql.insert)) return false;
  for (const ReportTableRow& row : table.rows) {
    if (row.kind == ReportTableRowKind::kData && !InsertRow(session, table, row, numbers, sizes)) return false;
  }
  return session.Finish(true);
}

}  // namespace

TableExportResult ExportOdbc(const ReportTable& table, std::string_view connection, std::string_view table_name,
                             const TableExportOptions&) {
  if (auto refused = table_export::CheckTable(table)) return *refused;
  if (auto refused = table_export::CheckTableName(table_name)) return *refused;
  // The connection string may hold a password, so failures never show it.
  OdbcSession session;
  const std::string connection_string(connection.find('=') == std::string_view::npos ? "DSN=" + std::string(connection)
                                                                                     : std::string(connection));
  if (!session.Connect(connection_string)) {
    return table_export::Failure(StrPrintf(Tr("Cannot connect to the database: %s"), session.Diagnostics().c_str()));
  }
  if (WriteTable(session, table, table_name)) return {};
  session.Finish(false);
  return table_export::Failure(StrPrintf(Tr("Cannot export to the database: %s"), session.Diagnostics().c_str()));
}

}  // namespace pelikon
