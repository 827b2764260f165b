#include "support/test_environment.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace pelikon::testing {

void KeepTestFilesPrivate(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]).starts_with("--gtest_list_tests")) return;
  const char* temp = std::getenv("PELIKON_TEMP_DIR");
  const char* config = std::getenv("PELIKON_CONFIG_DIR");
  if (config && *config && temp && *temp) return;
  if (temp && *temp) {  // as CTest runs them: the settings go beside the working files
    ::setenv("PELIKON_CONFIG_DIR", (std::string(temp) + "/config").c_str(), 1);
    return;
  }
  const char* system_temp = std::getenv("TMPDIR");
  std::string pattern = std::string(system_temp && *system_temp ? system_temp : "/tmp") + "/pelikon-tests-XXXXXX";
  if (!::mkdtemp(pattern.data())) {
    std::perror("cannot make a private folder for the tests");
    std::exit(1);
  }
  ::setenv("PELIKON_TEMP_DIR", (pattern + "/work").c_str(), 1);
  if (!config || !*config) ::setenv("PELIKON_CONFIG_DIR", (pattern + "/config").c_str(), 1);
  std::fprintf(stderr, "test files and traces: %s\n", pattern.c_str());
}

}  // namespace pelikon::testing
