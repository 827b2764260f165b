// Dense matrices for least-squares adjustments: the class `Matrix` (row-major
// doubles, value semantics) and the operations an adjustment runs on it —
// products, among them the normal-equation product Jᵀ·W·J; the Cholesky
// factor of a normal matrix, the inverse and the variance–covariance matrix
// from it, substitutions with the factor; a general solve and inverse; and
// printing.
//
// The library is `libpelikon_matrix.so`. Its arithmetic is Eigen's, which
// stays inside the library: nothing here names it.
//
// Naming: the class's own members (construction, sizes, element access)
// follow the project's style (`Rows()`, `Identity()`); the operations are
// free functions in the adjustment code's traditional names
// (`matrixMultiplyJtWJ`, `NRCholesky`, ...).
//
// Errors, two kinds:
//  * A call that breaks its contract — sizes that do not fit, an element
//    index outside the matrix, a factor that is not lower triangular, a
//    negative weight or variance factor — throws: `std::invalid_argument`
//    (`std::out_of_range` for an element index). These are faults of the
//    calling code, never of the data, and are found by its tests.
//  * What the data decides — a matrix that is not positive definite, a
//    singular system, a value that is not a finite number — is a result:
//    the function returns a `MatrixStatus` and writes its output only on
//    `MatrixStatus::kOk`; on any other status the output is left as it was.
//    An output may be the same object as an input.
// Products and the other operations that cannot fail on data carry NaN and
// infinity through as IEEE arithmetic does.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <iosfwd>
#include <vector>

#if defined(_WIN32)
#if defined(PELIKON_MATRIX_BUILD)
#define PELIKON_MATRIX_API __declspec(dllexport)
#else
#define PELIKON_MATRIX_API __declspec(dllimport)
#endif
#else
#define PELIKON_MATRIX_API __attribute__((visibility("default")))
#endif

namespace pelikon {

// A rows × cols matrix of doubles stored row by row: element (r, c) is
// `Data()[r * Cols() + c]`. A default matrix is 0 × 0. Copying copies the
// elements.
class PELIKON_MATRIX_API Matrix {
 public:
  Matrix() = default;
  // rows × cols, every element `fill`.
  Matrix(std::size_t rows, std::size_t cols, double fill = 0.0);
  // rows × cols from `row_major` (rows * cols values, row after row).
  Matrix(std::size_t rows, std::size_t cols, std::vector<double> row_major);
  // From rows written out: {{1, 2}, {3, 4}}. Every row must be as long as
  // the first; {} is 0 × 0.
  Matrix(std::initializer_list<std::initializer_list<double>> rows);

  // The n × n identity.
  static Matrix Identity(std::size_t n);
  // A column vector (values.size() × 1).
  static Matrix Column(std::vector<double> values);

  std::size_t Rows() const { return rows_; }
  std::size_t Cols() const { return cols_; }
  bool Empty() const { return values_.empty(); }
  bool IsSquare() const { return rows_ == cols_; }

  // Element (row, col), both counted from 0; out of range throws
  // std::out_of_range.
  double& operator()(std::size_t row, std::size_t col);
  double operator()(std::size_t row, std::size_t col) const;

  // The elements row by row, for bulk reading and filling.
  double* Data() { return values_.data(); }
  const double* Data() const { return values_.data(); }
  const std::vector<double>& Values() const { return values_; }

  // Same sizes and the same elements, exactly.
  bool operator==(const Matrix& other) const = default;

 private:
  std::size_t rows_ = 0;
  std::size_t cols_ = 0;
  std::vector<double> values_;
};

// What the data made of an operation that can fail on it.
enum class MatrixStatus {
  kOk,
  kNotFinite,            // an input holds NaN or an infinity
  kNotSymmetric,         // NRCholesky: a(i, j) and a(j, i) differ by more than rounding
  kNotPositiveDefinite,  // NRCholesky: a pivot came out zero or negative
  kSingular,             // no unique solution (to working precision)
};

// ---- Arithmetic ----

PELIKON_MATRIX_API Matrix matrixTranspose(const Matrix& a);
// a · b; a.Cols() must equal b.Rows().
PELIKON_MATRIX_API Matrix matrixMultiply(const Matrix& a, const Matrix& b);
// aᵀ · b; a.Rows() must equal b.Rows().
PELIKON_MATRIX_API Matrix matrixMultiplyTransposed(const Matrix& a, const Matrix& b);
PELIKON_MATRIX_API Matrix operator*(const Matrix& a, const Matrix& b);  // matrixMultiply
PELIKON_MATRIX_API Matrix operator*(double factor, const Matrix& a);
PELIKON_MATRIX_API Matrix operator+(const Matrix& a, const Matrix& b);  // same sizes
PELIKON_MATRIX_API Matrix operator-(const Matrix& a, const Matrix& b);  // same sizes

// ---- Normal equations ----
// J is the n × u design matrix (n observations, u unknowns), W the weights
// of the observations: either a full n × n weight matrix or, for
// uncorrelated observations, the n diagonal weights (1/σ² each). Diagonal
// weights must be zero or positive (zero leaves an observation out).

// N = Jᵀ · W · J, u × u. With diagonal weights only one triangle is
// computed and mirrored, so N is exactly symmetric.
PELIKON_MATRIX_API Matrix matrixMultiplyJtWJ(const Matrix& j, const Matrix& w);
PELIKON_MATRIX_API Matrix matrixMultiplyJtWJ(const Matrix& j, const std::vector<double>& weights);
// The right-hand side Jᵀ · W · y for observations y (n × k, usually k = 1).
PELIKON_MATRIX_API Matrix matrixMultiplyJtWy(const Matrix& j, const Matrix& w, const Matrix& y);
PELIKON_MATRIX_API Matrix matrixMultiplyJtWy(const Matrix& j, const std::vector<double>& weights, const Matrix& y);

// ---- Cholesky: A = L · Lᵀ ----

// Factors the symmetric positive definite `a` into `lower`: L with its
// strict upper triangle zero. `a` must be square; it is refused as not
// symmetric when a(i, j) and a(j, i) differ by more than 1e-10 of
// sqrt(a(i, i) · a(j, j)), and as not positive definite when a pivot is
// zero or negative, or when its reciprocal condition number is below the
// machine epsilon (a zero pivot but for rounding) — a network with a datum
// defect, for one.
[[nodiscard]] PELIKON_MATRIX_API MatrixStatus NRCholesky(const Matrix& a, Matrix& lower);
// A⁻¹ from the factor L of A. `lower` must be square and lower triangular;
// a zero on its diagonal is kSingular. The inverse is exactly symmetric.
[[nodiscard]] PELIKON_MATRIX_API MatrixStatus NRCholeskyInverse(const Matrix& lower, Matrix& inverse);
// The variance–covariance matrix σ0² · Q from the inverse Q of the normal
// matrix and the a-posteriori variance factor σ0² = vᵀWv / redundancy
// (1 for a priori variances). `variance_factor` must be finite and not
// negative.
PELIKON_MATRIX_API Matrix NRCholeskyVarCovFromInv(const Matrix& inverse, double variance_factor);
// Solves L · y = b by forward substitution, and Lᵀ · x = y by backward
// substitution, with the same factor L from NRCholesky: together they
// solve A · x = b. `lower` must be square and lower triangular, b must
// have as many rows (any number of columns: one system per column). A zero
// on the diagonal is kSingular.
[[nodiscard]] PELIKON_MATRIX_API MatrixStatus forwardSub(const Matrix& lower, const Matrix& b, Matrix& y);
[[nodiscard]] PELIKON_MATRIX_API MatrixStatus backwardSub(const Matrix& lower, const Matrix& y, Matrix& x);

// ---- General square systems (LU with partial pivoting) ----
// A matrix whose reciprocal condition number is below the machine epsilon
// is kSingular: its solution would hold no correct digit.

// Solves a · x = b; a square, b with as many rows (one system per column).
[[nodiscard]] PELIKON_MATRIX_API MatrixStatus solve(const Matrix& a, const Matrix& b, Matrix& x);
// The inverse of the square `a`.
[[nodiscard]] PELIKON_MATRIX_API MatrixStatus matrixInverse(const Matrix& a, Matrix& inverse);

// ---- Output ----

// Writes `a` to `out`, one line per row, each element in fixed notation
// with `precision` decimals (0 to 17), right-aligned to the widest
// element, one space between columns: " 1.50 -2.00\n 0.25 10.00\n" at
// precision 2. A value that rounds to zero is written without a sign. The
// stream's own formatting settings are neither used nor changed; a 0 × 0
// matrix writes nothing.
PELIKON_MATRIX_API void print(const Matrix& a, std::ostream& out, int precision);

}  // namespace pelikon
