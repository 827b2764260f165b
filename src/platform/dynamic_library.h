// Loading an optional library by name at run time and binding its
// functions by name.
//
// Names are given as the program has always named them ("tolvane.DLL");
// on this system that means the shared object "libtolvane.so". It is looked
// for in the program's private folders first (next to the executable, then
// <prefix>/lib/pelikon; see program_files.h), then wherever the system's
// loader looks.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/program_files.h"

namespace pelikon {

// "tolvane.DLL" -> "libtolvane.so"; a name that already ends in ".so" is kept.
std::string SharedObjectName(std::string_view library_name);

class DynamicLibrary {
 public:
  DynamicLibrary() = default;
  ~DynamicLibrary();
  DynamicLibrary(const DynamicLibrary&) = delete;
  DynamicLibrary& operator=(const DynamicLibrary&) = delete;
  DynamicLibrary(DynamicLibrary&& other) noexcept;
  DynamicLibrary& operator=(DynamicLibrary&& other) noexcept;

  // Loads the library; true on success. The private folders of
  // `program_folder` are searched first (empty: the running executable's).
  bool Load(std::string_view library_name, const std::filesystem::path& program_folder = {});
  bool IsLoaded() const { return handle_ != nullptr; }
  // The address of an exported symbol, or nullptr.
  void* Symbol(const char* name) const;
  template <typename Function>
  Function Bind(const char* name) const {
    return reinterpret_cast<Function>(Symbol(name));
  }
  // Why the last Load failed, for the trace.
  const std::string& LastError() const { return error_; }
  void Unload();
  // Leaves the library loaded for the rest of the process, whatever
  // happens to this object (it may run threads of its own).
  void KeepLoaded() { keep_loaded_ = true; }

 private:
  void* handle_ = nullptr;
  std::string error_;
  bool keep_loaded_ = false;
};

}  // namespace pelikon
