#include <system_error>

#include "platform/program_files.h"

namespace pelikon {

std::filesystem::path ProgramFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return exe.parent_path();
}

}  // namespace pelikon
