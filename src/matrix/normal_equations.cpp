// The products of the normal equations: N = Jᵀ·W·J and Jᵀ·W·y, with a full
// weight matrix or with the diagonal of one.
#include <string>

#include "matrix/eigen_view.h"
#include "matrix/matrix.h"

namespace pelikon {

using matrix_detail::ConstVector;
using matrix_detail::Refuse;
using matrix_detail::RowMajor;
using matrix_detail::SizeText;
using matrix_detail::ViewOf;

namespace {

void RequireFullWeights(const char* operation, const Matrix& j, const Matrix& w) {
  if (w.Rows() != j.Rows() || w.Cols() != j.Rows())
    Refuse(operation, "weights " + SizeText(w) + " do not fit the design matrix " + SizeText(j));
}

// The diagonal weights as a vector; they must be one per observation and
// none negative.
ConstVector DiagonalWeights(const char* operation, const Matrix& j, const std::vector<double>& weights) {
  if (weights.size() != j.Rows())
    Refuse(operation, std::to_string(weights.size()) + " weights do not fit the design matrix " + SizeText(j));
  for (std::size_t i = 0; i < weights.size(); ++i)
    if (weights[i] < 0.0) Refuse(operation, "weight " + std::to_string(i) + " is negative");
  return ConstVector(weights.data(), static_cast<Eigen::Index>(weights.size()));
}

void RequireObservations(const char* operation, const Matrix& j, const Matrix& y) {
  if (y.Rows() != j.Rows())
    Refuse(operation, "observations " + SizeText(y) + " do not fit the design matrix " + SizeText(j));
}

}  // namespace

Matrix matrixMultiplyJtWJ(const Matrix& j, const Matrix& w) {
  RequireFullWeights("matrixMultiplyJtWJ", j, w);
  const RowMajor wj = ViewOf(w) * ViewOf(j);
  Matrix n(j.Cols(), j.Cols());
  ViewOf(n).noalias() = ViewOf(j).transpose() * wj;
  return n;
}

Matrix matrixMultiplyJtWJ(const Matrix& j, const std::vector<double>& weights) {
  const ConstVector w = DiagonalWeights("matrixMultiplyJtWJ", j, weights);
  const RowMajor wj = w.asDiagonal() * ViewOf(j);
  Matrix n(j.Cols(), j.Cols());
  // One triangle of the symmetric product, then its mirror: half the work,
  // and a result symmetric to the last bit.
  ViewOf(n).triangularView<Eigen::Lower>() = ViewOf(j).transpose() * wj;
  matrix_detail::MirrorLower(ViewOf(n));
  return n;
}

Matrix matrixMultiplyJtWy(const Matrix& j, const Matrix& w, const Matrix& y) {
  RequireFullWeights("matrixMultiplyJtWy", j, w);
  RequireObservations("matrixMultiplyJtWy", j, y);
  const RowMajor wy = ViewOf(w) * ViewOf(y);
  Matrix u(j.Cols(), y.Cols());
  ViewOf(u).noalias() = ViewOf(j).transpose() * wy;
  return u;
}

Matrix matrixMultiplyJtWy(const Matrix& j, const std::vector<double>& weights, const Matrix& y) {
  const ConstVector w = DiagonalWeights("matrixMultiplyJtWy", j, weights);
  RequireObservations("matrixMultiplyJtWy", j, y);
  const RowMajor wy = w.asDiagonal() * ViewOf(y);
  Matrix u(j.Cols(), y.Cols());
  ViewOf(u).noalias() = ViewOf(j).transpose() * wy;
  return u;
}

}  // namespace pelikon
