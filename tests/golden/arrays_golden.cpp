// SPDX-License-Identifier: MIT
// Layout of every array kind: where each element lands relative to the first.
#include "golden.h"

#include "tissuesteward/arrays.h"

#include <utility>

namespace ts::testing {
namespace {

long distance(const void *from, const void *to) {
  return static_cast<long>(static_cast<const char *>(to) - static_cast<const char *>(from));
}

const Register matrix_layout("matrix", "offsets_3x4_and_m2..2x3..7", [](Digest &d) {
  float **a = matrix(1, 3, 1, 4);
  d.value(distance(&a[1][1], &a[3][4]));
  free_matrix(a, 1, 3, 1, 4);
  int **m = imatrix(-2, 2, 3, 7);
  for (long i = -2; i <= 2; ++i) d.value(distance(&m[-2][3], &m[i][7]));
  free_imatrix(m, -2, 2, 3, 7);
});

const Register tensor_layout("f3tensor", "offsets_2x3x4", [](Digest &d) {
  float ***t = f3tensor(1, 2, 1, 3, 1, 4);
  for (long i = 1; i <= 2; ++i)
    for (long j = 1; j <= 3; ++j) d.value(distance(&t[1][1][1], &t[i][j][4]));
  free_f3tensor(t, 1, 2, 1, 3, 1, 4);
});

const Register views("submatrix", "window_and_flat_views", [](Digest &d) {
  float **a = matrix(1, 5, 1, 5);
  for (long i = 1; i <= 5; ++i)
    for (long j = 1; j <= 5; ++j) a[i][j] = static_cast<float>(10 * i + j);
  float **b = submatrix(a, 2, 4, 3, 5, 0, 0);
  d.rows(b, 0, 2, 0, 2);
  free_submatrix(b, 0, 2, 0, 2);
  float **c = convert_matrix(&a[1][1], 1, 5, 1, 5);
  d.rows(c, 1, 5, 1, 5);
  free_convert_matrix(c, 1, 5, 1, 5);
  free_matrix(a, 1, 5, 1, 5);
});

// Every vector kind over a few bound pairs, including an empty range: the
// span from the first to the last element, and values written and read back.
const Register vector_kinds("vector", "every_type_and_bounds", [](Digest &d) {
  for (auto [lo, hi] : {std::pair{1L, 10L}, {0L, 0L}, {-5L, 5L}, {3L, 2L}}) {
    float *f = vector(lo, hi);
    int *i = ivector(lo, hi);
    unsigned char *c = cvector(lo, hi);
    unsigned long *l = lvector(lo, hi);
    double *dv = dvector(lo, hi);
    for (long k = lo; k <= hi; ++k) {
      f[k] = static_cast<float>(k) * 0.5f;
      i[k] = static_cast<int>(-k);
      c[k] = static_cast<unsigned char>(k + 100);
      l[k] = static_cast<unsigned long>(k) * 1000003UL;
      dv[k] = static_cast<double>(k) / 3.0;
    }
    if (hi >= lo) {
      d.value(distance(&f[lo], &f[hi]));
      d.value(distance(&dv[lo], &dv[hi]));
      d.value(distance(&l[lo], &l[hi]));
    }
    for (long k = lo; k <= hi; ++k) {
      d.value(f[k]);
      d.value(i[k]);
      d.value(c[k]);
      d.value(l[k]);
      d.value(dv[k]);
    }
    free_dvector(dv, lo, hi);
    free_lvector(l, lo, hi);
    free_cvector(c, lo, hi);
    free_ivector(i, lo, hi);
    free_vector(f, lo, hi);
  }
});

const Register matrix_kinds("dmatrix", "offsets_and_values_m1..2x0..3", [](Digest &d) {
  double **m = dmatrix(-1, 2, 0, 3);
  for (long i = -1; i <= 2; ++i)
    for (long j = 0; j <= 3; ++j) m[i][j] = static_cast<double>(i) * 10.0 + static_cast<double>(j);
  for (long i = -1; i <= 2; ++i) d.value(distance(&m[-1][0], &m[i][3]));
  d.rows(m, -1, 2, 0, 3);
  free_dmatrix(m, -1, 2, 0, 3);
});

const Register char_tensor("c3tensor", "offsets_0..1x2..4x1..5", [](Digest &d) {
  unsigned char ***t = c3tensor(0, 1, 2, 4, 1, 5);
  for (long i = 0; i <= 1; ++i)
    for (long j = 2; j <= 4; ++j) {
      d.value(distance(&t[0][2][1], &t[i][j][5]));
      for (long k = 1; k <= 5; ++k) t[i][j][k] = static_cast<unsigned char>(i * 50 + j * 10 + k);
    }
  for (long i = 0; i <= 1; ++i)
    for (long j = 2; j <= 4; ++j) d.range(t[i][j], 1, 5);
  free_c3tensor(t, 0, 1, 2, 4, 1, 5);
});

}  // namespace
}  // namespace ts::testing
