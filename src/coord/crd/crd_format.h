// The kinds of coordinate file the subsystem knows by a small format code,
// the extensions that name them, the names of working copies, the error
// codes of CRD operations, and the process-wide defaults for new files.
#pragma once

#include <filesystem>
#include <string>

namespace pelikon {

enum CrdFormat : int {
  kNoFormat = -1,
  kCrdNumeric = 0,       // points 1..99999, the number is the record index
  kCrdAlphanumeric = 1,  // text identifiers, records sorted
  kCgcFile = 3,
  kCrdOtherDialect = 4,
  kZakFile = 5,
  kMdbFile = 6,
  kDwgFile = 7,
};

// Left in the handler after each operation.
enum CrdError : int {
  kCrdOk = 0,
  kCrdIdTooLong = 1,
  kCrdIdEmpty = 2,
  kCrdIdBelowOne = 3,
  kCrdIdTooHigh = 4,
  kCrdDescriptionTooLong = 8,
  kCrdNotFound = 10,
  kCrdCannotCreate = 20,
  kCrdCannotOpen = 21,
  kCrdInputOutput = 23,  // seek, read or write failed, or the file is cut short
  kCrdCannotDelete = 25,
  kCrdCannotRename = 26,
  kCrdUnknownFormat = 50,
  kCrdIdNotNumeric = 52,
};

// The meaning of an error code, untranslated (marked for the catalogue).
const char* CrdErrorText(int code);

// What the process does with CRD files it has not been told more about:
// the variant of new ".crd" files (alphanumeric unless a caller sets
// another; every open puts it back) and whether a file records history.
struct CrdDefaults {
  int new_format = kCrdAlphanumeric;
  bool history_enabled = false;
};
CrdDefaults& ProcessCrdDefaults();

// ".crd" -> the default for new CRD files (0, 1 or 4; any other setting
// gives 4), ".cgc" 3, ".zak" 5, ".mdb" 6, ".dwg" 7, else -1; without
// regard to case.
int FormatOfExtension(const std::filesystem::path& path);
// "crd" for 0, 1 and 4, "cgc", "zak", "mdb", "dwg"; empty for others.
std::string ExtensionOfFormat(int format);
// The working copy beside `path`: job.crd gives job_.crd.
std::filesystem::path TempNameFor(const std::filesystem::path& path, int format);
// `path` with its extension replaced by `extension` (without the dot).
std::filesystem::path CompanionPath(const std::filesystem::path& path, const char* extension);

}  // namespace pelikon
