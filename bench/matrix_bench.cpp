// The matrix library against the same work written directly in Eigen, in
// the same run: the normal matrix N = Jᵀ·W·J of a 5,000 × 300 design
// matrix with diagonal weights, then the Cholesky factor of N and the
// inverse from it. The library's interface must cost nothing to speak of
// (goal: at most 1.2 times Eigen's time). Both must agree.
//
// usage: matrix_bench [ROUNDS] [OBSERVATIONS] [UNKNOWNS]   (defaults 7, 5000, 300)
#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench_support.h"
#include "matrix/matrix.h"

namespace {

using pelikon::Matrix;
using pelikon::MatrixStatus;
using pelikon::bench::Clock;
using pelikon::bench::Die;
using pelikon::bench::Median;
using pelikon::bench::Seconds;

// The largest difference between the two results, relative to the largest
// element of Eigen's.
double RelativeDifference(const Matrix& ours, const Eigen::MatrixXd& eigen) {
  double largest = 0, difference = 0;
  for (Eigen::Index r = 0; r < eigen.rows(); ++r)
    for (Eigen::Index c = 0; c < eigen.cols(); ++c) {
      largest = std::max(largest, std::abs(eigen(r, c)));
      difference =
          std::max(difference, std::abs(eigen(r, c) - ours(static_cast<std::size_t>(r), static_cast<std::size_t>(c))));
    }
  return largest > 0 ? difference / largest : difference;
}

void Report(const char* what, double ours, double eigen, int rounds) {
  const double ratio = ours / eigen;
  std::printf("%s: library %.4f s, Eigen %.4f s (median of %d); ratio %.2f (goal <= 1.20) %s\n", what, ours, eigen,
              rounds, ratio, ratio <= 1.2 ? "PASS" : "MISS");
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 7;
  const long observations = argc > 2 ? std::atol(argv[2]) : 5000, unknowns = argc > 3 ? std::atol(argv[3]) : 300;
  if (rounds < 1 || unknowns < 1 || observations < unknowns)
    Die("usage: matrix_bench [ROUNDS] [OBSERVATIONS] [UNKNOWNS]");
  const auto n = static_cast<std::size_t>(observations), u = static_cast<std::size_t>(unknowns);

  // A random design matrix and weights 1/σ² for σ from 1 to 5 mm.
  std::mt19937 random(42);
  std::uniform_real_distribution<double> element(-1.0, 1.0), deviation(0.001, 0.005);
  Matrix j(n, u);
  Eigen::MatrixXd eigen_j(observations, unknowns);
  std::vector<double> weights(n);
  for (std::size_t r = 0; r < n; ++r) {
    for (std::size_t c = 0; c < u; ++c) eigen_j(r, c) = j(r, c) = element(random);
    weights[r] = 1 / std::pow(deviation(random), 2);
  }
  const Eigen::VectorXd eigen_w = Eigen::Map<const Eigen::VectorXd>(weights.data(), observations);

  std::vector<double> ours_product, eigen_product, ours_inverse, eigen_inverse;
  Matrix normal, lower, inverse;
  Eigen::MatrixXd eigen_normal, eigen_inversed;
  for (int round = 0; round <= rounds; ++round) {  // round 0 warms up
    auto start = Clock::now();
    normal = pelikon::matrixMultiplyJtWJ(j, weights);
    const double ours_n = Seconds(start);
    start = Clock::now();
    eigen_normal.noalias() = eigen_j.transpose() * eigen_w.asDiagonal() * eigen_j;
    const double eigen_n = Seconds(start);

    start = Clock::now();
    if (pelikon::NRCholesky(normal, lower) != MatrixStatus::kOk ||
        pelikon::NRCholeskyInverse(lower, inverse) != MatrixStatus::kOk)
      Die("the library refused the normal matrix");
    const double ours_i = Seconds(start);
    start = Clock::now();
    const Eigen::LLT<Eigen::MatrixXd> llt(eigen_normal);
    if (llt.info() != Eigen::Success) Die("Eigen refused the normal matrix");
    eigen_inversed = llt.solve(Eigen::MatrixXd::Identity(unknowns, unknowns));
    const double eigen_i = Seconds(start);
    if (round == 0) continue;
    ours_product.push_back(ours_n);
    eigen_product.push_back(eigen_n);
    ours_inverse.push_back(ours_i);
    eigen_inverse.push_back(eigen_i);
  }

  std::printf("design matrix %ld x %ld, diagonal weights\n", observations, unknowns);
  Report("matrixMultiplyJtWJ against J.transpose() * w.asDiagonal() * J", Median(ours_product), Median(eigen_product),
         rounds);
  Report("NRCholesky + NRCholeskyInverse against LLT and solve(Identity)", Median(ours_inverse), Median(eigen_inverse),
         rounds);
  const double product_difference = RelativeDifference(normal, eigen_normal),
               inverse_difference = RelativeDifference(inverse, eigen_inversed);
  const bool agree = product_difference < 1e-12 && inverse_difference < 1e-9;
  std::printf("results agree: %s (relative differences %.1e and %.1e)\n", agree ? "yes" : "NO", product_difference,
              inverse_difference);
  return agree ? 0 : 1;
}
