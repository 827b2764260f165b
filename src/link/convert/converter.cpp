#include "link/convert/converter.h"

#include <algorithm>
#include <array>

#include "platform/trace.h"

namespace pelikon {

namespace {

// The progress of the conversion running on this thread; the library only
// gets a plain routine, so this is how it finds its way back.
thread_local TransferProgress* running_progress = nullptr;

// Points the progress routine at one call's TransferProgress for as long
// as the call runs.
class ProgressScope {
 public:
  explicit ProgressScope(TransferProgress* progress) : outer_(running_progress) { running_progress = progress; }
  ~ProgressScope() { running_progress = outer_; }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  TransferProgress* outer_;
};

// A zeroed buffer the library writes a text into, read back without
// trusting it to be terminated.
template <int Size>
class TextBuffer {
 public:
  char* Data() { return bytes_.data(); }
  std::string Text() const { return std::string(bytes_.begin(), std::find(bytes_.begin(), bytes_.end(), '\0')); }

 private:
  std::array<char, Size> bytes_{};
};

using MessageBuffer = TextBuffer<kConverterMessageSize>;
using ResultBuffer = TextBuffer<kConverterResultSize>;

std::string NarrowPath(const std::filesystem::path& path) {
  return path.string();
}

// Runs one entry point (when the library is bound) with a fresh message
// buffer; the text it leaves there comes back in `message`.
template <typename Call>
int CallWithMessage(bool available, std::string& message, Call call) {
  message.clear();
  if (!available) return 0;
  MessageBuffer buffer;
  const int result = call(buffer.Data());
  message = buffer.Text();
  return result;
}

template <typename Entry>
bool BindEntry(const DynamicLibrary& library, const char* name, Entry& entry) {
  entry = library.Bind<Entry>(name);
  if (!entry) Trace("converter lacks %s", name);
  return entry != nullptr;
}

}  // namespace

extern "C" {
// Handed to the library as its progress routine.
static void ConversionProgress(int percent, int reserved) {
  TransferProgress* progress = running_progress;
  if (!progress) return;
  // Nothing may unwind into the library's frames.
  try {
    progress->ConversionProgress(percent, reserved);
  } catch (...) {
    Trace("conversion progress dropped");
  }
}
}

bool Converter::Bind(const std::filesystem::path& program_folder) {
  available_ = false;
  entry_ = {};
  if (!library_.Load("morvish.DLL", program_folder)) {
    Trace("no converter: %s", library_.LastError().c_str());
    return false;
  }
  EntryPoints found;
  available_ = BindEntry(library_, "get_mdb_type", found.get_mdb_type) &&
               BindEntry(library_, "mdb_to_db", found.mdb_to_db) && BindEntry(library_, "db_to_mdb", found.db_to_mdb) &&
               BindEntry(library_, "aln_to_cl", found.aln_to_cl) && BindEntry(library_, "cl_to_aln", found.cl_to_aln);
  if (available_) entry_ = found;
  return available_;
}

int Converter::GetMdbType(const std::filesystem::path& mdb, int& type, std::string& message) const {
  int found = 0;
  const int result = CallWithMessage(available_, message, [&](char* text) {
    return entry_.get_mdb_type(NarrowPath(mdb).c_str(), &found, text, kConverterMessageSize);
  });
  type = found;
  return result;
}

int Converter::MdbToDb(const std::filesystem::path& source, const std::filesystem::path& target, int type,
                       std::string& message, TransferProgress* progress) const {
  const ProgressScope scope(progress);
  return CallWithMessage(available_, message, [&](char* text) {
    return entry_.mdb_to_db(NarrowPath(source).c_str(), NarrowPath(target).c_str(), &type, text, kConverterMessageSize,
                            ConversionProgress, 0);
  });
}

int Converter::DbToMdb(const std::filesystem::path& source, const std::filesystem::path& target, std::string& message,
                       TransferProgress* progress) const {
  const ProgressScope scope(progress);
  return CallWithMessage(available_, message, [&](char* text) {
    return entry_.db_to_mdb(NarrowPath(source).c_str(), NarrowPath(target).c_str(), 0, text, kConverterMessageSize,
                            ConversionProgress, 0);
  });
}

int Converter::AlnToCl(const std::filesystem::path& aln, const std::filesystem::path& output_folder,
                       std::string& message) const {
  ResultBuffer summary;
  const int result = CallWithMessage(available_, message, [&](char* text) {
    return entry_.aln_to_cl(NarrowPath(aln).c_str(), NarrowPath(output_folder).c_str(), summary.Data(), text,
                            kConverterMessageSize, 0, 0);
  });
  Trace("aln_to_cl %d: %s", result, summary.Text().c_str());
  return result;
}

int Converter::ClToAln(const std::filesystem::path& source, const std::filesystem::path& target, bool single_file,
                       std::string& message) const {
  ResultBuffer summary;
  const int result = CallWithMessage(available_, message, [&](char* text) {
    return entry_.cl_to_aln(NarrowPath(source).c_str(), NarrowPath(target).c_str(), single_file ? 1 : 0, summary.Data(),
                            text, kConverterMessageSize);
  });
  Trace("cl_to_aln %d: %s", result, summary.Text().c_str());
  return result;
}

}  // namespace pelikon
