// Small pieces the benchmarks share: timing, medians, and `ls -l` of a
// folder as the reference for listing a folder.
#pragma once

#include <chrono>
#include <filesystem>
#include <vector>

namespace pelikon::bench {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since);
double Median(std::vector<double> values);
// Runs `ls -l FOLDER` with its output thrown away, C collation (so that ls
// does not spend its time in locale-aware sorting); its wall time.
double TimeLs(const std::filesystem::path& folder);
// Makes `count` small files named file000000.dat ... in `folder`.
void MakeFiles(const std::filesystem::path& folder, int count);

}  // namespace pelikon::bench
