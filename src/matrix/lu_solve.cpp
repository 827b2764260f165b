// General square systems and inverses by LU decomposition with partial
// pivoting, refusing a matrix that is singular to working precision.
#include <limits>
#include <utility>

#include "matrix/eigen_view.h"
#include "matrix/matrix.h"

namespace pelikon {

using matrix_detail::AllFinite;
using matrix_detail::RowMajor;
using matrix_detail::ViewOf;

namespace {

using Lu = Eigen::PartialPivLU<RowMajor>;

// A zero pivot, or a reciprocal condition number below ε: no digit of a
// solution could be trusted.
bool Singular(const Lu& lu) {
  if (lu.rows() == 0) return false;
  if ((lu.matrixLU().diagonal().array() == 0.0).any()) return true;
  return !(lu.rcond() >= std::numeric_limits<double>::epsilon());
}

}  // namespace

MatrixStatus solve(const Matrix& a, const Matrix& b, Matrix& x) {
  matrix_detail::RequireSquare("solve", a);
  matrix_detail::RequireSameRows("solve", a, b);
  if (!AllFinite(a) || !AllFinite(b)) return MatrixStatus::kNotFinite;
  const Lu lu(ViewOf(a));
  if (Singular(lu)) return MatrixStatus::kSingular;
  Matrix result(b.Rows(), b.Cols());
  ViewOf(result) = lu.solve(ViewOf(b));
  x = std::move(result);
  return MatrixStatus::kOk;
}

MatrixStatus matrixInverse(const Matrix& a, Matrix& inverse) {
  matrix_detail::RequireSquare("matrixInverse", a);
  if (!AllFinite(a)) return MatrixStatus::kNotFinite;
  const Lu lu(ViewOf(a));
  if (Singular(lu)) return MatrixStatus::kSingular;
  Matrix result(a.Rows(), a.Cols());
  ViewOf(result) = lu.inverse();
  inverse = std::move(result);
  return MatrixStatus::kOk;
}

}  // namespace pelikon
