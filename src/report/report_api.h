/* The report library's interface ("libquorvel.so"): plain C functions that
 * build a report — a named list of entries, each a list of named, typed
 * values (tokens), plus free text lines — and hand it to the formatter,
 * which shows it and frees it. Programs load the library by name and bind
 * these functions by name; the typedefs give each its signature.
 *
 * Calling order: StartReport; per record StartEntry, Add*Token, then
 * FinishEntry or DumpEntry; AddTextEntry at any point after StartReport;
 * SetVarsPtr and SetVars before FinishReport (or DumpReport to drop the
 * report unshown). All calls come from one thread. */
#ifndef PELIKON_REPORT_API_H
#define PELIKON_REPORT_API_H

#ifdef __cplusplus
extern "C" {
#endif

/* The value that marks "no value": a real token carrying it is not added. */
#define REPORT_NO_VALUE 98765432.1

/* A report's entries and their values (tokens), as GetCurrentReport and
 * GetToken hand them out; the library owns them. */
typedef struct ReportNode ReportNode;
typedef struct ReportToken ReportToken;

/* ProcessReportLine writes at most this many characters and a zero. */
#define REPORT_LINE_BUFFER 1024

/* What the library is told of its host. The texts are those of SetVars:
 * the data folder (with its trailing separator), the folder pickers start
 * in, and three texts of the host's own. */
typedef struct ReportHost {
  const char* data_folder;
  const char* start_folder;
  const char* text3;
  const char* text4;
  const char* text5;
  /* Called with the path of the report script when the user sends the
   * report to the host; may be null. */
  void (*script)(const char* script_path);
  /* The host's trace, printf-style; may be null. */
  void (*trace)(const char* format, ...);
} ReportHost;

typedef void (*StartReportFunction)(const char* name);
typedef void (*StartEntryFunction)(void);
typedef void (*AddStringTokenFunction)(const char* key, const char* note, const char* value, const char* averkey,
                                       unsigned char is_sorted);
typedef void (*AddDoubleTokenFunction)(const char* key, const char* note, double value, int places, const char* averkey,
                                       unsigned char is_sorted);
typedef void (*AddTextEntryFunction)(const char* text);
typedef void (*DumpEntryFunction)(void);
typedef void (*FinishEntryFunction)(void);
/* mode 0: the formatter's options first; 1: shown at once with the format
 * last used under `format_name`. */
typedef void (*FinishReportFunction)(const char* format_name, int mode, const char* section);
typedef void (*DumpReportFunction)(void);
/* `output` holds at least REPORT_LINE_BUFFER bytes. */
typedef void (*ProcessReportLineFunction)(const char* line_template, char* output);
typedef void (*LoadUserAttrFunction)(const char* section);
typedef void (*ReportUserAttrFunction)(void);
typedef void (*FreeUserAttrFunction)(void);
typedef void (*LoadReportFunction)(void);
/* The first entry of the current report, or null. */
typedef ReportNode* (*GetCurrentReportFunction)(void);
/* GetToken and GetReportToken: the first token of the list whose key
 * equals `key` without regard to case, or null. */
typedef ReportToken* (*GetTokenFunction)(ReportToken* list, const char* key);
typedef void (*SetVarsFunction)(const char* data_folder, const char* start_folder, const char* text3, const char* text4,
                                const char* text5);
typedef void (*SetVarsPtrFunction)(const ReportHost* host);
/* "$Revision: x.yy $" */
typedef const char* (*ReportVersionCheckFunction)(void);
/* A header line of the report being finished ("Project: %s"); a second
 * call with the same field name replaces its text. */
typedef void (*AddFieldEntryFunction)(const char* field_name, const char* text);
/* With the key "__WINDOWS", 0 keeps the formatter off the screen: the
 * text report is written to the data folder and FinishReport returns
 * (for hosts without a display). With a field's key, the sort mode (0
 * hold, 1 up, 2 down, 3 collapse, 4 ignore) that field takes in reports
 * finished afterwards. */
typedef void (*SetKeyOptionFunction)(const char* key, int option);
/* Shows the saved report `file` as LoadReport does after its picker; 1
 * when it was one, 0 otherwise. */
typedef int (*DisplaySavedReportFunction)(const char* file);
/* The current report's data entries as records (one per entry, one value
 * per token, typed "real" or "text"), in a new table the caller owns;
 * null without a report. For the library's own windows. */
typedef void* (*ReportCompleteAsUniRecsFunction)(void);

#ifdef __cplusplus
}
#endif

#endif
