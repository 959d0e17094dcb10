// Dense products: documented values, one sum order without fused
// multiply-add, writes confined to each output's range.
#include "tissuesteward/products.h"

#include "support/guarded.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>

namespace {

using support::GuardedMatrix;
using support::GuardedVector;

// Zero-based matrix filled row by row.
void fill(const GuardedMatrix &m, int cols, std::initializer_list<float> values) {
  int k = 0;
  for (float v : values) {
    m[k / cols][k % cols] = v;
    ++k;
  }
}

// Σ kTrapX[k]·kTrapY[k] is exactly 0 only when summed in ascending k from 0
// with every product rounded: 1 + 1e8 - 1e8 is 0 ascending but 1
// descending; (1 + 2^-12)² = 1 + 2^-11 + 2^-24 rounds (a tie, to even) to
// 1 + 2^-11 and cancels the term before it, where a fused multiply-add
// would leave 2^-24.
constexpr int kTrap = 5;
constexpr float kTrapX[kTrap] = {1.0f, 1e8f, -1e8f, 1.0f, 1.0f + 0x1p-12f};
constexpr float kTrapY[kTrap] = {1.0f, 1.0f, 1.0f, -(1.0f + 0x1p-11f), 1.0f + 0x1p-12f};

TEST(MatrixMatrixMult, ValuesSumOrderAndRange) {
  GuardedMatrix a(2, 2, 0), b(2, 2, 0), z(2, 2, 0);
  fill(a, 2, {1, 2, 3, 4});
  fill(b, 2, {5, 6, 7, 8});
  matrix_matrix_mult(a.get(), b.get(), z.get(), 2, 2, 2);
  EXPECT_EQ(z[0][0], 19.0f);
  EXPECT_EQ(z[0][1], 22.0f);
  EXPECT_EQ(z[1][0], 43.0f);
  EXPECT_EQ(z[1][1], 50.0f);
  EXPECT_TRUE(z.guards_intact());

  GuardedMatrix row(1, kTrap, 0), column(kTrap, 1, 0), dot(1, 1, 0);
  for (int k = 0; k < kTrap; ++k) {
    row[0][k] = kTrapX[k];
    column[k][0] = kTrapY[k];
  }
  matrix_matrix_mult(row.get(), column.get(), dot.get(), 1, kTrap, 1);
  EXPECT_EQ(dot[0][0], 0.0f);

  matrix_matrix_mult(a.get(), b.get(), z.get(), 2, 0, 2);  // empty inner range
  EXPECT_EQ(z[0][0], 0.0f);
  EXPECT_EQ(z[1][1], 0.0f);
}

TEST(TransposeMatrixMult, RowDotProductsMirroredAndFastFormIgnoresExtras) {
  GuardedMatrix a(2, 3, 0), z(2, 2, 0), zf(2, 2, 0), b(2, 2, 0);
  fill(a, 3, {1, 2, 3, 4, 5, 6});
  transposematrix_matrix_mult(a.get(), z.get(), 2, 3);
  EXPECT_EQ(z[0][0], 14.0f);
  EXPECT_EQ(z[1][0], 32.0f);
  EXPECT_EQ(z[0][1], 32.0f);
  EXPECT_EQ(z[1][1], 77.0f);
  EXPECT_TRUE(z.guards_intact());

  // b, p and the flags are neither read nor written.
  fast_matrix_matrix_mult(a.get(), b.get(), zf.get(), 2, -7, 3, true, false);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) {
      EXPECT_EQ(zf[i][j], z[i][j]);
      EXPECT_TRUE(support::is_guard(b[i][j]));
    }
  EXPECT_TRUE(zf.guards_intact());

  GuardedMatrix trap(2, kTrap, 0), t(2, 2, 0);
  for (int k = 0; k < kTrap; ++k) {
    trap[0][k] = kTrapX[k];
    trap[1][k] = kTrapY[k];
  }
  transposematrix_matrix_mult(trap.get(), t.get(), 2, kTrap);
  EXPECT_EQ(t[1][0], 0.0f);
  EXPECT_EQ(t[0][1], 0.0f);
}

TEST(MatrixVectorMult, SumOrderAndEmptyRows) {
  GuardedMatrix a(1, kTrap, 0);
  GuardedVector x(kTrap, 0), y(2, 0);
  for (int k = 0; k < kTrap; ++k) {
    a[0][k] = kTrapX[k];
    x[k] = kTrapY[k];
  }
  matrix_vector_mult(a.get(), x.get(), y.get(), 1, kTrap);
  EXPECT_EQ(y[0], 0.0f);
  EXPECT_TRUE(support::is_guard(y[1]));

  matrix_vector_mult(a.get(), x.get(), y.get(), 2, 0);  // m = 0: y becomes 0
  EXPECT_EQ(y[0], 0.0f);
  EXPECT_EQ(y[1], 0.0f);
  EXPECT_TRUE(y.guards_intact());
}

TEST(VectorVectorMult, SumOrderAndEmpty) {
  float x[kTrap], y[kTrap];
  std::memcpy(x, kTrapX, sizeof x);
  std::memcpy(y, kTrapY, sizeof y);
  EXPECT_EQ(vector_vector_mult(x, y, kTrap), 0.0f);
  EXPECT_EQ(vector_vector_mult(x, y, 3), 0.0f);  // 1 + 1e8 - 1e8, ascending
  EXPECT_EQ(vector_vector_mult(x, y, 0), 0.0f);
  EXPECT_EQ(vector_vector_mult(x, y, -4), 0.0f);
}

TEST(TransposeAndScale, ShapesAndRows) {
  GuardedMatrix a(2, 3, 0), b(3, 2, 0);
  fill(a, 3, {1, 2, 3, 4, 5, 6});
  matrix_transpose(a.get(), b.get(), 2, 3);
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(b[j][i], a[i][j]);
  EXPECT_TRUE(b.guards_intact());

  GuardedMatrix s(2, 2, 0);
  fill(s, 2, {1, 1, 1, 1});
  float d[2] = {2, 3};
  diagmatrix_matrix_mult(d, s.get(), 2, 2);
  EXPECT_EQ(s[0][0], 2.0f);
  EXPECT_EQ(s[0][1], 2.0f);
  EXPECT_EQ(s[1][0], 3.0f);
  EXPECT_EQ(s[1][1], 3.0f);
  EXPECT_TRUE(s.guards_intact());
}

TEST(CopyMatrix, ModesMoveBitsBetweenIndexBases) {
  // Values whose bits a float load could change or that compare equal
  // to others: a signalling NaN with a payload, -0.
  std::uint32_t snan_bits = 0x7f800123U;
  float snan;
  std::memcpy(&snan, &snan_bits, sizeof snan);
  GuardedMatrix zero(2, 3, 0), one(2, 3, 1), back(2, 3, 0);
  fill(zero, 3, {1, -0.0f, snan, 4, 5, 6});

  copy_matrix(zero.get(), one.get(), 2, 3, 2);  // zero-based -> one-based
  EXPECT_TRUE(one.guards_intact());             // row 0 and column 0 untouched
  copy_matrix(one.get(), back.get(), 2, 3, 3);  // and back
  EXPECT_EQ(std::memcmp(&back[1][0], &zero[1][0], 3 * sizeof(float)), 0);
  EXPECT_EQ(std::memcmp(&back[0][0], &zero[0][0], 3 * sizeof(float)), 0);
  EXPECT_EQ(std::memcmp(&one[1][1], &zero[0][0], 3 * sizeof(float)), 0);

  GuardedMatrix same0(2, 3, 0), same1(2, 3, 1);
  copy_matrix(zero.get(), same0.get(), 2, 3, 0);
  copy_matrix(one.get(), same1.get(), 2, 3, 1);
  EXPECT_EQ(std::memcmp(&same0[0][0], &zero[0][0], 6 * sizeof(float)), 0);
  EXPECT_EQ(std::memcmp(&same1[1][1], &one[1][1], 3 * sizeof(float)), 0);
  EXPECT_TRUE(same0.guards_intact() && same1.guards_intact());

  for (int mode : {4, -1}) {
    GuardedMatrix untouched(2, 3, 0);
    copy_matrix(zero.get(), untouched.get(), 2, 3, mode);
    for (int i = 0; i < 2; ++i)
      for (int j = 0; j < 3; ++j) EXPECT_TRUE(support::is_guard(untouched[i][j]));
  }
}

}  // namespace
