// SPDX-License-Identifier: MIT
// Offset-indexed arrays: handle arithmetic, contiguity, views, fatal exits.
#include "tissuesteward/arrays.h"

#include "support/fatal_report.h"
#include "toolkit/detail/messages.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>

// Huge requests must come back from malloc as null (and be reported through
// nrerror) rather than abort inside the sanitizer's allocator.
extern "C" const char *__asan_default_options() { return "allocator_may_return_null=1"; }

namespace {

using ts::testing::literal;
using ts::testing::report;

TEST(Vector, HandleIsBlockMinusLowerBound) {
  float *v = vector(1, 5);
  for (long i = 1; i <= 5; ++i) v[i] = static_cast<float>(i);
  EXPECT_EQ(v[5], 5.0f);
  // &v[1] is exactly what malloc returned: freeing it directly must be clean
  // (the sanitizer build reports anything else as an invalid free).
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfree-nonheap-object"
  std::free(&v[1]);
#pragma GCC diagnostic pop

  double *z = dvector(0, 3);  // 0-based: the handle is the block itself
  z[0] = 1.0;
  z[3] = 4.0;
  std::free(z);

  // Negative and far-off bounds work as long as the element count is sane.
  int *w = ivector(-1000000, -999999);
  w[-1000000] = 1;
  w[-999999] = 2;
  EXPECT_EQ(w[-1000000] + w[-999999], 3);
  free_ivector(w, -1000000, -999999);

  unsigned long *l = lvector(LONG_MAX - 1, LONG_MAX);
  l[LONG_MAX] = ~0UL;
  free_lvector(l, LONG_MAX - 1, LONG_MAX);

  unsigned char *c = cvector(1, 0);  // empty range: zero bytes, never touched
  free_cvector(c, 1, 0);
}

TEST(Matrix, RowsAreOneContiguousBlock) {
  float **a = matrix(1, 3, 1, 4);
  EXPECT_EQ(&a[2][1], &a[1][4] + 1);
  EXPECT_EQ(&a[3][4], &a[1][1] + 11);
  for (long i = 1; i <= 3; ++i)
    for (long j = 1; j <= 4; ++j) a[i][j] = static_cast<float>(10 * i + j);
  const float *flat = &a[1][1];
  EXPECT_EQ(flat[4], 21.0f);
  EXPECT_EQ(flat[11], 34.0f);
  free_matrix(a, 1, 3, 1, 4);

  double **one = dmatrix(0, 0, 5, 5);
  one[0][5] = 2.5;
  EXPECT_EQ(one[0][5], 2.5);
  free_dmatrix(one, 0, 0, 5, 5);

  int **m = imatrix(-2, 2, 3, 4);
  EXPECT_EQ(&m[2][4], &m[-2][3] + 9);
  free_imatrix(m, -2, 2, 3, 4);

  // Degenerate shapes allocate, release and never write out of bounds.
  free_matrix(matrix(1, 0, 1, 5), 1, 0, 1, 5);
  free_matrix(matrix(1, 5, 1, 0), 1, 5, 1, 0);
}

TEST(BorrowedMatrix, SubmatrixWritesThroughAndLeavesParentIntact) {
  float **a = matrix(1, 3, 1, 3);
  for (long i = 1; i <= 3; ++i)
    for (long j = 1; j <= 3; ++j) a[i][j] = static_cast<float>(10 * i + j);
  float **b = submatrix(a, 2, 3, 2, 3, 1, 1);
  EXPECT_EQ(b[1][1], 22.0f);
  EXPECT_EQ(b[2][2], 33.0f);
  b[1][2] = -1.0f;
  EXPECT_EQ(a[2][3], -1.0f);
  free_submatrix(b, 1, 2, 1, 2);
  EXPECT_EQ(a[3][3], 33.0f);
  a[1][1] = 0.5f;  // still usable
  free_matrix(a, 1, 3, 1, 3);

  // A view with bounds far from the parent's.
  float **p = matrix(0, 4, 0, 4);
  p[4][1] = 7.0f;
  float **q = submatrix(p, 3, 4, 0, 4, 100, -50);
  EXPECT_EQ(q[101][-49], 7.0f);
  free_submatrix(q, 100, 101, -50, -46);
  free_matrix(p, 0, 4, 0, 4);
}

TEST(BorrowedMatrix, ConvertMatrixViewsFlatArray) {
  float flat[6] = {0, 1, 2, 3, 4, 5};
  float **v = convert_matrix(flat, 1, 2, 1, 3);
  EXPECT_EQ(v[2][1], flat[3]);
  EXPECT_EQ(v[1][3], flat[2]);
  v[2][3] = 9.0f;
  EXPECT_EQ(flat[5], 9.0f);
  free_convert_matrix(v, 1, 2, 1, 3);
}

TEST(Tensor, ElementsAreOneContiguousBlock) {
  float ***t = f3tensor(1, 2, 1, 3, 1, 4);
  EXPECT_EQ(&t[2][1][1], &t[1][1][1] + 12);
  EXPECT_EQ(&t[1][3][4], &t[1][1][1] + 11);
  EXPECT_EQ(&t[2][3][4], &t[1][1][1] + 23);
  EXPECT_EQ(t[2], t[1] + 3);
  for (long i = 1; i <= 2; ++i)
    for (long j = 1; j <= 3; ++j)
      for (long k = 1; k <= 4; ++k) t[i][j][k] = static_cast<float>(100 * i + 10 * j + k);
  EXPECT_EQ((&t[1][1][1])[23], 234.0f);
  free_f3tensor(t, 1, 2, 1, 3, 1, 4);

  unsigned char ***c = c3tensor(0, 1, -1, 0, 5, 6);
  EXPECT_EQ(&c[1][0][6], &c[0][-1][5] + 7);
  c[1][0][6] = 255;
  free_c3tensor(c, 0, 1, -1, 0, 5, 6);

  free_f3tensor(f3tensor(1, 0, 1, 3, 1, 4), 1, 0, 1, 3, 1, 4);
  free_f3tensor(f3tensor(1, 2, 1, 0, 1, 4), 1, 2, 1, 0, 1, 4);
}

using ArraysDeathTest = ::testing::Test;

TEST(ArraysDeathTest, NrerrorWritesThreeLinesAndExitsWithOne) {
  EXPECT_EXIT(nrerror(const_cast<char *>("something went wrong")), ::testing::ExitedWithCode(1),
              "^" + literal(report("something went wrong")));
}

TEST(ArraysDeathTest, FailedRequestsNameTheirBlock) {
  const long huge = 1L << 50;  // fits 64-bit arithmetic, but no allocator grants it
  EXPECT_EXIT(vector(1, huge), ::testing::ExitedWithCode(1),
              literal(report(ts::msg::kVectorAlloc)));
  EXPECT_EXIT(dvector(1, huge), ::testing::ExitedWithCode(1),
              literal(report(ts::msg::kDvectorAlloc)));
  EXPECT_EXIT(dmatrix(1, 2, 1, huge), ::testing::ExitedWithCode(1),
              literal(report(ts::msg::kMatrixAlloc2)));
  EXPECT_EXIT(imatrix(1, huge, 1, 1), ::testing::ExitedWithCode(1),
              literal(report(ts::msg::kMatrixAlloc1)));
  EXPECT_EXIT(f3tensor(1, 2, 1, 2, 1, huge), ::testing::ExitedWithCode(1),
              literal(report(ts::msg::kF3tensorAlloc3)));
  EXPECT_EXIT(c3tensor(1, 2, 1, huge, 1, 1), ::testing::ExitedWithCode(1),
              literal(report(ts::msg::kC3tensorAlloc2)));
}

TEST(ArraysDeathTest, SizesBeyondSixtyFourBitsAreRefused) {
  // Element and byte counts that wrap around must not become small requests.
  EXPECT_EXIT(vector(LONG_MIN, LONG_MAX), ::testing::ExitedWithCode(1),
              literal(report(ts::msg::kVectorAlloc)));
  EXPECT_EXIT(dvector(0, LONG_MAX / 4), ::testing::ExitedWithCode(1),
              literal(report(ts::msg::kDvectorAlloc)));
  EXPECT_EXIT(vector(5, 2), ::testing::ExitedWithCode(1), literal(report(ts::msg::kVectorAlloc)));
  EXPECT_EXIT(matrix(1, 4, 1, LONG_MAX / 2), ::testing::ExitedWithCode(1),
              literal(report(ts::msg::kMatrixAlloc2)));
  EXPECT_EXIT(f3tensor(1, 2, 1, 2, 1, LONG_MAX / 2), ::testing::ExitedWithCode(1),
              literal(report(ts::msg::kF3tensorAlloc3)));
  EXPECT_EXIT(convert_matrix(nullptr, 1, 0, 3, 1), ::testing::ExitedWithCode(1),
              literal(report(ts::msg::kConvertMatrixAlloc)));
}

}  // namespace
