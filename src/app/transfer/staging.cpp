#include "app/transfer/staging.h"

#include <system_error>

#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

std::filesystem::path StagingFolder(const std::filesystem::path& temp_folder) {
  const std::filesystem::path folder = temp_folder / "#Pelikon#";
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    Trace("cannot make %s: %s", folder.c_str(), error.message().c_str());
    return {};
  }
  return folder;
}

std::filesystem::path FreshCenterlineFolder(const std::filesystem::path& temp_folder) {
  const std::filesystem::path folder = temp_folder / "$CL_FILES";
  std::error_code error;
  std::filesystem::remove_all(folder, error);
  std::filesystem::create_directories(folder, error);
  if (error) {
    Trace("cannot make %s: %s", folder.c_str(), error.message().c_str());
    return {};
  }
  return folder;
}

std::string BaseName(const std::string& file_name) {
  const size_t dot = file_name.rfind('.');
  return dot == std::string::npos ? file_name : file_name.substr(0, dot);
}

std::string Extension(const std::string& file_name) {
  const size_t dot = file_name.rfind('.');
  return dot == std::string::npos ? std::string() : file_name.substr(dot + 1);
}

bool HasExtension(const std::string& file_name, const char* extension) {
  return EqualsNoCase(Extension(file_name), extension);
}

std::string WithExtension(const std::string& file_name, const std::string& extension) {
  return BaseName(file_name) + "." + extension;
}

}  // namespace pelikon
