// Inside the matrix library only: a Matrix seen as an Eigen matrix over its
// own storage (no copy), and the checks of the contract every operation
// shares. Never included by the public header.
#pragma once

#include <Eigen/Dense>
#include <cstddef>
#include <string>

#include "matrix/matrix.h"

namespace pelikon::matrix_detail {

using RowMajor = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>;
using View = Eigen::Map<RowMajor>;
using ConstView = Eigen::Map<const RowMajor>;
using ConstVector = Eigen::Map<const Eigen::VectorXd>;

inline View ViewOf(Matrix& m) {
  return View(m.Data(), static_cast<Eigen::Index>(m.Rows()), static_cast<Eigen::Index>(m.Cols()));
}
inline ConstView ViewOf(const Matrix& m) {
  return ConstView(m.Data(), static_cast<Eigen::Index>(m.Rows()), static_cast<Eigen::Index>(m.Cols()));
}

// "3 x 2", for the messages of the exceptions.
std::string SizeText(const Matrix& m);
// Throws std::invalid_argument "<operation>: <what>" naming the sizes.
[[noreturn]] void Refuse(const char* operation, const std::string& what);
void RequireSquare(const char* operation, const Matrix& a);
// Square, and nothing above the diagonal.
void RequireLowerTriangular(const char* operation, const Matrix& lower);
// `b` has as many rows as the square `a`.
void RequireSameRows(const char* operation, const Matrix& a, const Matrix& b);

bool AllFinite(const Matrix& m);

// Copies the lower triangle of the square `m` over its upper one.
void MirrorLower(View m);

}  // namespace pelikon::matrix_detail
