#include <dlfcn.h>

#include <system_error>
#include <utility>

#include "platform/dynamic_library.h"
#include "platform/text.h"

namespace pelikon {

std::string SharedObjectName(std::string_view library_name) {
  std::string name(library_name);
  const size_t slash = name.find_last_of("/\\");
  if (slash != std::string::npos) name.erase(0, slash + 1);
  if (name.size() > 3 && name.compare(name.size() - 3, 3, ".so") == 0) return name;
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos && EqualsNoCase(std::string_view(name).substr(dot), ".dll")) name.erase(dot);
  if (name.rfind("lib", 0) != 0) name.insert(0, "lib");
  return name + ".so";
}

DynamicLibrary::~DynamicLibrary() {
  Unload();
}

DynamicLibrary::DynamicLibrary(DynamicLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      error_(std::move(other.error_)),
      keep_loaded_(std::exchange(other.keep_loaded_, false)) {}

DynamicLibrary& DynamicLibrary::operator=(DynamicLibrary&& other) noexcept {
  if (this != &other) {
    Unload();
    handle_ = std::exchange(other.handle_, nullptr);
    error_ = std::move(other.error_);
    keep_loaded_ = std::exchange(other.keep_loaded_, false);
  }
  return *this;
}

bool DynamicLibrary::Load(std::string_view library_name, const std::filesystem::path& program_folder) {
  Unload();
  const std::string file = SharedObjectName(library_name);
  const std::filesystem::path folder = program_folder.empty() ? ProgramFolder() : program_folder;
  for (const std::filesystem::path& private_folder : PrivateFolders(folder)) {
    const std::filesystem::path candidate = private_folder / file;
    std::error_code missing;
    if (!std::filesystem::exists(candidate, missing)) continue;
    handle_ = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_) {
      error_.clear();
      return true;
    }
    if (const char* why = ::dlerror()) error_ = why;
  }
  handle_ = ::dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_) {
    error_.clear();
    return true;
  }
  if (const char* why = ::dlerror()) error_ = why;
  return false;
}

void* DynamicLibrary::Symbol(const char* name) const {
  if (!handle_) return nullptr;
  return ::dlsym(handle_, name);
}

void DynamicLibrary::Unload() {
  if (handle_ && !keep_loaded_) ::dlclose(handle_);
  handle_ = nullptr;
}

}  // namespace pelikon
