#include "app/command_line.h"

#include "platform/text.h"

namespace pelikon {

CommandLineRequest ParseCommandLine(std::string_view command_line) {
  CommandLineRequest request;
  const std::string upper = AsciiUpper(command_line);
  request.silent = upper.find(" /S ") != std::string::npos;

  const size_t own_name = upper.find("PELIKON");
  if (own_name == std::string::npos) return request;
  // The switches stand after the name and the one character behind it.
  size_t pos = own_name + 8;
  while (pos < upper.size()) {
    const size_t start = upper.find_first_not_of(' ', pos);
    if (start == std::string::npos) break;
    size_t end = upper.find(' ', start);
    if (end == std::string::npos) end = upper.size();
    const std::string_view piece(upper.data() + start, end - start);
    if (piece == "/BATCH") {
      request.job = CommandLineJob::kBatch;
      // The name is everything after the switch and its blank. It is taken
      // from behind this very switch, not from the first "/BATCH" of the
      // line, which on this system may be a folder in the program's path.
      const size_t name_start = start + 7;
      request.batch_file =
          name_start < command_line.size() ? std::string(Trim(command_line.substr(name_start), " ")) : std::string();
      // "/BATCH jobs.txt /S" means a silent run of jobs.txt, not a file
      // named "jobs.txt /S".
      const std::string upper_name = AsciiUpper(request.batch_file);
      if (upper_name.size() > 3 && upper_name.ends_with(" /S")) {
        request.silent = true;
        request.batch_file = std::string(TrimRight(request.batch_file.substr(0, request.batch_file.size() - 3), " "));
      }
      return request;
    }
    if (piece == "/GEOID") {
      request.job = CommandLineJob::kGeoid;
      return request;
    }
    if (piece == "/F2F") {
      request.job = CommandLineJob::kFieldToFinish;
      return request;
    }
    pos = end;
  }
  return request;
}

std::string JoinCommandLine(int argc, const char* const* argv) {
  std::string line;
  for (int i = 0; i < argc; ++i) {
    if (i > 0) line += ' ';
    line += argv[i];
  }
  return line;
}

}  // namespace pelikon
