#include "levelling_adjustment.h"

#include <cmath>
#include <map>
#include <string_view>
#include <utility>

#include "matrix/matrix.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon_tools {

namespace {

using pelikon::Matrix;
using pelikon::MatrixStatus;
using pelikon::StrPrintf;
using pelikon::Tr;

constexpr std::size_t kFixed = static_cast<std::size_t>(-1);

// The unknown points numbered in the order they first appear, and the
// fixed heights by name.
struct Numbering {
  std::map<std::string, double> fixed;
  std::map<std::string, std::size_t> unknown;  // name -> column of the design matrix
  std::vector<const std::string*> names;       // column -> name
  std::vector<std::size_t> first_lines;        // column -> line it first appears on

  explicit Numbering(const LevellingNetwork& network) {
    for (const FixedPoint& point : network.fixed) fixed.emplace(point.name, point.height);
    for (const LevelledDifference& observation : network.observations)
      for (const std::string* name : {&observation.from, &observation.to})
        if (!fixed.count(*name) && unknown.emplace(*name, names.size()).second) {
          names.push_back(name);
          first_lines.push_back(observation.line);
        }
  }
  // The column of a point, or kFixed.
  std::size_t Column(const std::string& name) const {
    const auto found = unknown.find(name);
    return found == unknown.end() ? kFixed : found->second;
  }
};

// The first unknown point that no chain of observations ties to a fixed
// point; kFixed when every one is tied.
std::size_t FirstUntied(const LevellingNetwork& network, const Numbering& numbering) {
  const std::size_t count = numbering.names.size();
  std::vector<std::vector<std::size_t>> neighbours(count);
  std::vector<std::size_t> reached;
  std::vector<bool> tied(count, false);
  for (const LevelledDifference& observation : network.observations) {
    const std::size_t from = numbering.Column(observation.from), to = numbering.Column(observation.to);
    for (const auto& [unknown, other] : {std::pair{from, to}, std::pair{to, from}}) {
      if (unknown == kFixed) continue;
      if (other != kFixed) {
        neighbours[unknown].push_back(other);
      } else if (!tied[unknown]) {
        tied[unknown] = true;
        reached.push_back(unknown);
      }
    }
  }
  while (!reached.empty()) {
    const std::size_t point = reached.back();
    reached.pop_back();
    for (std::size_t next : neighbours[point])
      if (!tied[next]) {
        tied[next] = true;
        reached.push_back(next);
      }
  }
  for (std::size_t point = 0; point < count; ++point)
    if (!tied[point]) return point;
  return kFixed;
}

bool Fail(NetworkError& error, std::size_t line, std::string message) {
  error = {line, std::move(message)};
  return false;
}

}  // namespace

bool AdjustLevellingNetwork(const LevellingNetwork& network, LevellingAdjustment& adjustment, NetworkError& error) {
  const Numbering numbering(network);
  const std::size_t unknowns = numbering.names.size(), observations = network.observations.size();
  if (observations == 0) return Fail(error, 0, Tr("no observation (OBS): nothing to adjust"));
  if (unknowns == 0) return Fail(error, 0, Tr("no unknown point to adjust: every observed point is fixed"));
  if (network.fixed.empty()) return Fail(error, 0, Tr("no fixed point (FIX): the heights cannot be determined"));
  const std::size_t untied = FirstUntied(network, numbering);
  if (untied != kFixed)
    return Fail(error, numbering.first_lines[untied],
                StrPrintf(Tr("point %s is not connected to any fixed point"), numbering.names[untied]->c_str()));
  if (unknowns > kMostMatrixElements / observations || unknowns > kMostMatrixElements / unknowns)
    return Fail(error, 0,
                StrPrintf(Tr("%zu observations of %zu unknown points are more than this tool adjusts"), observations,
                          unknowns));

  // The design matrix: +1 for the point a difference leads to, -1 for the
  // one it leads from; fixed heights move to the observation's side.
  Matrix design(observations, unknowns);
  Matrix reduced(observations, 1);
  std::vector<double> weights(observations);
  for (std::size_t i = 0; i < observations; ++i) {
    const LevelledDifference& observation = network.observations[i];
    double value = observation.difference;
    const std::size_t from = numbering.Column(observation.from), to = numbering.Column(observation.to);
    if (from == kFixed)
      value += numbering.fixed.at(observation.from);
    else
      design(i, from) = -1;
    if (to == kFixed)
      value -= numbering.fixed.at(observation.to);
    else
      design(i, to) = 1;
    reduced(i, 0) = value;
    weights[i] = 1 / (observation.deviation * observation.deviation);
    if (!std::isfinite(value) || !std::isfinite(weights[i]) || weights[i] == 0)
      return Fail(error, observation.line,
                  Tr("the numbers of this observation are too large or too small to compute with"));
  }

  const Matrix normal = pelikon::matrixMultiplyJtWJ(design, weights);
  const Matrix right = pelikon::matrixMultiplyJtWy(design, weights, reduced);
  Matrix lower, step, heights, inverse;
  MatrixStatus status = pelikon::NRCholesky(normal, lower);
  if (status == MatrixStatus::kOk) status = pelikon::forwardSub(lower, right, step);
  if (status == MatrixStatus::kOk) status = pelikon::backwardSub(lower, step, heights);
  if (status == MatrixStatus::kOk) status = pelikon::NRCholeskyInverse(lower, inverse);
  const std::string too_large = Tr("the numbers of the network are too large to compute with");
  if (status == MatrixStatus::kNotFinite) return Fail(error, 0, too_large);
  if (status != MatrixStatus::kOk)
    return Fail(error, 0,
                Tr("the normal equations are singular to working precision: are the standard deviations "
                   "too far apart?"));

  const Matrix residuals = pelikon::matrixMultiply(design, heights) - reduced;
  double weighted_squares = 0;
  for (std::size_t i = 0; i < observations; ++i) weighted_squares += weights[i] * residuals(i, 0) * residuals(i, 0);
  const std::size_t redundancy = observations - unknowns;
  const double variance_factor = redundancy > 0 ? weighted_squares / static_cast<double>(redundancy) : 1.0;
  if (!std::isfinite(variance_factor)) return Fail(error, 0, too_large);
  const Matrix covariance = pelikon::NRCholeskyVarCovFromInv(inverse, variance_factor);
  std::vector<AdjustedPoint> points;
  for (std::size_t point = 0; point < unknowns; ++point) {
    points.push_back({*numbering.names[point], heights(point, 0), std::sqrt(covariance(point, point))});
    if (!std::isfinite(points.back().height) || !std::isfinite(points.back().deviation))
      return Fail(error, 0, too_large);
  }
  adjustment = {std::move(points), redundancy, variance_factor};
  return true;
}

}  // namespace pelikon_tools
