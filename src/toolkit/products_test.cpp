// SPDX-License-Identifier: MIT
// Dense products: documented values, one sum order without fused
// multiply-add, writes confined to each output's range.
#include "tissuesteward/products.h"

#include "support/float_bits.h"
#include "support/guarded.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

using support::GuardedMatrix;
using support::GuardedVector;
using Floats = std::vector<float>;

// Σ kTrapX[k]·kTrapY[k] is exactly 0 only when summed in ascending k from 0
// with every product rounded: 1 + 1e8 - 1e8 is 0 ascending but 1
// descending; (1 + 2^-12)² = 1 + 2^-11 + 2^-24 rounds (a tie, to even) to
// 1 + 2^-11 and cancels the term before it, where a fused multiply-add
// would leave 2^-24.
constexpr int kTrap = 5;
const Floats kTrapX = {1.0f, 1e8f, -1e8f, 1.0f, 1.0f + 0x1p-12f};
const Floats kTrapY = {1.0f, 1.0f, 1.0f, -(1.0f + 0x1p-11f), 1.0f + 0x1p-12f};

TEST(MatrixMatrixMult, ValuesSumOrderAndRange) {
  GuardedMatrix a(2, 2, 0), b(2, 2, 0), z(2, 2, 0);
  a.fill({1, 2, 3, 4});
  b.fill({5, 6, 7, 8});
  matrix_matrix_mult(a.get(), b.get(), z.get(), 2, 2, 2);
  EXPECT_EQ(z.elements(), (Floats{19, 22, 43, 50}));
  EXPECT_TRUE(z.guards_intact());

  GuardedMatrix row(1, kTrap, 0), column(kTrap, 1, 0), dot(1, 1, 0);
  row.fill(kTrapX);
  column.fill(kTrapY);
  matrix_matrix_mult(row.get(), column.get(), dot.get(), 1, kTrap, 1);
  EXPECT_EQ(dot[0][0], 0.0f);

  matrix_matrix_mult(a.get(), b.get(), z.get(), 2, 0, 2);  // empty inner range
  EXPECT_EQ(z.elements(), (Floats{0, 0, 0, 0}));
}

TEST(TransposeMatrixMult, RowDotProductsMirroredAndFastFormIgnoresExtras) {
  GuardedMatrix a(2, 3, 0), z(2, 2, 0), fast(2, 2, 0), b(2, 2, 0);
  a.fill({1, 2, 3, 4, 5, 6});
  transposematrix_matrix_mult(a.get(), z.get(), 2, 3);
  EXPECT_EQ(z.elements(), (Floats{14, 32, 32, 77}));
  EXPECT_TRUE(z.guards_intact());

  // b, p and the flags are neither read nor written.
  fast_matrix_matrix_mult(a.get(), b.get(), fast.get(), 2, -7, 3, true, false);
  EXPECT_EQ(fast.elements(), z.elements());
  EXPECT_TRUE(fast.guards_intact());
  for (float x : b.elements()) EXPECT_TRUE(support::is_guard(x));

  GuardedMatrix trap(2, kTrap, 0), t(2, 2, 0);
  Floats rows = kTrapX;
  rows.insert(rows.end(), kTrapY.begin(), kTrapY.end());
  trap.fill(rows);
  transposematrix_matrix_mult(trap.get(), t.get(), 2, kTrap);
  EXPECT_EQ(t[1][0], 0.0f);
  EXPECT_EQ(t[0][1], 0.0f);
}

TEST(VectorProducts, SumOrderAndEmptyRanges) {
  GuardedMatrix a(1, kTrap, 0);
  a.fill(kTrapX);
  Floats x = kTrapY, y = kTrapX;
  GuardedVector out(2, 0);
  matrix_vector_mult(a.get(), x.data(), &out[0], 1, kTrap);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_TRUE(support::is_guard(out[1]));
  matrix_vector_mult(a.get(), x.data(), &out[0], 2, 0);  // m = 0: y becomes 0
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[1], 0.0f);
  EXPECT_TRUE(out.guards_intact());

  EXPECT_EQ(vector_vector_mult(x.data(), y.data(), kTrap), 0.0f);
  EXPECT_EQ(vector_vector_mult(x.data(), y.data(), 3), 0.0f);  // 1 + 1e8 - 1e8
  EXPECT_EQ(vector_vector_mult(x.data(), y.data(), 0), 0.0f);
  EXPECT_EQ(vector_vector_mult(x.data(), y.data(), -4), 0.0f);
}

TEST(TransposeAndScale, ShapesAndRows) {
  GuardedMatrix a(2, 3, 0), b(3, 2, 0);
  a.fill({1, 2, 3, 4, 5, 6});
  matrix_transpose(a.get(), b.get(), 2, 3);
  EXPECT_EQ(b.elements(), (Floats{1, 4, 2, 5, 3, 6}));
  EXPECT_TRUE(b.guards_intact());

  GuardedMatrix s(2, 2, 0);
  s.fill({1, 1, 1, 1});
  float d[2] = {2, 3};
  diagmatrix_matrix_mult(d, s.get(), 2, 2);
  EXPECT_EQ(s.elements(), (Floats{2, 2, 3, 3}));
  EXPECT_TRUE(s.guards_intact());
}

TEST(CopyMatrix, ModesMoveBitsBetweenIndexBases) {
  // A signalling NaN with a payload and -0: bits a conversion could change
  // or that compare equal to others.
  const float snan = ts::testing::from_bits(0x7f800123U);
  GuardedMatrix zero(2, 3, 0), one(2, 3, 1), back(2, 3, 0), same0(2, 3, 0), same1(2, 3, 1);
  zero.fill({1, -0.0f, snan, 4, 5, 6});
  auto same_bits = [](const GuardedMatrix &p, const GuardedMatrix &q) {
    const Floats x = p.elements(), y = q.elements();
    return std::memcmp(x.data(), y.data(), x.size() * sizeof(float)) == 0;
  };

  copy_matrix(zero.get(), one.get(), 2, 3, 2);  // zero-based -> one-based
  EXPECT_TRUE(same_bits(one, zero));
  EXPECT_TRUE(one.guards_intact());             // row 0 and column 0 untouched
  copy_matrix(one.get(), back.get(), 2, 3, 3);  // and back
  EXPECT_TRUE(same_bits(back, zero));
  copy_matrix(zero.get(), same0.get(), 2, 3, 0);
  copy_matrix(one.get(), same1.get(), 2, 3, 1);
  EXPECT_TRUE(same_bits(same0, zero) && same_bits(same1, zero));
  EXPECT_TRUE(back.guards_intact() && same0.guards_intact() && same1.guards_intact());

  for (int mode : {4, -1}) {
    GuardedMatrix untouched(2, 3, 0);
    copy_matrix(zero.get(), untouched.get(), 2, 3, mode);
    for (float x : untouched.elements()) EXPECT_TRUE(support::is_guard(x));
  }
}

}  // namespace
