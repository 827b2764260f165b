#include "app/program_version.h"

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

constexpr const char* kRevisionKeyword = "$Revision: 1.52 $";

}  // namespace

std::string ProgramRevision() {
  const std::string keyword = kRevisionKeyword;
  const size_t start = keyword.find("vision: ");
  if (start == std::string::npos) return {};
  std::string number = keyword.substr(start + 8);
  if (!number.empty()) number.pop_back();  // the closing "$"
  return std::string(Trim(number));
}

std::string ProgramTitle() {
  return StrPrintf("%s v%s", Tr("Veldra Software Pelikon"), ProgramRevision().c_str());
}

}  // namespace pelikon
