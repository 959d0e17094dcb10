// Dense matrix and vector products, transpose, diagonal scaling and copies
// between index bases.
#include "tissuesteward/products.h"

#include "toolkit/simd/kernels.h"

#include <cstring>

namespace {

// Σ left(k)·right(k) over k = 0..count-1: one float accumulator from 0,
// ascending k, each product rounded to float before it is added.
template <class Left, class Right>
float ascending_dot(int count, Left left, Right right) {
  float sum = 0.0f;
  for (int k = 0; k < count; ++k) {
    const float product = left(k) * right(k);
    sum += product;
  }
  return sum;
}

}  // namespace

void matrix_matrix_mult(float **a, float **b, float **z, int n, int p, int m) {
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < m; ++j)
      z[i][j] = ascending_dot(
          p, [&](int k) { return a[i][k]; }, [&](int k) { return b[k][j]; });
}

void transposematrix_matrix_mult(float **a, float **z, int n, int m) {
  for (int i = 0; i < n; ++i)
    for (int j = 0; j <= i; ++j)
      z[i][j] = ascending_dot(
          m, [&](int k) { return a[i][k]; }, [&](int k) { return a[j][k]; });
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < i; ++j) z[j][i] = z[i][j];
}

void fast_matrix_matrix_mult(float **a, float ** /*b*/, float **z, int n, int /*p*/, int m,
                             bool /*first_flag*/, bool /*second_flag*/) {
  transposematrix_matrix_mult(a, z, n, m);
}

void matrix_vector_mult(float **a, float *x, float *y, int n, int m) {
  for (int i = 0; i < n; ++i) {
    y[i] = 0.0f;
    for (int j = 0; j < m; ++j) {
      const float product = a[i][j] * x[j];
      y[i] = product + y[i];
    }
  }
}

float vector_vector_mult(float *x, float *y, int n) {
  return ascending_dot(
      n, [&](int i) { return x[i]; }, [&](int i) { return y[i]; });
}

void matrix_transpose(float **a, float **b, int n, int m) {
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < m; ++j) b[j][i] = a[i][j];
}

void diagmatrix_matrix_mult(float *d, float **a, int n, int m) {
  const auto scale_row = ts::simd::kernels().products.scale_row;
  for (int i = 0; i < n; ++i) scale_row(a[i], d[i], m);
}

void copy_matrix(float **source, float **destination, int n, int m, int mode) {
  if (mode < 0 || mode > 3) return;  // nothing to copy
  const int from = mode == 1 || mode == 3 ? 1 : 0;  // index base of the source
  const int to = mode == 1 || mode == 2 ? 1 : 0;    // index base of the destination
  // Bit patterns, NaN payloads included: memcpy, never a float load/store.
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < m; ++j)
      std::memcpy(&destination[i + to][j + to], &source[i + from][j + from], sizeof(float));
}
