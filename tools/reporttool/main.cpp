// reporttool [options] TABLE.csv
// reporttool --load FILE.rpt [options]
// reporttool --eval EQUATION [--var KEY=VALUE ...]
//
// Feeds a table to the report library and prints the text report its
// formatter writes: the fields and options of a saved format, of the
// command line, or (given neither) every column in its order.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/expression.h"
#include "report/format_store.h"
#include "report/report_session.h"
#include "report/report_trace.h"
#include "report/user_attributes.h"
#include "table_input.h"
#include "table_output.h"
#include "tool_usage.h"

namespace {

namespace fs = std::filesystem;
using pelikon::StrPrintf;
using pelikon::Tr;
using pelikon_tools::kExitFailure;
using pelikon_tools::kExitOk;

const pelikon_tools::ToolUsage kUsage(
    "reporttool",
    N_("usage: reporttool [options] TABLE.csv\n"
       "       reporttool --load FILE.rpt [options]\n"
       "       reporttool --eval EQUATION [--var KEY=VALUE ...]\n"),
    N_("Prints the text report of a CSV or tab-separated table: its first row gives\n"
       "the keys, an optional second row starting with \"#\" the column headings.\n"
       "Columns whose cells are all numbers are totalled.\n"
       "\n"
       "  --data DIR           the report data folder (formats.dta, formtch.dta,\n"
       "                       userattr.dta, attrsets.dta; the report is written there\n"
       "                       as tobrrprt.tmp); default a temporary folder\n"
       "  --title TEXT         the report's name (default: the table's file name)\n"
       "  --format NAME        the fields and options of a format saved in the data folder\n"
       "  --used \"K1|^K2|...\"  the fields shown, in order; a mark before a key sets its\n"
       "                       sort: none up, ^ down, ! hold, ~ collapse, ` ignore\n"
       "  --totals-depth N     sub-totals for groups of the first N fields (0 to 4)\n"
       "  --totals-only        only the totals\n"
       "  --commas             thousands separated by commas\n"
       "  --fixed WIDTH        every column WIDTH wide (default: as wide as its content)\n"
       "  --lines              one field per line instead of columns\n"
       "  --ignore-repeats     leave out values that repeat the line above\n"
       "  --section NAME       user-defined attributes and display options of that section\n"
       "  --save-format NAME   save the fields and options as a format of the data folder\n"
       "  --save FILE.rpt      save the report for a later --load\n"
       "  --load FILE.rpt      show a saved report (with its own format, if no other given)\n"
       "  --export KIND        send the report as a table instead: csv, tsv, xml (to\n"
       "                       standard output or --output FILE), sqlite (--output FILE)\n"
       "                       or odbc:DSN (a data source name or a connection string)\n"
       "  --output FILE        the file of --export\n"
       "  --table NAME         the database table of --export sqlite and odbc (\"report\")\n"
       "  --xlsx FILE          the report into an Excel workbook: a new one, or placed into\n"
       "                       --sheet NAME (added when missing) of one that exists, from\n"
       "                       --row N and --col N (1 and 1); --mirror swaps rows and columns\n"
       "  --include-text       text lines of the report as rows of the table\n"
       "  --include-totals     totals as rows of the table\n"
       "  --eval EQUATION      print the value of one equation (\"%.14f\"); --var KEY=VALUE\n"
       "                       gives a name its value (a number, or an angle as 12°30'36)\n"
       "Exit status: 0 done, 1 failed (the reason on standard error), 2 a wrong argument.\n"));

struct Settings {
  fs::path table;
  fs::path load;
  fs::path data;
  std::string title;
  std::string format;
  std::optional<std::vector<pelikon::FormatField>> used;
  std::optional<int> totals_depth;
  bool totals_only = false;
  bool commas = false;
  std::optional<int> fixed_width;
  bool lines = false;
  bool ignore_repeats = false;
  std::string section;
  std::string save_format;
  fs::path save;
  pelikon_tools::TableOutput table_output;
  std::optional<std::string> equation;
  std::vector<std::pair<std::string, std::string>> vars;
};

extern "C" void TraceToStandardError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = pelikon::VStrPrintf(format, args);
  va_end(args);
  std::fprintf(stderr, "%s: %s", kUsage.Program().c_str(), text.c_str());
  if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
}

// The tool plays the user of the formatter: it applies the command line's
// choices and shows the report on standard output.
class ToolPort : public pelikon::FormatterPort {
 public:
  explicit ToolPort(const Settings& settings) : settings_(settings) {}

  void RunOptions(pelikon::Formatter& formatter) override {
    if (!settings_.format.empty() && !formatter.LoadFormat(settings_.format))
      return Fail(StrPrintf(Tr("no format %s in %s"), settings_.format.c_str(), settings_.data.c_str()));
    if (settings_.used) {
      pelikon::FieldLists& fields = formatter.Fields();
      fields.ApplyFormat({});
      for (const pelikon::FormatField& field : *settings_.used)
        if (!fields.Use(field.key, field.sort))
          return Fail(StrPrintf(Tr("the report has no field %s (or it is given twice)"), field.key.c_str()));
    }
    pelikon::FormatOptions& options = formatter.Options();
    if (settings_.totals_depth) options.totals_depth = *settings_.totals_depth;
    if (settings_.fixed_width) {
      options.fixed = true;
      options.width = *settings_.fixed_width;
    }
    options.totals_only |= settings_.totals_only;
    options.use_commas |= settings_.commas;
    options.ignore_repeats |= settings_.ignore_repeats;
    if (settings_.lines) options.columns = false;
    formatter.UseEveryFieldIfNone();
    if (!settings_.save_format.empty() && !formatter.SaveFormat(settings_.save_format))
      return Fail(StrPrintf(Tr("cannot save the format in %s"), settings_.data.c_str()));
    if (!settings_.save.empty() && !formatter.SaveReport(settings_.save))
      return Fail(StrPrintf(Tr("cannot write %s"), settings_.save.c_str()));
    if (settings_.table_output.Wanted()) return Export(formatter);
    if (!formatter.Display()) failed_ = true;
  }
  void ShowMessage(const std::string& text) override { Fail(text); }
  bool ShowTextReport(const fs::path& file, const std::string&) override {
    std::string content;
    if (!pelikon::ReadWholeFile(file, content)) {
      Fail(StrPrintf(Tr("cannot read %s"), file.c_str()));
      return false;
    }
    shown_ = std::fwrite(content.data(), 1, content.size(), stdout) == content.size();
    return false;
  }
  fs::path AskReportFile(const std::string&, const fs::path&) override { return {}; }

  bool Succeeded() const { return shown_ && !failed_; }

 private:
  void Export(pelikon::Formatter& formatter) {
    const pelikon_tools::TableOutput& output = settings_.table_output;
    pelikon::ReportTable table;
    if (!formatter.BuildTable(output.include_text, output.include_totals, table)) return;
    std::string error;
    if (!pelikon_tools::WriteTableOutput(table, output, settings_.data, error)) return Fail(error);
    shown_ = true;
  }

  void Fail(const std::string& reason) {
    std::fprintf(stderr, "%s: %s\n", kUsage.Program().c_str(), reason.c_str());
    failed_ = true;
  }
  const Settings& settings_;
  bool failed_ = false;
  bool shown_ = false;
};

int Evaluate(const Settings& settings) {
  pelikon::SetReportTrace(TraceToStandardError);
  pelikon::Report values("reporttool");
  values.StartEntry();
  for (const auto& [key, text] : settings.vars) {
    pelikon::TokenValue token;
    token.key = key;
    token.note = key;
    double number = 0;
    if (pelikon::ReadWholeNumber(text, number)) {
      token.type = pelikon::kReportReal;
      token.real = number;
    } else {
      token.text = text;
    }
    values.AddToken(token);
  }
  const ReportToken* tokens = values.CurrentEntry()->tokens;
  pelikon::EquationContext context;
  context.value = [tokens](std::string_view name) { return pelikon::EntryValue(tokens, name); };
  context.text = [tokens](std::string_view name, std::string& text) {
    const ReportToken* token = pelikon::FindToken(tokens, pelikon::ReportKey(name));
    if (token == nullptr || token->type != pelikon::kReportString) return false;
    text = token->text;
    return true;
  };
  context.trace = [](const std::string& message) { TraceToStandardError("%s", message.c_str()); };
  const double value = pelikon::EvaluateEquation(*settings.equation, context);
  if (value == pelikon::kReportNoValue) return kUsage.Fail(Tr("the equation has no value"));
  std::printf("%.14f\n", value);
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

bool FeedTable(const Settings& settings, std::string& error) {
  pelikon_tools::InputTable table;
  if (!pelikon_tools::ReadInputTable(settings.table, table, error)) return false;
  pelikon::ReportSession& session = pelikon::ReportSession::Instance();
  session.StartReport(settings.title.empty() ? settings.table.filename().c_str() : settings.title.c_str());
  pelikon::Report& report = *session.Current();
  if (!settings.section.empty()) session.LoadUserAttr(settings.section.c_str());
  for (size_t r = 0; r < table.Rows(); ++r) {
    report.StartEntry();
    for (size_t c = 0; c < table.columns.size(); ++c) {
      const pelikon_tools::TableColumn& column = table.columns[c];
      const std::string_view cell = table.Cell(r, c);
      pelikon::TokenValue token;
      token.key = column.key;
      token.note = column.note;
      if (column.real) {
        if (cell.empty()) continue;
        token.type = pelikon::kReportReal;
        pelikon::ReadWholeNumber(cell, token.real);
        token.places = column.places;
      } else {
        token.text = cell;
        token.averkey = "";  // text columns have no total
      }
      report.AddToken(token);
    }
    if (!settings.section.empty()) session.ReportUserAttr();
    report.FinishEntry();
  }
  session.FreeUserAttr();
  return true;
}

// A private data folder for a run without --data, removed at the end.
class ScratchDataFolder {
 public:
  bool Make() {
    std::string pattern = (fs::temp_directory_path() / "reporttool-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return false;
    path_ = pattern;
    return true;
  }
  ~ScratchDataFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  const fs::path& Path() const { return path_; }

 private:
  fs::path path_;
};

int Run(Settings& settings) {
  if (settings.equation) return Evaluate(settings);
  ScratchDataFolder scratch;
  if (settings.data.empty()) {
    if (!scratch.Make()) return kUsage.Fail(Tr("cannot make a temporary folder"));
    settings.data = scratch.Path();
  }
  pelikon::ReportSession& session = pelikon::ReportSession::Instance();
  static ReportHost host{};
  const std::string data = settings.data.string() + "/";
  host.data_folder = data.c_str();
  host.start_folder = data.c_str();
  host.trace = TraceToStandardError;
  session.SetHost(&host);
  session.SetVars(data.c_str(), data.c_str(), "", "", "");
  ToolPort port(settings);
  session.SetPort(&port);
  if (!settings.load.empty()) {
    if (!session.DisplaySavedReport(settings.load))
      return kUsage.Fail(StrPrintf(Tr("%s is no saved report"), settings.load.c_str()));
  } else {
    std::string error;
    if (!FeedTable(settings, error)) return kUsage.Fail(error);
    session.FinishReport("REPORTTOOL", 0, settings.section.c_str());
  }
  session.SetPort(nullptr);
  if (!port.Succeeded()) return kExitFailure;
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  pelikon::BindCatalogue();
  if (pelikon_tools::ToolUsage::HelpAsked(argc, argv)) return kUsage.Help();
  pelikon_tools::ArgumentReader arguments(argc, argv, 1);
  Settings settings;
  while (!arguments.Done()) {
    const std::string& argument = arguments.Next();
    std::string value;
    long number = 0;
    if (argument == "--data" || argument == "--title" || argument == "--format" || argument == "--used" ||
        argument == "--section" || argument == "--save-format" || argument == "--save" || argument == "--load" ||
        argument == "--eval" || argument == "--var" || argument == "--export" || argument == "--output" ||
        argument == "--table" || argument == "--xlsx" || argument == "--sheet") {
      if (!arguments.Value(argument, value)) return kUsage.Wrong(arguments.Error());
      if (argument == "--data")
        settings.data = value;
      else if (argument == "--title")
        settings.title = value;
      else if (argument == "--format")
        settings.format = value;
      else if (argument == "--used")
        settings.used = pelikon::ParseFormatFieldsLine(value);
      else if (argument == "--section")
        settings.section = value;
      else if (argument == "--save-format")
        settings.save_format = value;
      else if (argument == "--save")
        settings.save = value;
      else if (argument == "--load")
        settings.load = value;
      else if (argument == "--eval")
        settings.equation = value;
      else if (argument == "--output")
        settings.table_output.output = value;
      else if (argument == "--table")
        settings.table_output.table_name = value;
      else if (argument == "--xlsx")
        settings.table_output.workbook = value;
      else if (argument == "--sheet")
        settings.table_output.sheet = value;
      else if (argument == "--export") {
        if (!pelikon_tools::ParseExportKind(value, settings.table_output))
          return kUsage.Wrong(StrPrintf(Tr("--export takes csv, tsv, xml, sqlite or odbc:DSN, not %s"), value.c_str()));
      } else {
        const size_t equals = value.find('=');
        if (equals == std::string::npos || equals == 0)
          return kUsage.Wrong(StrPrintf(Tr("--var needs KEY=VALUE, not %s"), value.c_str()));
        settings.vars.emplace_back(value.substr(0, equals), value.substr(equals + 1));
      }
    } else if (argument == "--totals-depth") {
      if (!arguments.Number(argument, 0, 4, number)) return kUsage.Wrong(arguments.Error());
      settings.totals_depth = static_cast<int>(number);
    } else if (argument == "--fixed") {
      if (!arguments.Number(argument, 1, 1000, number)) return kUsage.Wrong(arguments.Error());
      settings.fixed_width = static_cast<int>(number);
    } else if (argument == "--row" || argument == "--col") {
      if (!arguments.Number(argument, 1, 1048576, number)) return kUsage.Wrong(arguments.Error());
      (argument == "--row" ? settings.table_output.row : settings.table_output.column) = static_cast<int>(number);
    } else if (argument == "--mirror") {
      settings.table_output.mirror = true;
    } else if (argument == "--totals-only") {
      settings.totals_only = true;
    } else if (argument == "--commas") {
      settings.commas = true;
    } else if (argument == "--lines") {
      settings.lines = true;
    } else if (argument == "--ignore-repeats") {
      settings.ignore_repeats = true;
    } else if (argument == "--include-text") {
      settings.table_output.include_text = true;
    } else if (argument == "--include-totals") {
      settings.table_output.include_totals = true;
    } else if (argument.size() > 1 && argument.front() == '-') {
      return kUsage.Wrong(StrPrintf(Tr("unknown option %s"), argument.c_str()));
    } else if (settings.table.empty()) {
      settings.table = argument;
    } else {
      return kUsage.Wrong(Tr("one table only"));
    }
  }
  if (!settings.equation && settings.table.empty() == settings.load.empty())
    return kUsage.Wrong(Tr("give one table, or --load FILE.rpt"));
  if (settings.used && settings.used->empty()) return kUsage.Wrong(Tr("--used names no field"));
  return Run(settings);
}
