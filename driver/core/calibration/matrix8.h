// 8 x 8 matrices of doubles, as the per-cell projective solve uses them.
#pragma once

#include <array>

namespace velno {

using Matrix8 = std::array<double, 64>;  // row-major

void CopyMatrix8(const Matrix8& source, Matrix8& destination);
// Gaussian elimination with full pivoting; the matrix is used as work space and destroyed.
double Determinant8(Matrix8& a);

}  // namespace velno
