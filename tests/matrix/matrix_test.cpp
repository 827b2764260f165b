// The matrix library against results worked out by hand or in closed form,
// round trips on random well-conditioned matrices, and the inputs it must
// refuse.
#include "matrix/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace pelikon {
namespace {

// The largest |a(i, j) - b(i, j)|; infinity when the sizes differ.
double MaxDifference(const Matrix& a, const Matrix& b) {
  if (a.Rows() != b.Rows() || a.Cols() != b.Cols()) return std::numeric_limits<double>::infinity();
  double largest = 0;
  for (std::size_t i = 0; i < a.Values().size(); ++i)
    largest = std::max(largest, std::abs(a.Values()[i] - b.Values()[i]));
  return largest;
}

Matrix Random(std::size_t rows, std::size_t cols, std::mt19937& random) {
  std::uniform_real_distribution<double> value(-1.0, 1.0);
  Matrix m(rows, cols);
  for (std::size_t i = 0; i < rows * cols; ++i) m.Data()[i] = value(random);
  return m;
}

// Diagonally dominant: its condition number stays small.
Matrix WellConditioned(std::size_t n, std::mt19937& random) {
  Matrix m = Random(n, n, random);
  for (std::size_t i = 0; i < n; ++i) m(i, i) += static_cast<double>(n);
  return m;
}

// Bᵀ·B + n·I: symmetric positive definite and well conditioned.
Matrix RandomPositiveDefinite(std::size_t n, std::mt19937& random) {
  const Matrix b = Random(n, n, random);
  return matrixMultiplyTransposed(b, b) + static_cast<double>(n) * Matrix::Identity(n);
}

bool IsLowerTriangular(const Matrix& m) {
  for (std::size_t r = 0; r < m.Rows(); ++r)
    for (std::size_t c = r + 1; c < m.Cols(); ++c)
      if (m(r, c) != 0.0) return false;
  return true;
}

// The classic 3 × 3 with an integer factor: L = [2 0 0; 6 1 0; -8 5 3].
const Matrix kSpd = {{4, 12, -16}, {12, 37, -43}, {-16, -43, 98}};

TEST(MatrixClass, HoldsItsElementsRowByRowAndChecksEveryIndexAndSize) {
  Matrix m(2, 3, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(m.Rows(), 2u);
  EXPECT_EQ(m.Cols(), 3u);
  EXPECT_EQ(m(1, 0), 4.0);
  EXPECT_EQ(m, (Matrix{{1, 2, 3}, {4, 5, 6}}));
  m(0, 2) = -7;
  EXPECT_EQ(m.Data()[2], -7.0);

  Matrix copy = m;  // value semantics: the copy is its own
  copy(0, 0) = 99;
  EXPECT_EQ(m(0, 0), 1.0);

  EXPECT_THROW(m(2, 0), std::out_of_range);
  EXPECT_THROW(m(0, 3), std::out_of_range);
  EXPECT_THROW(static_cast<const Matrix&>(m)(5, 5), std::out_of_range);
  EXPECT_THROW(Matrix(2, 2, std::vector<double>{1, 2, 3}), std::invalid_argument);
  EXPECT_THROW((Matrix{{1, 2}, {3}}), std::invalid_argument);
  EXPECT_THROW(Matrix(std::size_t{1} << 40, std::size_t{1} << 40), std::invalid_argument);

  EXPECT_EQ(Matrix::Identity(2), (Matrix{{1, 0}, {0, 1}}));
  EXPECT_EQ(Matrix::Column({1, 2}), (Matrix{{1}, {2}}));
  EXPECT_TRUE(Matrix().Empty());
  EXPECT_EQ(Matrix(2, 2, 1.5), (Matrix{{1.5, 1.5}, {1.5, 1.5}}));
}

TEST(MatrixArithmetic, ProductsSumsAndTransposeAgreeWithHandWork) {
  const Matrix a = {{1, 2, 3}, {4, 5, 6}};
  const Matrix b = {{7, 8}, {9, 10}, {11, 12}};
  EXPECT_EQ(matrixMultiply(a, b), (Matrix{{58, 64}, {139, 154}}));
  EXPECT_EQ(a * b, matrixMultiply(a, b));
  EXPECT_EQ(matrixTranspose(a), (Matrix{{1, 4}, {2, 5}, {3, 6}}));
  EXPECT_EQ(matrixMultiplyTransposed(a, a), (Matrix{{17, 22, 27}, {22, 29, 36}, {27, 36, 45}}));
  EXPECT_EQ(a + a, 2.0 * a);
  EXPECT_EQ(a - a, Matrix(2, 3));

  EXPECT_THROW(matrixMultiply(a, a), std::invalid_argument);
  EXPECT_THROW(matrixMultiplyTransposed(a, b), std::invalid_argument);
  EXPECT_THROW(a + b, std::invalid_argument);
  EXPECT_THROW(a - b, std::invalid_argument);
}

TEST(NormalEquations, JtWJAndJtWyWithDiagonalAndFullWeights) {
  // Three observations of two unknowns, worked by hand.
  const Matrix j = {{1, 0}, {-1, 1}, {0, 1}};
  const std::vector<double> weights = {1, 2, 4};
  const Matrix n = {{3, -2}, {-2, 6}};
  EXPECT_EQ(matrixMultiplyJtWJ(j, weights), n);
  EXPECT_EQ(matrixMultiplyJtWJ(j, Matrix{{1, 0, 0}, {0, 2, 0}, {0, 0, 4}}), n);
  const Matrix y = Matrix::Column({10, 1, 12});
  EXPECT_EQ(matrixMultiplyJtWy(j, weights, y), Matrix::Column({8, 50}));
  // Correlated observations: the full matrix's off-diagonal terms count.
  const Matrix w = {{2, 1, 0}, {1, 2, 0}, {0, 0, 1}};
  EXPECT_EQ(matrixMultiplyJtWJ(j, w), (Matrix{{2, -1}, {-1, 3}}));
  EXPECT_EQ(matrixMultiplyJtWy(j, w, y), Matrix::Column({9, 24}));

  // A zero weight leaves an observation out.
  EXPECT_EQ(matrixMultiplyJtWJ(j, std::vector<double>{1, 0, 4}), (Matrix{{1, 0}, {0, 4}}));

  EXPECT_THROW(matrixMultiplyJtWJ(j, std::vector<double>{1, 2}), std::invalid_argument);
  EXPECT_THROW(matrixMultiplyJtWJ(j, std::vector<double>{1, -2, 4}), std::invalid_argument);
  EXPECT_THROW(matrixMultiplyJtWJ(j, Matrix::Identity(2)), std::invalid_argument);
  EXPECT_THROW(matrixMultiplyJtWy(j, weights, Matrix::Column({1, 2})), std::invalid_argument);
  EXPECT_THROW(matrixMultiplyJtWy(j, Matrix(3, 2), y), std::invalid_argument);
}

TEST(NormalEquations, DiagonalWeightsGiveAnExactlySymmetricProductEqualToTheFullOne) {
  std::mt19937 random(7);
  const Matrix j = Random(200, 40, random);
  std::vector<double> weights(200);
  Matrix w(200, 200);
  for (std::size_t i = 0; i < weights.size(); ++i) w(i, i) = weights[i] = 0.5 + static_cast<double>(i % 7);
  const Matrix n = matrixMultiplyJtWJ(j, weights);
  EXPECT_EQ(n, matrixTranspose(n));
  EXPECT_LT(MaxDifference(n, matrixMultiplyJtWJ(j, w)), 1e-11);
  EXPECT_LT(MaxDifference(n, matrixMultiplyTransposed(j, matrixMultiply(w, j))), 1e-11);
}

TEST(Cholesky, FactorsTheClassicThreeByThreeAndInvertsIt) {
  Matrix lower;
  ASSERT_EQ(NRCholesky(kSpd, lower), MatrixStatus::kOk);
  EXPECT_LT(MaxDifference(lower, Matrix{{2, 0, 0}, {6, 1, 0}, {-8, 5, 3}}), 1e-14);
  EXPECT_TRUE(IsLowerTriangular(lower));

  Matrix inverse;
  ASSERT_EQ(NRCholeskyInverse(lower, inverse), MatrixStatus::kOk);
  const Matrix expected = (1.0 / 36) * Matrix{{1777, -488, 76}, {-488, 136, -20}, {76, -20, 4}};
  EXPECT_LT(MaxDifference(inverse, expected), 1e-11);
  EXPECT_EQ(inverse, matrixTranspose(inverse));

  // A = L·Lᵀ solved by substitution, one system per column.
  const Matrix b = {{-36, 0}, {-105, 1}, {168, 0}};  // the first column is A·(1, -2, 1)ᵀ
  Matrix y, x;
  ASSERT_EQ(forwardSub(lower, b, y), MatrixStatus::kOk);
  EXPECT_LT(MaxDifference(matrixMultiply(lower, y), b), 1e-12);
  ASSERT_EQ(backwardSub(lower, y, x), MatrixStatus::kOk);
  EXPECT_LT(MaxDifference(x, Matrix{{1, -488.0 / 36}, {-2, 136.0 / 36}, {1, -20.0 / 36}}), 1e-11);

  // Scaled by the variance factor: the variance–covariance matrix.
  EXPECT_LT(MaxDifference(NRCholeskyVarCovFromInv(inverse, 0.25), 0.25 * expected), 1e-12);
  EXPECT_EQ(NRCholeskyVarCovFromInv(inverse, 0.0), Matrix(3, 3));
  EXPECT_THROW(NRCholeskyVarCovFromInv(inverse, -1.0), std::invalid_argument);
  EXPECT_THROW(NRCholeskyVarCovFromInv(inverse, std::nan("")), std::invalid_argument);
  EXPECT_THROW(NRCholeskyVarCovFromInv(Matrix(2, 3), 1.0), std::invalid_argument);
}

TEST(Cholesky, RoundTripsOnRandomPositiveDefiniteMatrices) {
  std::mt19937 random(11);
  for (std::size_t n : {1u, 2u, 7u, 60u}) {
    const Matrix a = RandomPositiveDefinite(n, random);
    Matrix lower, inverse;
    ASSERT_EQ(NRCholesky(a, lower), MatrixStatus::kOk) << n;
    EXPECT_TRUE(IsLowerTriangular(lower));
    EXPECT_LT(MaxDifference(matrixMultiply(lower, matrixTranspose(lower)), a), 1e-12 * static_cast<double>(n)) << n;
    ASSERT_EQ(NRCholeskyInverse(lower, inverse), MatrixStatus::kOk);
    EXPECT_LT(MaxDifference(matrixMultiply(a, inverse), Matrix::Identity(n)), 1e-12) << n;
  }
}

TEST(Cholesky, RefusesWhatIsNotSymmetricPositiveDefiniteAndKeepsTheOutput) {
  const Matrix untouched = {{42}};
  Matrix lower = untouched;
  // Indefinite; a levelling loop with no fixed point (rows summing to
  // zero); a lone pair of unknowns with no datum; zero on the diagonal.
  for (const Matrix& a : {Matrix{{1, 2}, {2, 1}}, Matrix{{2, -1, -1}, {-1, 2, -1}, {-1, -1, 2}},
                          Matrix{{1e4, -1e4}, {-1e4, 1e4}}, Matrix{{0, 0}, {0, 1}}, Matrix{{-4}}}) {
    EXPECT_EQ(NRCholesky(a, lower), MatrixStatus::kNotPositiveDefinite) << a.Rows();
    EXPECT_EQ(lower, untouched);
  }
  EXPECT_EQ(NRCholesky(Matrix{{4, 1}, {2, 4}}, lower), MatrixStatus::kNotSymmetric);
  EXPECT_EQ(NRCholesky(Matrix{{4, std::nan("")}, {std::nan(""), 4}}, lower), MatrixStatus::kNotFinite);
  EXPECT_EQ(NRCholesky(Matrix{{std::numeric_limits<double>::infinity()}}, lower), MatrixStatus::kNotFinite);
  EXPECT_EQ(lower, untouched);
  EXPECT_THROW((void)NRCholesky(Matrix(2, 3), lower), std::invalid_argument);

  // Rounding is not asymmetry: the same matrix with one element off by
  // 1e-13 of its size still factors.
  Matrix nearly = kSpd;
  nearly(0, 1) += 12 * 1e-13;
  EXPECT_EQ(NRCholesky(nearly, lower), MatrixStatus::kOk);
  // An output that is its own input.
  Matrix in_place = kSpd;
  ASSERT_EQ(NRCholesky(in_place, in_place), MatrixStatus::kOk);
  EXPECT_NEAR(in_place(2, 1), 5.0, 1e-14);
}

// Levelling loops with no fixed point, observed with standard deviations
// from 0.1 mm to 5 cm: N is singular, yet its factor's last pivot is as
// often a speck of rounding as zero. Every one must be refused.
TEST(Cholesky, RefusesEveryNetworkWithADatumDefect) {
  std::mt19937 random(5);
  std::uniform_real_distribution<double> deviation(0.0001, 0.05);
  Matrix lower;
  for (int network = 0; network < 150; ++network) {
    const std::size_t points = 3 + (network * 7) % 60, observations = points + 2;
    Matrix j(observations, points);
    for (std::size_t i = 0; i < points; ++i) {
      j(i, i) = -1;
      j(i, (i + 1) % points) = 1;
    }
    j(points, 0) = -1;  // two diagonals across the loop
    j(points, 2) = 1;
    j(points + 1, 1) = -1;
    j(points + 1, points - 1) = 1;
    std::vector<double> weights(observations);
    for (double& weight : weights) weight = 1 / std::pow(deviation(random), 2);
    EXPECT_EQ(NRCholesky(matrixMultiplyJtWJ(j, weights), lower), MatrixStatus::kNotPositiveDefinite) << network;
    // One diagonal turned into a tie of the first point to a fixed point:
    // the same network factors.
    j(points, 2) = 0;
    ASSERT_EQ(NRCholesky(matrixMultiplyJtWJ(j, weights), lower), MatrixStatus::kOk) << network;
  }
}

TEST(Cholesky, SubstitutionsAndInverseRefuseAFactorTheyCannotUse) {
  const Matrix upper = {{2, 6}, {0, 1}};  // a factor given the wrong way round
  const Matrix b = Matrix::Column({1, 2});
  Matrix out = {{42}};
  EXPECT_THROW((void)forwardSub(upper, b, out), std::invalid_argument);
  EXPECT_THROW((void)backwardSub(upper, b, out), std::invalid_argument);
  EXPECT_THROW((void)NRCholeskyInverse(upper, out), std::invalid_argument);
  EXPECT_THROW((void)forwardSub(Matrix{{2, 0}, {6, 1}}, Matrix::Column({1, 2, 3}), out), std::invalid_argument);
  EXPECT_THROW((void)backwardSub(Matrix(2, 3), b, out), std::invalid_argument);

  const Matrix zero_pivot = {{2, 0}, {6, 0}};
  EXPECT_EQ(forwardSub(zero_pivot, b, out), MatrixStatus::kSingular);
  EXPECT_EQ(backwardSub(zero_pivot, b, out), MatrixStatus::kSingular);
  EXPECT_EQ(NRCholeskyInverse(zero_pivot, out), MatrixStatus::kSingular);
  EXPECT_EQ(forwardSub(Matrix{{2, 0}, {6, 1}}, Matrix::Column({1, std::nan("")}), out), MatrixStatus::kNotFinite);
  EXPECT_EQ(out, (Matrix{{42}}));
}

TEST(LuSolve, SolvesAndInvertsByHandWorkedResultsAndNeedsItsPivots) {
  Matrix inverse;
  ASSERT_EQ(matrixInverse(Matrix{{4, 7}, {2, 6}}, inverse), MatrixStatus::kOk);
  EXPECT_LT(MaxDifference(inverse, Matrix{{0.6, -0.7}, {-0.2, 0.4}}), 1e-15);

  // A zero in the first pivot position: only pivoting solves it.
  const Matrix a = {{0, 2, 1}, {1, 1, 1}, {2, 1, 0}};
  Matrix x;
  ASSERT_EQ(solve(a, Matrix{{5, 1}, {4, -2}, {4, 0}}, x), MatrixStatus::kOk);
  EXPECT_LT(MaxDifference(x, Matrix{{1, -1}, {2, 2}, {1, -3}}), 1e-14);

  // The right-hand side may be the output.
  Matrix b = Matrix::Column({5, 4, 4});
  ASSERT_EQ(solve(a, b, b), MatrixStatus::kOk);
  EXPECT_LT(MaxDifference(b, Matrix::Column({1, 2, 1})), 1e-14);

  EXPECT_THROW((void)solve(Matrix(2, 3), Matrix::Column({1, 2}), x), std::invalid_argument);
  EXPECT_THROW((void)solve(a, Matrix::Column({1, 2}), x), std::invalid_argument);
  EXPECT_THROW((void)matrixInverse(Matrix(3, 2), x), std::invalid_argument);
}

TEST(LuSolve, RoundTripsOnRandomWellConditionedMatrices) {
  std::mt19937 random(3);
  for (std::size_t n : {1u, 3u, 10u, 50u, 120u}) {
    const Matrix a = WellConditioned(n, random);
    Matrix inverse, x;
    ASSERT_EQ(matrixInverse(a, inverse), MatrixStatus::kOk) << n;
    EXPECT_LT(MaxDifference(matrixMultiply(a, inverse), Matrix::Identity(n)), 1e-12) << n;
    const Matrix expected = Random(n, 2, random);
    ASSERT_EQ(solve(a, matrixMultiply(a, expected), x), MatrixStatus::kOk) << n;
    EXPECT_LT(MaxDifference(x, expected), 1e-12) << n;
  }
}

TEST(LuSolve, RefusesSingularAndNonFiniteMatricesAndKeepsTheOutput) {
  const Matrix untouched = {{42}};
  Matrix out = untouched;
  // Exactly singular, singular but for rounding, and a zero matrix.
  for (const Matrix& a : {Matrix{{1, 2}, {2, 4}}, Matrix{{1, 2, 3}, {4, 5, 6}, {7, 8, 9}}, Matrix(3, 3)}) {
    EXPECT_EQ(matrixInverse(a, out), MatrixStatus::kSingular) << a.Rows();
    EXPECT_EQ(solve(a, Matrix(a.Rows(), 1, 1.0), out), MatrixStatus::kSingular) << a.Rows();
  }
  EXPECT_EQ(matrixInverse(Matrix{{1, std::nan("")}, {0, 1}}, out), MatrixStatus::kNotFinite);
  EXPECT_EQ(solve(Matrix::Identity(2), Matrix::Column({1, std::numeric_limits<double>::infinity()}), out),
            MatrixStatus::kNotFinite);
  EXPECT_EQ(out, untouched);
}

TEST(Print, WritesFixedDecimalsRightAlignedAndLeavesTheStreamAsItWas) {
  std::ostringstream out;
  out.precision(3);
  out.setf(std::ios::scientific);
  print(Matrix{{1.5, -2}, {0.25, 10}}, out, 2);
  EXPECT_EQ(out.str(), " 1.50 -2.00\n 0.25 10.00\n");
  EXPECT_EQ(out.precision(), 3);
  EXPECT_TRUE(out.flags() & std::ios::scientific);

  out.str("");
  print(Matrix{{-1e-9, 2.71828}}, out, 3);
  EXPECT_EQ(out.str(), "0.000 2.718\n");
  out.str("");
  print(Matrix{{-0.5, 1e300}}, out, 0);
  EXPECT_EQ(out.str().size(), 2 * 301 + 2u) << "every digit of a large value";
  out.str("");
  print(Matrix(), out, 4);
  EXPECT_EQ(out.str(), "");
  EXPECT_THROW(print(Matrix::Identity(1), out, -1), std::invalid_argument);
  EXPECT_THROW(print(Matrix::Identity(1), out, 18), std::invalid_argument);
}

}  // namespace
}  // namespace pelikon
