// The least-squares adjustment of a levelling network: the heights of its
// unknown points from the observed height differences, weighted by 1/σ²,
// with the fixed benchmarks held, and the standard deviation of each
// adjusted height — a posteriori (scaled by σ0² = vᵀPv / redundancy) when
// there are more observations than unknowns, a priori when there are not.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "levelling_network.h"

namespace pelikon_tools {

struct AdjustedPoint {
  std::string name;
  double height = 0;
  double deviation = 0;
};

struct LevellingAdjustment {
  std::vector<AdjustedPoint> points;  // the unknown points, in the order they first appear
  std::size_t redundancy = 0;         // observations minus unknowns
  double variance_factor = 1;         // σ0² a posteriori; 1 without redundancy
};

// The most matrix elements (design matrix or normal matrix) an adjustment
// sets up: 25 million, 200 MB each.
inline constexpr std::size_t kMostMatrixElements = 25'000'000;

// Adjusts `network`. False with the reason in `error` when it cannot be:
// no observation, no unknown point, no fixed point, an unknown point that no chain of
// observations ties to a fixed point (named with the line it first
// appears on), a network too large, or normal equations singular to
// working precision.
bool AdjustLevellingNetwork(const LevellingNetwork& network, LevellingAdjustment& adjustment, NetworkError& error);

}  // namespace pelikon_tools
