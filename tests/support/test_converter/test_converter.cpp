// A stand-in for the outside file-format converter, for the binding's tests
// only. It is built as libmorvish.so into test-lib/ (and once more, with
// cl_to_aln not exported, into test-lib-partial/), never beside the program.
// Its "formats" are plain text made up for the tests:
//
//   get_mdb_type  the number of the .mdb file's first line "TYPE=<number>".
//   mdb_to_db     writes "DB <type>" with the type it is given, then every
//                 line of the .mdb after its TYPE line.
//   db_to_mdb     the reverse: "TYPE=<type>" from the "DB <type>" line, then
//                 the rest.
//   aln_to_cl     every line "NAME:content" of the .aln adds the line
//                 "content" to NAME.cl in the output folder (which must
//                 exist); the result buffer gets the number of .cl files.
//   cl_to_aln     writes the line "NAME:line" for every line of NAME.cl: of
//                 the one file given, or (single-file flag 0) of every .cl
//                 file of the folder given, in name order; the result buffer
//                 gets the number of .cl files.
//
// The database conversions report 0 percent first, then the share done
// after each line, ending at 100, when they are given a progress routine.
// Every conversion fails with a message for a file it cannot read or
// write, or for an input that contains "FAIL"; an input that contains
// "OVERFLOW" fills the whole message buffer without a terminator.
// test_converter_replay_progress() calls the last progress routine it was
// given, so that tests can see where that routine leads afterwards.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#define TEST_CONVERTER_EXPORT __attribute__((visibility("default")))
#ifdef TEST_CONVERTER_WITHOUT_CL_TO_ALN
#define TEST_CONVERTER_CL_TO_ALN __attribute__((visibility("hidden")))
#else
#define TEST_CONVERTER_CL_TO_ALN TEST_CONVERTER_EXPORT
#endif

namespace {

using Progress = void (*)(int percent, int reserved);
namespace fs = std::filesystem;

Progress last_progress = nullptr;
int last_progress_reserved = 0;

struct Message {
  char* text;
  int size;

  // Always returns 0, the failure result, so that callers can return it.
  int Fail(const char* format, const std::string& argument) const {
    if (text && size > 0) std::snprintf(text, static_cast<size_t>(size), format, argument.c_str());
    return 0;
  }
  int Overflow() const {
    if (text && size > 0) std::memset(text, '#', static_cast<size_t>(size));
    return 0;
  }
};

bool ReadFile(const fs::path& path, std::string& content) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

bool WriteFile(const fs::path& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  out.close();
  return static_cast<bool>(out);
}

std::vector<std::string> Lines(const std::string& content) {
  std::vector<std::string> lines;
  std::istringstream in(content);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Reads an input file, honouring the failure markers; 1 when it may be used.
int ReadInput(const fs::path& path, std::string& content, const Message& message) {
  if (!ReadFile(path, content)) return message.Fail("cannot read %s", path.string());
  if (content.find("OVERFLOW") != std::string::npos) return message.Overflow();
  if (content.find("FAIL") != std::string::npos) return message.Fail("refused to convert %s", path.string());
  return 1;
}

bool ParseNumberAfter(const std::string& line, const std::string& prefix, int& number) {
  if (line.rfind(prefix, 0) != 0) return false;
  const std::string digits = line.substr(prefix.size());
  if (digits.empty() || digits.size() > 6 ||
      !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
    return false;
  number = std::stoi(digits);
  return true;
}

// Writes `header` and every line but the first to `target`, reporting
// progress line by line.
int RewriteWithHeader(const std::string& header, const std::vector<std::string>& lines, const fs::path& target,
                      Progress progress, int progress_reserved, const Message& message) {
  last_progress = progress;
  last_progress_reserved = progress_reserved;
  if (progress) progress(0, progress_reserved);
  std::string output = header + "\n";
  const size_t body = lines.size() - 1;
  for (size_t i = 1; i < lines.size(); ++i) {
    output += lines[i] + "\n";
    if (progress) progress(static_cast<int>(i * 100 / body), progress_reserved);
  }
  if (progress && body == 0) progress(100, progress_reserved);
  if (!WriteFile(target, output)) return message.Fail("cannot write %s", target.string());
  return 1;
}

bool SafeCentrelineName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string::npos;
}

void WriteCount(char* result, size_t count) {
  if (result) std::snprintf(result, 16, "%zu", count);
}

}  // namespace

extern "C" {

TEST_CONVERTER_EXPORT int get_mdb_type(const char* mdb_path, int* type, char* message, int message_size) {
  const Message out{message, message_size};
  if (!mdb_path || !type) return out.Fail("%s", "missing argument");
  std::string content;
  if (!ReadInput(mdb_path, content, out)) return 0;
  const std::vector<std::string> lines = Lines(content);
  if (lines.empty() || !ParseNumberAfter(lines[0], "TYPE=", *type)) return out.Fail("no database type in %s", mdb_path);
  return 1;
}

TEST_CONVERTER_EXPORT int mdb_to_db(const char* source, const char* target, int* type, char* message, int message_size,
                                    Progress progress, int progress_reserved) {
  const Message out{message, message_size};
  if (!source || !target || !type) return out.Fail("%s", "missing argument");
  std::string content;
  if (!ReadInput(source, content, out)) return 0;
  const std::vector<std::string> lines = Lines(content);
  int own_type = 0;
  if (lines.empty() || !ParseNumberAfter(lines[0], "TYPE=", own_type)) return out.Fail("not a database: %s", source);
  return RewriteWithHeader("DB " + std::to_string(*type), lines, target, progress, progress_reserved, out);
}

TEST_CONVERTER_EXPORT int db_to_mdb(const char* source, const char* target, int /*reserved*/, char* message,
                                    int message_size, Progress progress, int progress_reserved) {
  const Message out{message, message_size};
  if (!source || !target) return out.Fail("%s", "missing argument");
  std::string content;
  if (!ReadInput(source, content, out)) return 0;
  const std::vector<std::string> lines = Lines(content);
  int type = 0;
  if (lines.empty() || !ParseNumberAfter(lines[0], "DB ", type))
    return out.Fail("not a collector database: %s", source);
  return RewriteWithHeader("TYPE=" + std::to_string(type), lines, target, progress, progress_reserved, out);
}

TEST_CONVERTER_EXPORT int aln_to_cl(const char* aln_path, const char* output_folder, char* result, char* message,
                                    int message_size, int /*reserved*/, int /*reserved2*/) {
  const Message out{message, message_size};
  if (!aln_path || !output_folder) return out.Fail("%s", "missing argument");
  std::string content;
  if (!ReadInput(aln_path, content, out)) return 0;
  std::map<std::string, std::string> centrelines;
  for (const std::string& line : Lines(content)) {
    if (line.empty()) continue;
    const size_t colon = line.find(':');
    const std::string name = line.substr(0, colon);
    if (colon == std::string::npos || !SafeCentrelineName(name)) return out.Fail("not NAME:content: %s", line);
    centrelines[name] += line.substr(colon + 1) + "\n";
  }
  for (const auto& [name, lines] : centrelines) {
    const fs::path file = fs::path(output_folder) / (name + ".cl");
    if (!WriteFile(file, lines)) return out.Fail("cannot write %s", file.string());
  }
  WriteCount(result, centrelines.size());
  return 1;
}

TEST_CONVERTER_CL_TO_ALN int cl_to_aln(const char* source, const char* target, int single_file, char* result,
                                       char* message, int message_size) {
  const Message out{message, message_size};
  if (!source || !target) return out.Fail("%s", "missing argument");
  std::vector<fs::path> files;
  if (single_file) {
    files.push_back(source);
  } else {
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(source, error))
      if (entry.is_regular_file(error) && entry.path().extension() == ".cl") files.push_back(entry.path());
    if (error) return out.Fail("cannot list %s", source);
    if (files.empty()) return out.Fail("no .cl files in %s", source);
    std::sort(files.begin(), files.end());
  }
  std::string aln;
  for (const fs::path& file : files) {
    std::string content;
    if (!ReadInput(file, content, out)) return 0;
    for (const std::string& line : Lines(content)) aln += file.stem().string() + ":" + line + "\n";
  }
  if (!WriteFile(target, aln)) return out.Fail("cannot write %s", target);
  WriteCount(result, files.size());
  return 1;
}

// Not part of the converter: calls the last progress routine it was given,
// as a misbehaving library might after its call has returned. Returns 0
// when it never was given one.
TEST_CONVERTER_EXPORT int test_converter_replay_progress(int percent) {
  if (!last_progress) return 0;
  last_progress(percent, last_progress_reserved);
  return 1;
}

}  // extern "C"
