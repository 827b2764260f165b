#include "coord/crd/crd_format.h"

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

const char* CrdErrorText(int code) {
  switch (code) {
    case kCrdOk:
      return N_("success");
    case kCrdIdTooLong:
      return N_("point identifier longer than 9 characters");
    case kCrdIdEmpty:
      return N_("empty point identifier");
    case kCrdIdBelowOne:
      return N_("point number below 1");
    case kCrdIdTooHigh:
      return N_("point number 100000 or more");
    case kCrdDescriptionTooLong:
      return N_("description longer than 31 characters");
    case kCrdNotFound:
      return N_("point not found");
    case kCrdCannotCreate:
      return N_("new file could not be created");
    case kCrdCannotOpen:
      return N_("file could not be opened");
    case kCrdInputOutput:
      return N_("file could not be read or written");
    case kCrdCannotDelete:
      return N_("file could not be deleted");
    case kCrdCannotRename:
      return N_("file could not be renamed");
    case kCrdUnknownFormat:
      return N_("unknown coordinate file format");
    case kCrdIdNotNumeric:
      return N_("point identifier is not a plain number");
    default:
      return N_("unknown error");
  }
}

CrdDefaults& ProcessCrdDefaults() {
  static CrdDefaults defaults;
  return defaults;
}

int FormatOfExtension(const std::filesystem::path& path) {
  const std::string ext = AsciiUpper(path.extension().string());
  if (ext == ".CRD") {
    const int chosen = ProcessCrdDefaults().new_format;
    return (chosen == kCrdNumeric || chosen == kCrdAlphanumeric || chosen == kCrdOtherDialect) ? chosen
                                                                                               : kCrdOtherDialect;
  }
  if (ext == ".CGC") return kCgcFile;
  if (ext == ".ZAK") return kZakFile;
  if (ext == ".MDB") return kMdbFile;
  if (ext == ".DWG") return kDwgFile;
  return kNoFormat;
}

std::string ExtensionOfFormat(int format) {
  switch (format) {
    case kCrdNumeric:
    case kCrdAlphanumeric:
    case kCrdOtherDialect:
      return "crd";
    case kCgcFile:
      return "cgc";
    case kZakFile:
      return "zak";
    case kMdbFile:
      return "mdb";
    case kDwgFile:
      return "dwg";
    default:
      return {};
  }
}

std::filesystem::path TempNameFor(const std::filesystem::path& path, int format) {
  std::filesystem::path temp = path;
  temp.replace_extension();
  temp += "_." + ExtensionOfFormat(format);
  return temp;
}

std::filesystem::path CompanionPath(const std::filesystem::path& path, const char* extension) {
  std::filesystem::path companion = path;
  companion.replace_extension(extension);
  return companion;
}

}  // namespace pelikon
