// The field-to-finish table conversion: `fieldcodes IN.fld` (the tool
// beside this program, run as a child) on a LINES-line table, against
// `awk -F'|' '{print $1", "$5}' IN.fld` of the same file, which reads and
// splits every line as the conversion must.
//
// The table mixes what a real one holds: comments, group lines that set and
// clear the group, code lines of every entity type, with and without
// line-code parts and numbers, most separated by bars and some by commas. The generator writes the expected
// table beside the input, and the tool's last output must equal it.
//
// usage: fieldcodes_bench [LINES] [ROUNDS]
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/atomic_file.h"

namespace {

using pelikon::bench::Die;

using pelikon::bench::Median;
using pelikon::bench::TimeCommand;
namespace fs = std::filesystem;

struct Table {
  std::string input;
  std::string expected;
  int converted = 0;
};

// One code line of entity type `type` with its expected conversion.
void AddCodeLine(Table& table, std::mt19937& random, int serial, int type, const std::string& group) {
  auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
  const std::string code = "C" + std::to_string(serial % 5000);
  const std::string name = chance(80) ? "Name " + std::to_string(serial % 977) : "";
  const std::string description = "Description of code " + std::to_string(serial);
  int number = 0;
  std::string a, b, c;
  if (chance(10)) {  // comma-separated: no room for a number or a line code
    table.input += code + "," + name + ",x,y," + description + "," + std::to_string(type) + ",more\n";
  } else {
    number = chance(30) ? 1 + static_cast<int>(random() % 300) : 0;
    const bool with_parts = chance(60);
    if (with_parts && chance(70)) a = "L" + std::to_string(serial % 40);
    if (with_parts && chance(60)) b = "B" + std::to_string(serial % 7);
    if (with_parts && chance(60)) c = "C" + std::to_string(serial % 9);
    table.input += code + "|" + name + "|sym|0|" + description + "|" + std::to_string(type) +
                   "|1|0|ByLayer|0.25|0|0|1|0|0|0|0|" + std::to_string(number) + "|LAYER" +
                   std::to_string(serial % 30) + "|END|block attributes|END|0|0|0|1|0|0|0|" + a + " | " + b + " | " +
                   c + "\n";
  }
  std::string expected = group.empty() ? "" : "$" + group + ", ";
  expected += code;
  const std::string& second = type == 1 || type == 2 ? b : type == 3 || type == 7 ? c : std::string();
  if (!a.empty() || !second.empty()) expected += ", $" + a + "|" + second;
  expected += type == 0 ? ", N, N, " : type == 3 || type == 7 ? ", Y, Y, " : ", Y, N, ";
  expected += description;
  if (number >= 1 && number <= 255) expected += ", " + std::to_string(number);
  table.expected += expected + ", " + (name.empty() ? code : name) + "\r\n";
  ++table.converted;
}

Table MakeTable(int lines) {
  static const int kTypes[] = {0, 1, 2, 3, 7, 0, 1, 3};
  Table table;
  std::mt19937 random(7);
  std::string group;
  for (int i = 0; i < lines; ++i) {
    const int kind = static_cast<int>(random() % 100);
    if (kind < 5) {
      table.input += "# codes of section " + std::to_string(i) + "|with|bars|0|\n";
    } else if (kind < 7) {
      group = random() % 3 == 0 ? "" : "SURVEY " + std::to_string(i % 11);
      table.input += group.empty() ? "@GROUP\n" : "@GROUP|  " + group + " |x|\n";
    } else {
      AddCodeLine(table, random, i, kTypes[random() % std::size(kTypes)], group);
    }
  }
  return table;
}

}  // namespace

int main(int argc, char** argv) {
  const int lines = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  if (lines < 1 || rounds < 1) {
    std::fprintf(stderr, "usage: fieldcodes_bench [LINES] [ROUNDS]\n");
    return 2;
  }
  char pattern[] = "/tmp/pelikon-fieldcodes-bench-XXXXXX";
  if (!::mkdtemp(pattern)) Die("no temporary folder");
  const fs::path root = pattern;
  const fs::path input = root / "Codes.fld", output = root / "CODES.FCL";
  const Table table = MakeTable(lines);
  if (pelikon::WriteFileAtomically(input, table.input)) Die("cannot write the table");
  const std::string tool = (fs::canonical("/proc/self/exe").parent_path() / "fieldcodes").string();

  std::vector<double> tool_times, awk_times;
  for (int r = 0; r < rounds; ++r) {
    tool_times.push_back(TimeCommand({tool, input.string()}));
    awk_times.push_back(TimeCommand({"awk", "-F|", "{print $1\", \"$5}", input.string()}));
  }
  std::string written;
  const bool sound = pelikon::ReadWholeFile(output, written) && written == table.expected;

  const double tool_s = Median(tool_times), awk_s = Median(awk_times);
  std::printf("table: %d lines, %zu bytes; %d lines converted\n", lines, table.input.size(), table.converted);
  std::printf("fieldcodes: %.4f s  awk -F'|' '{print $1\", \"$5}': %.4f s  (median of %d)\n", tool_s, awk_s, rounds);
  const double ratio = tool_s / awk_s;
  std::printf("ratio fieldcodes / awk: %.2f (goal <= 2.00) %s\n", ratio, ratio <= 2.0 ? "PASS" : "MISS");
  std::printf("output equals the expected table: %s\n", sound ? "yes" : "NO");
  fs::remove_all(root);
  return sound ? 0 : 1;
}
