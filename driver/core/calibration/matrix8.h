// 8 x 8 matrices of doubles, as the per-cell projective solve uses them.
#pragma once

#include <array>
#include <optional>

namespace velno {

using Matrix8 = std::array<double, 64>;  // row-major

void CopyMatrix8(const Matrix8& source, Matrix8& destination);
// Gaussian elimination with full pivoting; the matrix is used as work space and destroyed.
double Determinant8(Matrix8& a);

// The solution x of a x = b by Gaussian elimination with partial pivoting; nullopt when a pivot falls
// below 1e-12 of the largest entry of a (the system has no single solution).
std::optional<std::array<double, 8>> SolveLinear8(Matrix8 a, std::array<double, 8> b);

}  // namespace velno
