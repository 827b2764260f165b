// Small pieces the benchmarks share: timing, medians, and the reference
// tools run as child processes: `ls -l` of a folder for listing a folder,
// `cp` for copying a file.
#pragma once

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace pelikon::bench {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since);
// "<benchmark>: <what>" on standard error, then ends the process with 1.
[[noreturn]] void Die(const std::string& what);
double Median(std::vector<double> values);
// Runs `command` (looked up in PATH) with C collation and its standard
// output sent to `output`; its wall time. Exits the process when the
// command fails.
// With `peak_kib`, also the command's peak resident memory.
double TimeCommand(const std::vector<std::string>& command, const std::filesystem::path& output = "/dev/null",
                   long* peak_kib = nullptr);
// Runs `ls -l FOLDER` into `output` (thrown away unless given), C collation
// (so that ls does not spend its time in locale-aware sorting); its wall time.
double TimeLs(const std::filesystem::path& folder, const std::filesystem::path& output = "/dev/null");
// Runs `cp FROM TO`; its wall time.
double TimeCp(const std::filesystem::path& from, const std::filesystem::path& to);
// Copies `from` over `to` (a fresh copy for every round); exits the
// process when it cannot.
void CopyFresh(const std::filesystem::path& from, const std::filesystem::path& to);
// Makes `count` small files named file000000.dat ... in `folder`.
void MakeFiles(const std::filesystem::path& folder, int count);

}  // namespace pelikon::bench
