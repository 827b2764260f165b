// The Cholesky factor of a symmetric positive definite matrix, and what an
// adjustment takes from it: the inverse, the variance–covariance matrix and
// the solution of the normal equations by substitution.
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "matrix/eigen_view.h"
#include "matrix/matrix.h"

namespace pelikon {

using matrix_detail::AllFinite;
using matrix_detail::ConstView;
using matrix_detail::RowMajor;
using matrix_detail::ViewOf;

namespace {

constexpr double kSymmetryTolerance = 1e-10;

bool Symmetric(const ConstView& a) {
  for (Eigen::Index r = 0; r < a.rows(); ++r)
    for (Eigen::Index c = r + 1; c < a.cols(); ++c)
      if (std::abs(a(r, c) - a(c, r)) >
          kSymmetryTolerance * std::sqrt(std::abs(a(r, r))) * std::sqrt(std::abs(a(c, c))))
        return false;
  return true;
}

// A factor of a matrix whose reciprocal condition number is below ε holds
// no correct digit: a pivot that should have been zero and came out as
// rounding. A network with a datum defect ends so as often as with a zero
// or negative pivot.
bool SingularToWorkingPrecision(const Eigen::LLT<Eigen::Ref<RowMajor>>& llt) {
  return llt.rows() > 0 && !(llt.rcond() >= std::numeric_limits<double>::epsilon());
}

// The checks both substitutions and the inverse make of a factor (and the
// right-hand side, when there is one).
MatrixStatus CheckFactor(const char* operation, const Matrix& lower, const Matrix* rhs) {
  matrix_detail::RequireLowerTriangular(operation, lower);
  if (rhs) matrix_detail::RequireSameRows(operation, lower, *rhs);
  if (!AllFinite(lower) || (rhs && !AllFinite(*rhs))) return MatrixStatus::kNotFinite;
  if ((ViewOf(lower).diagonal().array() == 0.0).any()) return MatrixStatus::kSingular;
  return MatrixStatus::kOk;
}

}  // namespace

MatrixStatus NRCholesky(const Matrix& a, Matrix& lower) {
  matrix_detail::RequireSquare("NRCholesky", a);
  if (!AllFinite(a)) return MatrixStatus::kNotFinite;
  if (!Symmetric(ViewOf(a))) return MatrixStatus::kNotSymmetric;
  Matrix factor = a;
  // Factored in place: the lower triangle becomes L, the upper one is
  // cleared.
  matrix_detail::View storage = ViewOf(factor);
  const Eigen::LLT<Eigen::Ref<RowMajor>> llt(storage);
  if (llt.info() != Eigen::Success || SingularToWorkingPrecision(llt)) return MatrixStatus::kNotPositiveDefinite;
  ViewOf(factor).triangularView<Eigen::StrictlyUpper>().setZero();
  lower = std::move(factor);
  return MatrixStatus::kOk;
}

MatrixStatus NRCholeskyInverse(const Matrix& lower, Matrix& inverse) {
  const MatrixStatus status = CheckFactor("NRCholeskyInverse", lower, nullptr);
  if (status != MatrixStatus::kOk) return status;
  // A⁻¹ = L⁻ᵀ · L⁻¹, its lower triangle computed and mirrored.
  const Eigen::Index n = static_cast<Eigen::Index>(lower.Rows());
  RowMajor lower_inverse = RowMajor::Identity(n, n);
  ViewOf(lower).triangularView<Eigen::Lower>().solveInPlace(lower_inverse);
  Matrix result(lower.Rows(), lower.Rows());
  ViewOf(result).triangularView<Eigen::Lower>() = lower_inverse.transpose() * lower_inverse;
  matrix_detail::MirrorLower(ViewOf(result));
  inverse = std::move(result);
  return MatrixStatus::kOk;
}

Matrix NRCholeskyVarCovFromInv(const Matrix& inverse, double variance_factor) {
  matrix_detail::RequireSquare("NRCholeskyVarCovFromInv", inverse);
  if (!std::isfinite(variance_factor) || variance_factor < 0.0)
    matrix_detail::Refuse("NRCholeskyVarCovFromInv",
                          "variance factor " + std::to_string(variance_factor) + " is not a finite number >= 0");
  return variance_factor * inverse;
}

MatrixStatus forwardSub(const Matrix& lower, const Matrix& b, Matrix& y) {
  const MatrixStatus status = CheckFactor("forwardSub", lower, &b);
  if (status != MatrixStatus::kOk) return status;
  Matrix result = b;
  ViewOf(lower).triangularView<Eigen::Lower>().solveInPlace(ViewOf(result));
  y = std::move(result);
  return MatrixStatus::kOk;
}

MatrixStatus backwardSub(const Matrix& lower, const Matrix& y, Matrix& x) {
  const MatrixStatus status = CheckFactor("backwardSub", lower, &y);
  if (status != MatrixStatus::kOk) return status;
  Matrix result = y;
  ViewOf(lower).transpose().triangularView<Eigen::Upper>().solveInPlace(ViewOf(result));
  x = std::move(result);
  return MatrixStatus::kOk;
}

}  // namespace pelikon
