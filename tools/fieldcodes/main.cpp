// fieldcodes IN.fld [OUT.fcl]
//
// Converts a field-to-finish code table for the collector and prints the
// path of the table written: without OUT the ".FCL" beside IN (its name
// upper-cased and cut at ".FLD"), else OUT. Either way the table is
// written through a twin, so a failure leaves an earlier one as it was.
//
// Exit status 0 on success, 1 with the reason on standard error, 2 for a
// wrong argument.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "coord/fieldcodes/field_code_table.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "tool_usage.h"

namespace {

namespace fs = std::filesystem;
using pelikon::FieldCodeFileError;
using pelikon::StrPrintf;
using pelikon::Tr;
using pelikon_tools::kExitFailure;
using pelikon_tools::kExitOk;

const pelikon_tools::ToolUsage kUsage("fieldcodes", N_("usage: fieldcodes IN.fld [OUT.fcl]\n"),
                                      N_("Converts a field-to-finish code table into the table the collector reads\n"
                                         "and prints the path of the table written. Without OUT.fcl it goes beside\n"
                                         "IN.fld, named as the file name upper-cased up to its \".FLD\" and \".FCL\"\n"
                                         "(the folders keep their case); a name without \".fld\" is refused, since\n"
                                         "the table would take the input's own name. An earlier table is replaced\n"
                                         "only once the new one is complete. Lines of an entity type other than 0,\n"
                                         "1, 2, 3 or 7 are left out and counted on standard error.\n"
                                         "Exit status: 0 done, 1 failed (the reason on standard error), 2 a wrong\n"
                                         "argument.\n"));

int Convert(const fs::path& input, const std::optional<fs::path>& given_output) {
  std::optional<fs::path> output = given_output;
  if (!output) output = pelikon::FieldCodeOutputPath(input);
  if (!output)
    return kUsage.Fail(StrPrintf(Tr("cannot convert %s: its name holds no \".fld\", so the table would take its "
                                    "name; give OUT.fcl"),
                                 input.c_str()));
  const pelikon::FieldCodeFileResult result = pelikon::ConvertFieldCodeFile(input, *output);
  switch (result.error) {
    case FieldCodeFileError::kNone:
      break;
    case FieldCodeFileError::kSameFile:
      return kUsage.Fail(StrPrintf(Tr("cannot convert %s into itself"), input.c_str()));
    case FieldCodeFileError::kInputUnreadable:
      return kUsage.Fail(StrPrintf(Tr("cannot read %s: %s"), input.c_str(), result.cause.message().c_str()));
    case FieldCodeFileError::kOutputUnwritable:
      return kUsage.Fail(StrPrintf(Tr("cannot write %s: %s"), output->c_str(), result.cause.message().c_str()));
  }
  if (result.unknown_entity_types > 0)
    std::fprintf(stderr, "%s: %s\n", kUsage.Program().c_str(),
                 StrPrintf(Tr("code lines left out for an entity type other than 0, 1, 2, 3 or 7: %zu"),
                           result.unknown_entity_types)
                     .c_str());
  std::printf("%s\n", output->c_str());
  return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace

int main(int argc, char** argv) {
  if (pelikon_tools::ToolUsage::HelpAsked(argc, argv)) return kUsage.Help();
  pelikon_tools::ArgumentReader arguments(argc, argv, 1);
  std::optional<fs::path> input, output;
  while (!arguments.Done()) {
    const std::string& argument = arguments.Next();
    if (argument.size() > 1 && argument.front() == '-')
      return kUsage.Wrong(StrPrintf(Tr("unknown option %s"), argument.c_str()));
    if (!input) {
      input = argument;
    } else if (!output) {
      output = argument;
    } else {
      return kUsage.Wrong(StrPrintf(Tr("unexpected argument \"%s\""), argument.c_str()));
    }
  }
  if (!input) return kUsage.Wrong(Tr("no IN.fld given"));
  return Convert(*input, output);
}
