// SPDX-License-Identifier: MIT
// Gauss-Jordan elimination and covariance re-ordering.
#include "tissuesteward/linsolve.h"

#include "support/fatal_report.h"
#include "support/float_bits.h"
#include "support/guarded.h"
#include "toolkit/detail/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

using ts::testing::fatal_report;
using ts::testing::Grid;

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

void fill_identity(const Grid &a) {
  for (int i = 1; i <= a.rows(); ++i)
    for (int j = 1; j <= a.cols(); ++j) a[i][j] = i == j ? 1.0f : 0.0f;
}

TEST(Gaussj, IdentityIsUnchangedAndPivotsFromTheLastDiagonalBackwards) {
  for (int n = 1; n <= 6; ++n) {
    SCOPED_TRACE(n);
    Grid a(n, n);
    fill_identity(a);
    // Every reduction subtracts 0·(pivot row) from the other rows, so an
    // infinite right-hand side turns every row reduced after its pivot pass
    // into NaN. It survives only in the row that is pivoted last: row 1 when
    // ties go to the element visited last.
    Grid b(n, 2);
    for (int i = 1; i <= n; ++i) b[i][1] = b[i][2] = static_cast<float>(i);
    b[1][1] = kInf;
    b[n][2] = kInf;
    gaussj(a.p(), n, b.p(), 2);
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= n; ++j) EXPECT_EQ(a[i][j], i == j ? 1.0f : 0.0f) << i << "," << j;
    EXPECT_EQ(b[1][1], kInf);
    for (int i = 2; i <= n; ++i) EXPECT_TRUE(std::isnan(b[i][1])) << i;
    if (n > 1) {
      for (int i = 1; i <= n; ++i) EXPECT_TRUE(std::isnan(b[i][2])) << i;
    }
    EXPECT_TRUE(a.guards_intact());
    EXPECT_TRUE(b.guards_intact());
  }
}

TEST(Gaussj, OneByOne) {
  Grid a(1, 1);
  a.assign({4.0f});
  Grid b(1, 2);
  b.assign({3.0f, -8.0f});
  gaussj(a.p(), 1, b.p(), 2);
  EXPECT_EQ(a[1][1], 0.25f);
  EXPECT_EQ(b[1][1], 0.75f);
  EXPECT_EQ(b[1][2], -2.0f);
}

TEST(Gaussj, InvertsWithoutRightHandSides) {
  Grid a(2, 2);  // det 8: inverse is dyadic
  a.assign({4.0f, 8.0f, 2.0f, 6.0f});
  gaussj(a.p(), 2, nullptr, 0);
  EXPECT_EQ(a[1][1], 0.75f);
  EXPECT_EQ(a[1][2], -1.0f);
  EXPECT_EQ(a[2][1], -0.25f);
  EXPECT_EQ(a[2][2], 0.5f);
  EXPECT_TRUE(a.guards_intact());
}

TEST(Gaussj, RowExchangesAreUndoneInTheInverseOnly) {
  // Zeros on the diagonal force row exchanges; with power-of-two entries the
  // inverse (the transpose with reciprocal entries) is exact.
  Grid a(3, 3);
  a.assign({0, 2, 0,  //
            0, 0, 4,  //
            8, 0, 0});
  Grid b(3, 2);
  b.assign({2, 1,  //
            4, 2,  //
            8, 3});
  gaussj(a.p(), 3, b.p(), 2);
  const std::vector<float> inverse = {0, 0, 0.125f, 0.5f, 0, 0, 0, 0.25f, 0};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(a[i][j], inverse[(i - 1) * 3 + j - 1]) << i << j;
  // x = A⁻¹b, rows in natural order.
  EXPECT_EQ(b[1][1], 1.0f);
  EXPECT_EQ(b[2][1], 1.0f);
  EXPECT_EQ(b[3][1], 1.0f);
  EXPECT_EQ(b[1][2], 0.375f);
  EXPECT_EQ(b[2][2], 0.5f);
  EXPECT_EQ(b[3][2], 0.5f);
  EXPECT_TRUE(a.guards_intact());
  EXPECT_TRUE(b.guards_intact());

  Grid swap(2, 2);
  swap.assign({0, 1, 1, 0});
  gaussj(swap.p(), 2, nullptr, 0);
  EXPECT_EQ(swap[1][1], 0.0f);
  EXPECT_EQ(swap[1][2], 1.0f);
  EXPECT_EQ(swap[2][1], 1.0f);
  EXPECT_EQ(swap[2][2], 0.0f);
}

// A·A⁻¹ = I and A·X = B, checked in double precision from the float inputs,
// on seeded random matrices of several orders and right-hand-side counts.
TEST(Gaussj, InverseAndSolutionsOnRandomMatrices) {
  ts::testing::Source gen(20240611);
  for (int trial = 0; trial < 60; ++trial) {
    const int n = 1 + trial % 12;
    const int m = trial % 4;
    SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n << " m " << m);
    std::vector<float> a0(n * n), b0(n * m);
    for (float &v : a0) v = gen.signed_unit();
    // Keep the matrix away from singular so a fixed tolerance is meaningful.
    for (int i = 0; i < n; ++i) a0[i * n + i] += (trial % 2 == 0 ? 1.0f : -1.0f) * n * 0.5f;
    for (float &v : b0) v = gen.signed_unit();
    Grid a(n, n);
    a.assign(a0);
    Grid b(n, m);
    b.assign(b0);
    gaussj(a.p(), n, b.p(), m);
    double worst_identity = 0.0, worst_residual = 0.0;
    for (int i = 1; i <= n; ++i) {
      for (int j = 1; j <= n; ++j) {
        double s = 0.0;
        for (int k = 1; k <= n; ++k) s += double(a0[(i - 1) * n + k - 1]) * a[k][j];
        worst_identity = std::max(worst_identity, std::fabs(s - (i == j ? 1.0 : 0.0)));
      }
      for (int c = 1; c <= m; ++c) {
        double s = 0.0;
        for (int k = 1; k <= n; ++k) s += double(a0[(i - 1) * n + k - 1]) * b[k][c];
        worst_residual = std::max(worst_residual, std::fabs(s - b0[(i - 1) * m + c - 1]));
      }
    }
    EXPECT_LT(worst_identity, 2e-6 * n);
    EXPECT_LT(worst_residual, 2e-6 * n);
    EXPECT_TRUE(a.guards_intact());
    EXPECT_TRUE(b.guards_intact());
  }
}

// The documented passes written out plainly, with a full pivot search in
// every pass; false where the routine would end the process instead.
bool plain_gaussj(std::vector<std::vector<float>> &a, std::vector<std::vector<float>> &b) {
  const int n = static_cast<int>(a.size()), m = b.empty() ? 0 : static_cast<int>(b[0].size());
  std::vector<int> used(n, 0), rows, cols;
  for (int pass = 0; pass < n; ++pass) {
    float largest = 0.0f;
    int pr = -1, pc = -1;
    for (int r = 0; r < n; ++r)
      for (int c = 0; c < n && used[r] != 1; ++c)
        if (used[c] == 0 && std::fabs(a[r][c]) >= largest) {
          largest = std::fabs(a[r][c]);
          pr = r;
          pc = c;
        }
    if (pr < 0) return false;
    ++used[pc];
    std::swap(a[pr], a[pc]);
    std::swap(b[pr], b[pc]);
    rows.push_back(pr);
    cols.push_back(pc);
    if (a[pc][pc] == 0.0f) return false;
    const float reciprocal = 1.0f / a[pc][pc];
    a[pc][pc] = 1.0f;
    for (float &v : a[pc]) v *= reciprocal;
    for (float &v : b[pc]) v *= reciprocal;
    for (int r = 0; r < n; ++r) {
      if (r == pc) continue;
      const float f = a[r][pc];
      a[r][pc] = 0.0f;
      for (int l = 0; l < n; ++l) a[r][l] -= a[pc][l] * f;
      for (int l = 0; l < m; ++l) b[r][l] -= b[pc][l] * f;
    }
  }
  for (int l = n - 1; l >= 0; --l)
    for (int r = 0; r < n; ++r) std::swap(a[r][rows[l]], a[r][cols[l]]);
  return true;
}

// Entries of few magnitudes (many ties) and the odd NaN, at orders around
// the vector widths: the pivots, and so every bit, as the plain passes give.
TEST(Gaussj, TiedAndNaNEntriesPivotAsThePlainPasses) {
  ts::testing::Source gen(77);
  const float kValues[] = {1.0f, -1.0f, 2.0f, -2.0f, 0.5f, 0.0f};
  int compared = 0;
  const int kWide[] = {31, 33, 50, 67, 130};  // several vectors and leftovers per row
  for (int trial = 0; trial < 125; ++trial) {
    const int n = trial < 120 ? 1 + trial % 20 : kWide[trial - 120], m = trial % 3;
    SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n);
    std::vector<std::vector<float>> pa(n, std::vector<float>(n)), pb(n, std::vector<float>(m));
    for (auto &row : pa)
      for (float &v : row) v = kValues[gen.below(6)];
    for (auto &row : pb)
      for (float &v : row) v = kValues[gen.below(5)];
    if (trial % 5 == 0) pa[gen.below(n)][gen.below(n)] = kNaN;
    Grid a(n, n), b(n, m);
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) a[i + 1][j + 1] = pa[i][j];
      for (int j = 0; j < m; ++j) b[i + 1][j + 1] = pb[i][j];
    }
    if (!plain_gaussj(pa, pb)) continue;  // singular: the death tests cover it
    gaussj(a.p(), n, b.p(), m);
    ++compared;
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        if (!(std::isnan(pa[i][j]) && std::isnan(a[i + 1][j + 1]))) {
          ASSERT_EQ(ts::testing::bits(pa[i][j]), ts::testing::bits(a[i + 1][j + 1]))
              << i << "," << j;
        }
      }
      for (int j = 0; j < m; ++j) {
        if (!(std::isnan(pb[i][j]) && std::isnan(b[i + 1][j + 1]))) {
          ASSERT_EQ(ts::testing::bits(pb[i][j]), ts::testing::bits(b[i + 1][j + 1]))
              << i << "," << j;
        }
      }
    }
  }
  EXPECT_GT(compared, 60);
}

using GaussjDeathTest = ::testing::Test;

void invert(int n, const std::vector<float> &row_major) {
  ts::testing::ignore_leaks_of_fatal_path();
  Grid a(n, n);
  a.assign(row_major);
  gaussj(a.p(), n, nullptr, 0);
}

TEST(GaussjDeathTest, ZeroPivotIsSingularTwo) {
  const std::string two = "^" + fatal_report(ts::msg::kGaussjSingular2);
  EXPECT_EXIT(invert(1, {0.0f}), ::testing::ExitedWithCode(1), two);
  EXPECT_EXIT(invert(3, {1, 2, 3, 0, 0, 0, 4, 5, 7}), ::testing::ExitedWithCode(1), two);
  EXPECT_EXIT(invert(3, {1, 0, 3, 2, 0, 3, 4, 0, 7}), ::testing::ExitedWithCode(1), two);
  // Rank one with exact cancellation in the second pass.
  EXPECT_EXIT(invert(2, {1, 2, 2, 4}), ::testing::ExitedWithCode(1), two);
}

TEST(GaussjDeathTest, PassWithoutCandidateIsSingularOne) {
  const std::string one = "^" + fatal_report(ts::msg::kGaussjSingular1);
  EXPECT_EXIT(invert(2, {kNaN, kNaN, kNaN, kNaN}), ::testing::ExitedWithCode(1), one);
  // The NaN is all that is left for the second pass.
  EXPECT_EXIT(invert(2, {kNaN, 0, 0, 1}), ::testing::ExitedWithCode(1), one);
}

// --- covsrt -------------------------------------------------------------------

// The packed covariance of the fitted parameters, spread by hand: element
// (i, j) of the result is packed element (rank i, rank j) when both are
// fitted, else 0.
TEST(Covsrt, SpreadsThePackedBlockIntoFullOrder) {
  const std::vector<std::vector<int>> flag_sets = {{1, 1, 1, 1},    {0, 0, 0},          {1, 0, 1},
                                                   {0, 1, 1, 0, 1}, {1, 0, 0, 0, 0, 1}, {0, 0, 1}};
  for (const auto &flags : flag_sets) {
    const int ma = static_cast<int>(flags.size());
    SCOPED_TRACE(ma);
    std::vector<int> ia(ma + 2, 7);
    std::vector<int> rank(ma + 1, 0);
    int mfit = 0;
    for (int j = 1; j <= ma; ++j) {
      ia[j] = flags[j - 1];
      if (ia[j] != 0) rank[j] = ++mfit;
    }
    Grid c(ma, ma);
    auto packed = [](int r, int s) {
      return static_cast<float>(10 * std::min(r, s) + std::max(r, s));
    };
    for (int i = 1; i <= ma; ++i)
      for (int j = 1; j <= ma; ++j)
        c[i][j] = i <= mfit && j <= mfit ? packed(i, j) : -1.0f;  // junk outside the block
    covsrt(c.p(), ma, ia.data(), mfit);
    for (int i = 1; i <= ma; ++i)
      for (int j = 1; j <= ma; ++j) {
        const float want = rank[i] != 0 && rank[j] != 0 ? packed(rank[i], rank[j]) : 0.0f;
        EXPECT_EQ(c[i][j], want) << i << "," << j;
      }
    EXPECT_TRUE(c.guards_intact());
  }
}

TEST(Covsrt, ThreeParametersMiddleHeld) {
  Grid c(3, 3);
  c.assign({2, 5, 9, 5, 3, 9, 9, 9, 9});
  int ia[] = {0, 1, 0, 1};
  covsrt(c.p(), 3, ia, 2);
  const std::vector<float> want = {2, 0, 5, 0, 0, 0, 5, 0, 3};
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(c[i][j], want[(i - 1) * 3 + j - 1]);
}

void covsrt_with_flags(std::vector<int> flags, int mfit) {
  ts::testing::ignore_leaks_of_fatal_path();
  const int ma = static_cast<int>(flags.size());
  Grid c(ma, ma);
  flags.insert(flags.begin(), 0);
  covsrt(c.p(), ma, flags.data(), mfit);
}

TEST(CovsrtDeathTest, FlagCountMustMatchMfit) {
  // Too many flags would drive the target to row and column 0; too few would
  // start it past the last row.
  EXPECT_EXIT(covsrt_with_flags({1, 1, 1}, 2), ::testing::ExitedWithCode(1),
              "^" + fatal_report("covsrt: mfit=2 but 3 of 3 flags are set"));
  EXPECT_EXIT(covsrt_with_flags({1, 1}, 3), ::testing::ExitedWithCode(1),
              "^" + fatal_report("covsrt: mfit=3 but 2 of 2 flags are set"));
  EXPECT_EXIT(covsrt_with_flags({0, 1}, -1), ::testing::ExitedWithCode(1),
              "^" + fatal_report("covsrt: mfit=-1 but 1 of 2 flags are set"));
}

}  // namespace
