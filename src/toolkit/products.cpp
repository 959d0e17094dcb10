// SPDX-License-Identifier: MIT
// Dense matrix and vector products, transpose, diagonal scaling and copies
// between index bases.
#include "tissuesteward/products.h"

#include "toolkit/simd/kernels.h"

#include <cstring>

void matrix_matrix_mult(float **a, float **b, float **z, int n, int p, int m) {
  ts::simd::kernels().products.matrix_matrix(a, b, z, n, p, m);
}

namespace {

// z[j][i] = z[i][j] for every j < i < n. The blocks below the diagonal go
// through the transpose kernel (square blocks of kMirrorBlock, pointed at
// through row pointers moved to the block's first column); the diagonal
// blocks' lower halves are copied one element at a time.
void mirror_lower_triangle(float **z, int n) {
  constexpr int kMirrorBlock = 16;
  const auto transpose = ts::simd::kernels().products.transpose;
  float *from[kMirrorBlock], *to[kMirrorBlock];
  for (int i0 = 0; i0 < n; i0 += kMirrorBlock) {
    const int rows = n - i0 > kMirrorBlock ? kMirrorBlock : n - i0;
    for (int j0 = 0; j0 < i0; j0 += kMirrorBlock) {
      for (int r = 0; r < rows; ++r) from[r] = z[i0 + r] + j0;
      for (int c = 0; c < kMirrorBlock; ++c) to[c] = z[j0 + c] + i0;
      transpose(from, to, rows, kMirrorBlock);
    }
    for (int i = i0; i < i0 + rows; ++i)
      for (int j = i0; j < i; ++j) z[j][i] = z[i][j];
  }
}

}  // namespace

void transposematrix_matrix_mult(float **a, float **z, int n, int m) {
  ts::simd::kernels().products.lower_row_products(a, z, n, m);
  mirror_lower_triangle(z, n);
}

void fast_matrix_matrix_mult(float **a, float ** /*b*/, float **z, int n, int /*p*/, int m,
                             bool /*first_flag*/, bool /*second_flag*/) {
  transposematrix_matrix_mult(a, z, n, m);
}

void matrix_vector_mult(float **a, float *x, float *y, int n, int m) {
  ts::simd::kernels().products.matrix_vector(a, x, y, n, m);
}

// A single sum: nothing to do side by side without reordering it.
float vector_vector_mult(float *x, float *y, int n) {
  float sum = 0.0f;
  for (int i = 0; i < n; ++i) {
    const float product = x[i] * y[i];
    sum += product;
  }
  return sum;
}

void matrix_transpose(float **a, float **b, int n, int m) {
  ts::simd::kernels().products.transpose(a, b, n, m);
}

void diagmatrix_matrix_mult(float *d, float **a, int n, int m) {
  const auto scale_row = ts::simd::kernels().products.scale_row;
  for (int i = 0; i < n; ++i) scale_row(a[i], d[i], m);
}

void copy_matrix(float **source, float **destination, int n, int m, int mode) {
  if (mode < 0 || mode > 3) return;                 // nothing to copy
  const int from = mode == 1 || mode == 3 ? 1 : 0;  // index base of the source
  const int to = mode == 1 || mode == 2 ? 1 : 0;    // index base of the destination
  // Bit patterns, NaN payloads included: memcpy, never a float load/store.
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < m; ++j)
      std::memcpy(&destination[i + to][j + to], &source[i + from][j + from], sizeof(float));
}
