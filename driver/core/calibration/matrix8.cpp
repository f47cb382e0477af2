#include "calibration/matrix8.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace velno {
namespace {

constexpr int kSize = 8;

double& At(Matrix8& a, int row, int col) { return a[row * kSize + col]; }

struct Pivot {
  double magnitude;
  int row;
  int col;
};

// Largest magnitude in rows and columns from..7, visiting column by column and, within a column, row by
// row; only a strictly larger value takes over, so ties go to the lowest column, then the lowest row.
Pivot FindPivot(Matrix8& a, int from) {
  Pivot pivot{0.0, from, from};
  for (int col = from; col < kSize; ++col) {
    for (int row = from; row < kSize; ++row) {
      const double magnitude = std::fabs(At(a, row, col));
      if (magnitude > pivot.magnitude) pivot = {magnitude, row, col};
    }
  }
  return pivot;
}

void SwapRows(Matrix8& a, int r0, int r1) {
  for (int col = 0; col < kSize; ++col) std::swap(At(a, r0, col), At(a, r1, col));
}

void SwapColumns(Matrix8& a, int c0, int c1) {
  for (int row = 0; row < kSize; ++row) std::swap(At(a, row, c0), At(a, row, c1));
}

}  // namespace

void CopyMatrix8(const Matrix8& source, Matrix8& destination) { destination = source; }

double Determinant8(Matrix8& a) {
  double product = 1.0;
  int swaps = 0;
  for (int i = 0; i < kSize; ++i) {
    const Pivot pivot = FindPivot(a, i);
    if (pivot.magnitude == 0.0) return 0.0;
    if (pivot.row != i) {
      SwapRows(a, i, pivot.row);
      ++swaps;
    }
    if (pivot.col != i) {
      SwapColumns(a, i, pivot.col);
      ++swaps;
    }
    const double p = At(a, i, i);
    product *= p;
    for (int r = i + 1; r < kSize; ++r) {
      const double m = At(a, r, i);
      if (m == 0.0) continue;
      // Kept in exactly this form, ((1 / p) * a[i][j]) * m: the rounding of every solved coefficient
      // depends on it, and a calibration must solve to the same values on every build.
      for (int j = 0; j < kSize; ++j) At(a, r, j) -= ((1.0 / p) * At(a, i, j)) * m;
    }
  }
  return swaps % 2 == 0 ? product : -product;
}

std::optional<std::array<double, 8>> SolveLinear8(Matrix8 a, std::array<double, 8> b) {
  double largest = 0.0;
  for (const double value : a) largest = std::max(largest, std::fabs(value));
  const double smallestPivot = largest * 1e-12;
  for (int i = 0; i < kSize; ++i) {
    int pivot = i;
    for (int row = i + 1; row < kSize; ++row) {
      if (std::fabs(At(a, row, i)) > std::fabs(At(a, pivot, i))) pivot = row;
    }
    if (!(std::fabs(At(a, pivot, i)) > smallestPivot)) return std::nullopt;
    SwapRows(a, i, pivot);
    std::swap(b[i], b[pivot]);
    for (int row = i + 1; row < kSize; ++row) {
      const double m = At(a, row, i) / At(a, i, i);
      for (int col = i; col < kSize; ++col) At(a, row, col) -= m * At(a, i, col);
      b[row] -= m * b[i];
    }
  }
  std::array<double, 8> x{};
  for (int i = kSize - 1; i >= 0; --i) {
    double sum = b[i];
    for (int col = i + 1; col < kSize; ++col) sum -= At(a, i, col) * x[col];
    x[i] = sum / At(a, i, i);
  }
  return x;
}

}  // namespace velno
