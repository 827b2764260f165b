// The outside file-format converter, bound by name when it is installed:
// PC databases (.mdb) to and from the collector's databases, alignments
// (.aln) to and from centreline files (.cl). The program converts only when
// all five entry points are present; a library that lacks any of them is
// treated as absent.
//
// Every call hands the library a zeroed message buffer of
// kConverterMessageSize bytes and returns the library's result unchanged
// (1 is success; for ClToAln any nonzero value). Whatever text the library
// left in the buffer comes back in `message`, cut at the buffer's end when
// the library did not terminate it. Without a bound library every call
// returns 0 with an empty message.
//
// The two database conversions report progress through a plain routine;
// it reaches the TransferProgress given to the running call, and nothing
// once the call has returned or when it is invoked from another thread.
//
// The library stays loaded as long as the Converter lives; the program
// keeps one for its whole run, so it is never unloaded meanwhile.
#pragma once

#include <filesystem>
#include <string>

#include "link/progress/transfer_progress.h"
#include "platform/dynamic_library.h"

namespace pelikon {

inline constexpr int kConverterMessageSize = 260;
// The library is not told the size of its result buffer, so it gets as
// much room as for its message.
inline constexpr int kConverterResultSize = 260;

// The library's entry points, in the platform's default calling convention.
// Paths are narrow-character texts. `reserved` arguments are always 0.
extern "C" {
typedef void (*ConversionProgressRoutine)(int percent, int reserved);
typedef int (*GetMdbTypeEntry)(const char* mdb_path, int* type, char* message, int message_size);
typedef int (*MdbToDbEntry)(const char* source, const char* target, int* type, char* message, int message_size,
                            ConversionProgressRoutine progress, int reserved);
typedef int (*DbToMdbEntry)(const char* source, const char* target, int reserved, char* message, int message_size,
                            ConversionProgressRoutine progress, int progress_reserved);
typedef int (*AlnToClEntry)(const char* aln_path, const char* output_folder, char* result, char* message,
                            int message_size, int reserved, int reserved2);
typedef int (*ClToAlnEntry)(const char* source, const char* target, int single_file, char* result, char* message,
                            int message_size);
}

class Converter {
 public:
  Converter() = default;
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Loads "morvish.DLL" (the program folder first, then the system's
  // places) and binds its five entry points; true when all five exist.
  bool Bind(const std::filesystem::path& program_folder);
  bool Available() const { return available_; }

  // The database's type; the collector knows 900 and 901.
  int GetMdbType(const std::filesystem::path& mdb, int& type, std::string& message) const;
  // Writes the collector database `target` from the PC database `source`
  // of the given type.
  int MdbToDb(const std::filesystem::path& source, const std::filesystem::path& target, int type, std::string& message,
              TransferProgress* progress) const;
  // Writes the PC database `target` from a received collector database.
  int DbToMdb(const std::filesystem::path& source, const std::filesystem::path& target, std::string& message,
              TransferProgress* progress) const;
  // Writes the alignment's centreline files into `output_folder`.
  int AlnToCl(const std::filesystem::path& aln, const std::filesystem::path& output_folder, std::string& message) const;
  // Writes the alignment `target` from one centreline file, or from every
  // centreline file of the folder `source` when `single_file` is false.
  int ClToAln(const std::filesystem::path& source, const std::filesystem::path& target, bool single_file,
              std::string& message) const;

 private:
  struct EntryPoints {
    GetMdbTypeEntry get_mdb_type = nullptr;
    MdbToDbEntry mdb_to_db = nullptr;
    DbToMdbEntry db_to_mdb = nullptr;
    AlnToClEntry aln_to_cl = nullptr;
    ClToAlnEntry cl_to_aln = nullptr;
  };

  DynamicLibrary library_;
  // Set only when all five were found.
  EntryPoints entry_;
  bool available_ = false;
};

}  // namespace pelikon
