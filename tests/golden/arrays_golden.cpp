// Layout of every array kind: where each element lands relative to the first.
#include "golden.h"

#include "tissuesteward/arrays.h"

namespace {

using golden::Digest;
using golden::Register;

long distance(const void *from, const void *to) {
  return static_cast<long>(static_cast<const char *>(to) - static_cast<const char *>(from));
}

const Register matrix_layout("matrix", "offsets_3x4_and_-2..2x3..7", [](Digest &d) {
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

}  // namespace
