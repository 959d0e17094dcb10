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

using ts::testing::Grid;
using ts::testing::Vec;
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
  Grid a(0, 1, 0, 1), b(0, 1, 0, 1), z(0, 1, 0, 1);
  a.assign({1, 2, 3, 4});
  b.assign({5, 6, 7, 8});
  matrix_matrix_mult(a.p(), b.p(), z.p(), 2, 2, 2);
  EXPECT_EQ(z.values(), (Floats{19, 22, 43, 50}));
  EXPECT_TRUE(z.guards_intact());

  Grid row(0, 0, 0, kTrap - 1), column(0, kTrap - 1, 0, 0), dot(0, 0, 0, 0);
  row.assign(kTrapX);
  column.assign(kTrapY);
  matrix_matrix_mult(row.p(), column.p(), dot.p(), 1, kTrap, 1);
  EXPECT_EQ(dot[0][0], 0.0f);

  matrix_matrix_mult(a.p(), b.p(), z.p(), 2, 0, 2);  // empty inner range
  EXPECT_EQ(z.values(), (Floats{0, 0, 0, 0}));
}

TEST(TransposeMatrixMult, RowDotProductsMirroredAndFastFormIgnoresExtras) {
  Grid a(0, 1, 0, 2), z(0, 1, 0, 1), fast(0, 1, 0, 1), b(0, 1, 0, 1);
  a.assign({1, 2, 3, 4, 5, 6});
  transposematrix_matrix_mult(a.p(), z.p(), 2, 3);
  EXPECT_EQ(z.values(), (Floats{14, 32, 32, 77}));
  EXPECT_TRUE(z.guards_intact());

  // b, p and the flags are neither read nor written.
  fast_matrix_matrix_mult(a.p(), b.p(), fast.p(), 2, -7, 3, true, false);
  EXPECT_EQ(fast.values(), z.values());
  EXPECT_TRUE(fast.guards_intact());
  for (float x : b.values()) EXPECT_TRUE(ts::testing::is_guard(x));

  Grid trap(0, 1, 0, kTrap - 1), t(0, 1, 0, 1);
  Floats rows = kTrapX;
  rows.insert(rows.end(), kTrapY.begin(), kTrapY.end());
  trap.assign(rows);
  transposematrix_matrix_mult(trap.p(), t.p(), 2, kTrap);
  EXPECT_EQ(t[1][0], 0.0f);
  EXPECT_EQ(t[0][1], 0.0f);
}

TEST(VectorProducts, SumOrderAndEmptyRanges) {
  Grid a(0, 0, 0, kTrap - 1);
  a.assign(kTrapX);
  Floats x = kTrapY, y = kTrapX;
  Vec out(0, 1);
  matrix_vector_mult(a.p(), x.data(), &out[0], 1, kTrap);
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_TRUE(ts::testing::is_guard(out[1]));
  matrix_vector_mult(a.p(), x.data(), &out[0], 2, 0);  // m = 0: y becomes 0
  EXPECT_EQ(out[0], 0.0f);
  EXPECT_EQ(out[1], 0.0f);
  EXPECT_TRUE(out.guards_intact());

  EXPECT_EQ(vector_vector_mult(x.data(), y.data(), kTrap), 0.0f);
  EXPECT_EQ(vector_vector_mult(x.data(), y.data(), 3), 0.0f);  // 1 + 1e8 - 1e8
  EXPECT_EQ(vector_vector_mult(x.data(), y.data(), 0), 0.0f);
  EXPECT_EQ(vector_vector_mult(x.data(), y.data(), -4), 0.0f);
}

TEST(TransposeAndScale, ShapesAndRows) {
  Grid a(0, 1, 0, 2), b(0, 2, 0, 1);
  a.assign({1, 2, 3, 4, 5, 6});
  matrix_transpose(a.p(), b.p(), 2, 3);
  EXPECT_EQ(b.values(), (Floats{1, 4, 2, 5, 3, 6}));
  EXPECT_TRUE(b.guards_intact());

  Grid s(0, 1, 0, 1);
  s.assign({1, 1, 1, 1});
  float d[2] = {2, 3};
  diagmatrix_matrix_mult(d, s.p(), 2, 2);
  EXPECT_EQ(s.values(), (Floats{2, 2, 3, 3}));
  EXPECT_TRUE(s.guards_intact());
}

TEST(CopyMatrix, ModesMoveBitsBetweenIndexBases) {
  // A signalling NaN with a payload and -0: bits a conversion could change
  // or that compare equal to others.
  const float snan = ts::testing::from_bits(0x7f800123U);
  Grid zero(0, 1, 0, 2), one(2, 3), back(0, 1, 0, 2), same0(0, 1, 0, 2), same1(2, 3);
  zero.assign({1, -0.0f, snan, 4, 5, 6});
  auto same_bits = [](const Grid &p, const Grid &q) {
    const Floats x = p.values(), y = q.values();
    return std::memcmp(x.data(), y.data(), x.size() * sizeof(float)) == 0;
  };

  copy_matrix(zero.p(), one.p(), 2, 3, 2);  // zero-based -> one-based
  EXPECT_TRUE(same_bits(one, zero));
  EXPECT_TRUE(one.guards_intact());         // row 0 and column 0 untouched
  copy_matrix(one.p(), back.p(), 2, 3, 3);  // and back
  EXPECT_TRUE(same_bits(back, zero));
  copy_matrix(zero.p(), same0.p(), 2, 3, 0);
  copy_matrix(one.p(), same1.p(), 2, 3, 1);
  EXPECT_TRUE(same_bits(same0, zero) && same_bits(same1, zero));
  EXPECT_TRUE(back.guards_intact() && same0.guards_intact() && same1.guards_intact());

  for (int mode : {4, -1}) {
    Grid untouched(0, 1, 0, 2);
    copy_matrix(zero.p(), untouched.p(), 2, 3, mode);
    for (float x : untouched.values()) EXPECT_TRUE(ts::testing::is_guard(x));
  }
}

}  // namespace
