// The Matrix class, the plain arithmetic on it and its printing; the
// contract checks the other parts of the library share.
#include "matrix/matrix.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>

#include "matrix/eigen_view.h"

namespace pelikon {

using matrix_detail::Refuse;
using matrix_detail::SizeText;
using matrix_detail::ViewOf;

namespace {

// rows * cols, refused when it would not fit the storage or Eigen's indexes.
std::size_t ElementCount(std::size_t rows, std::size_t cols) {
  constexpr auto kLargest = static_cast<std::size_t>(std::numeric_limits<std::ptrdiff_t>::max()) / sizeof(double);
  if (rows > kLargest || cols > kLargest || (rows != 0 && cols > kLargest / rows))
    Refuse("Matrix", std::to_string(rows) + " x " + std::to_string(cols) + " is too large");
  return rows * cols;
}

void RequireSameSize(const char* operation, const Matrix& a, const Matrix& b) {
  if (a.Rows() != b.Rows() || a.Cols() != b.Cols())
    Refuse(operation, SizeText(a) + " and " + SizeText(b) + " differ in size");
}

}  // namespace

namespace matrix_detail {

std::string SizeText(const Matrix& m) {
  return std::to_string(m.Rows()) + " x " + std::to_string(m.Cols());
}

void Refuse(const char* operation, const std::string& what) {
  throw std::invalid_argument(std::string(operation) + ": " + what);
}

void RequireSquare(const char* operation, const Matrix& a) {
  if (!a.IsSquare()) Refuse(operation, SizeText(a) + " is not square");
}

void RequireLowerTriangular(const char* operation, const Matrix& lower) {
  RequireSquare(operation, lower);
  const ConstView l = ViewOf(lower);
  for (Eigen::Index r = 0; r < l.rows(); ++r)
    for (Eigen::Index c = r + 1; c < l.cols(); ++c)
      if (l(r, c) != 0.0)
        Refuse(operation, "the factor is not lower triangular (element " + std::to_string(r) + ", " +
                              std::to_string(c) + " is not zero)");
}

void RequireSameRows(const char* operation, const Matrix& a, const Matrix& b) {
  if (a.Rows() != b.Rows()) Refuse(operation, SizeText(a) + " and right-hand side " + SizeText(b) + " do not fit");
}

bool AllFinite(const Matrix& m) {
  return std::all_of(m.Values().begin(), m.Values().end(), [](double v) { return std::isfinite(v); });
}

void MirrorLower(View m) {
  m.triangularView<Eigen::StrictlyUpper>() = m.transpose();
}

}  // namespace matrix_detail

Matrix::Matrix(std::size_t rows, std::size_t cols, double fill)
    : rows_(rows), cols_(cols), values_(ElementCount(rows, cols), fill) {}

Matrix::Matrix(std::size_t rows, std::size_t cols, std::vector<double> row_major)
    : rows_(rows), cols_(cols), values_(std::move(row_major)) {
  if (values_.size() != ElementCount(rows, cols))
    Refuse("Matrix", std::to_string(values_.size()) + " values do not fill " + SizeText(*this));
}

Matrix::Matrix(std::initializer_list<std::initializer_list<double>> rows)
    : rows_(rows.size()), cols_(rows.size() == 0 ? 0 : rows.begin()->size()) {
  values_.reserve(ElementCount(rows_, cols_));
  for (const auto& row : rows) {
    if (row.size() != cols_)
      Refuse("Matrix", "a row of " + std::to_string(row.size()) + " values among rows of " + std::to_string(cols_));
    values_.insert(values_.end(), row.begin(), row.end());
  }
}

Matrix Matrix::Identity(std::size_t n) {
  Matrix identity(n, n);
  for (std::size_t i = 0; i < n; ++i) identity.values_[i * n + i] = 1.0;
  return identity;
}

Matrix Matrix::Column(std::vector<double> values) {
  const std::size_t rows = values.size();
  return Matrix(rows, 1, std::move(values));
}

double& Matrix::operator()(std::size_t row, std::size_t col) {
  if (row >= rows_ || col >= cols_)
    throw std::out_of_range("Matrix: element " + std::to_string(row) + ", " + std::to_string(col) + " outside " +
                            SizeText(*this));
  return values_[row * cols_ + col];
}

double Matrix::operator()(std::size_t row, std::size_t col) const {
  return const_cast<Matrix&>(*this)(row, col);
}

Matrix matrixTranspose(const Matrix& a) {
  Matrix t(a.Cols(), a.Rows());
  ViewOf(t) = ViewOf(a).transpose();
  return t;
}

Matrix matrixMultiply(const Matrix& a, const Matrix& b) {
  if (a.Cols() != b.Rows()) Refuse("matrixMultiply", SizeText(a) + " times " + SizeText(b) + " do not fit");
  Matrix product(a.Rows(), b.Cols());
  ViewOf(product).noalias() = ViewOf(a) * ViewOf(b);
  return product;
}

Matrix matrixMultiplyTransposed(const Matrix& a, const Matrix& b) {
  if (a.Rows() != b.Rows())
    Refuse("matrixMultiplyTransposed", "the transpose of " + SizeText(a) + " times " + SizeText(b) + " do not fit");
  Matrix product(a.Cols(), b.Cols());
  ViewOf(product).noalias() = ViewOf(a).transpose() * ViewOf(b);
  return product;
}

Matrix operator*(const Matrix& a, const Matrix& b) {
  return matrixMultiply(a, b);
}

Matrix operator*(double factor, const Matrix& a) {
  Matrix scaled(a.Rows(), a.Cols());
  ViewOf(scaled) = factor * ViewOf(a);
  return scaled;
}

Matrix operator+(const Matrix& a, const Matrix& b) {
  RequireSameSize("operator+", a, b);
  Matrix sum(a.Rows(), a.Cols());
  ViewOf(sum) = ViewOf(a) + ViewOf(b);
  return sum;
}

Matrix operator-(const Matrix& a, const Matrix& b) {
  RequireSameSize("operator-", a, b);
  Matrix difference(a.Rows(), a.Cols());
  ViewOf(difference) = ViewOf(a) - ViewOf(b);
  return difference;
}

namespace {

// `value` in fixed notation with `precision` decimals, C locale; "-0.00"
// becomes "0.00".
std::string FixedText(double value, int precision) {
  char text[512];  // the longest double in fixed notation has 309 digits before the point
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, precision);
  std::string written(text, error == std::errc() ? end : text);
  if (written.size() > 1 && written.front() == '-' && written.find_first_not_of("-0.") == std::string::npos)
    written.erase(0, 1);
  return written;
}

}  // namespace

void print(const Matrix& a, std::ostream& out, int precision) {
  if (precision < 0 || precision > 17) Refuse("print", "precision " + std::to_string(precision) + " is not 0 to 17");
  std::vector<std::string> texts;
  texts.reserve(a.Values().size());
  std::size_t width = 0;
  for (double value : a.Values()) {
    texts.push_back(FixedText(value, precision));
    width = std::max(width, texts.back().size());
  }
  std::string line;
  for (std::size_t r = 0; r < a.Rows(); ++r) {
    line.clear();
    for (std::size_t c = 0; c < a.Cols(); ++c) {
      const std::string& text = texts[r * a.Cols() + c];
      if (c > 0) line += ' ';
      line.append(width - text.size(), ' ');
      line += text;
    }
    line += '\n';
    out.write(line.data(), static_cast<std::streamsize>(line.size()));
  }
}

}  // namespace pelikon
