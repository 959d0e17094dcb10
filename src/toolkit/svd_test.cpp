// SPDX-License-Identifier: MIT
// SVD on small documented cases (exact values and signs), the
// pseudo-inverse, least-squares solving and covariance; and its properties on
// seeded random matrices of many shapes, kinds and scales, with LAPACK's
// sgesvd as the reference for the singular values.
#include "tissuesteward/svd.h"

#include "support/guarded.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

extern "C" void sgesvd_(const char *jobu, const char *jobvt, const int *m, const int *n, float *a,
                        const int *lda, float *s, float *u, const int *ldu, float *vt,
                        const int *ldvt, float *work, const int *lwork, int *info,
                        std::size_t jobu_length, std::size_t jobvt_length);

namespace {

using ts::testing::Grid;
using ts::testing::Vec;

using Floats = std::vector<float>;

// svdcmp of an m × n matrix given row by row, with guards all round.
struct Decomposition {
  Decomposition(int m_, int n_, const std::vector<float> &values)
      : m(m_), n(n_), u(m_, n_), v(n_, n_), w(n_) {
    u.assign(values);
    svdcmp(u.p(), m, n, w.p(), v.p());
  }
  bool guards_intact() const { return u.guards_intact() && v.guards_intact() && w.guards_intact(); }
  int m, n;
  Grid u, v;
  Vec w;
};

TEST(Pythag, ExactScaledAndNonFinite) {
  EXPECT_EQ(pythag(3, 4), 5.0f);
  EXPECT_EQ(pythag(-3, 4), 5.0f);
  EXPECT_EQ(pythag(4, -3), 5.0f);
  EXPECT_EQ(pythag(0, 0), 0.0f);
  EXPECT_EQ(pythag(0, -2), 2.0f);
  const float root2 = static_cast<float>(std::sqrt(2.0));
  EXPECT_EQ(pythag(1e30f, 1e30f), 1e30f * root2);     // no overflow
  EXPECT_EQ(pythag(1e-30f, 1e-30f), 1e-30f * root2);  // no underflow
  EXPECT_EQ(pythag(3e38f, 1e38f),
            3e38f * static_cast<float>(std::sqrt(1.0 + (1.0f / 3) * (1.0f / 3))));
  // r = b/a and r² in float, 1 + r² and its root in double: differs both from
  // an all-float form (...96p+0) and from the correctly rounded hypot (...94p+0).
  EXPECT_EQ(pythag(0x1.4a78bcp+0f, 0x1.f0f63p-4f), 0x1.4bed92p+0f);
  EXPECT_EQ(pythag(-0x1.f0f63p-4f, 0x1.4a78bcp+0f), 0x1.4bed92p+0f);

  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(pythag(inf, 1), inf);
  EXPECT_EQ(pythag(-inf, -inf), inf);
  EXPECT_EQ(pythag(nan, -inf), inf);
  EXPECT_TRUE(std::isnan(pythag(nan, 0)));
  EXPECT_TRUE(std::isnan(pythag(0, nan)));
  EXPECT_TRUE(std::isnan(pythag(nan, 2)));
}

TEST(Svdcmp, SmallCasesExactValuesAndSigns) {
  Decomposition d(2, 2, {3, 0, 0, -2});  // no QR sweep needed
  EXPECT_EQ(d.w[1], 3.0f);
  EXPECT_EQ(d.w[2], 2.0f);
  EXPECT_EQ(d.u.values(), (Floats{-1, 0, 0, -1}));
  EXPECT_EQ(d.v.values(), (Floats{-1, 0, 0, 1}));
  EXPECT_TRUE(d.guards_intact());

  Decomposition one(1, 1, {-5});
  EXPECT_EQ(one.w[1], 5.0f);
  EXPECT_EQ(one.u[1][1], -1.0f);
  EXPECT_EQ(one.v[1][1], 1.0f);
  EXPECT_TRUE(one.guards_intact());

  Decomposition unsorted(2, 2, {1, 0, 0, 5});  // left in place, not sorted
  EXPECT_EQ(unsorted.w[1], 1.0f);
  EXPECT_EQ(unsorted.w[2], 5.0f);
  EXPECT_EQ(unsorted.u.values(), (Floats{-1, 0, 0, -1}));
  EXPECT_EQ(unsorted.v.values(), (Floats{-1, 0, 0, -1}));
}

TEST(Svdcmp, ToleranceIsAbsolute) {
  // [[3, 4], [0, 0]] has singular values 5 and 0; scaled by 1e-8 every
  // entry of the bidiagonal form is negligible, no rotation is applied and
  // w keeps the magnitudes of its diagonal, 3e-8 and 0.
  Decomposition big(2, 2, {3, 4, 0, 0});
  EXPECT_NEAR(big.w[1] + big.w[2], 5.0f, 5e-6f);
  EXPECT_NEAR(big.w[1] * big.w[2], 0.0f, 5e-6f);
  Decomposition tiny(2, 2, {3e-8f, 4e-8f, 0, 0});
  EXPECT_EQ(tiny.w[1], 3e-8f);
  EXPECT_EQ(tiny.w[2], 0.0f);
  EXPECT_TRUE(tiny.guards_intact());
}

// r = pseudo-inverse of the zero-based n × n matrix a, guards around both.
struct Inverse {
  Inverse(int n_, const Floats &values) : n(n_), a(0, n_ - 1, 0, n_ - 1), r(0, n_ - 1, 0, n_ - 1) {
    a.assign(values);
    EXPECT_EQ(getInverseMatrixUsingSVD(a.p(), r.p(), n), 1);
    EXPECT_TRUE(a.guards_intact() && r.guards_intact());
  }
  int n;
  Grid a, r;
};

TEST(GetInverseMatrixUsingSVD, DiagonalCasesAndDropThreshold) {
  EXPECT_EQ(Inverse(2, {2, 0, 0, 4}).r.values(), (Floats{0.5f, 0, 0, 0.25f}));
  EXPECT_EQ(Inverse(2, {1, 0, 0, 1}).r.values(), (Floats{1, 0, 0, 1}));

  // Singular values 2 and about 0; the second falls below 2e-6 and is dropped.
  Inverse ones(2, {1, 1, 1, 1});
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j) EXPECT_NEAR(ones.r[i][j], 0.25f, 1e-6f);

  // The threshold is 1e-6 times the largest value: a value equal to it is
  // inverted, the next float below it is dropped.
  const float at = 1e-6f;
  EXPECT_EQ(Inverse(2, {1, 0, 0, at}).r.values(), (Floats{1, 0, 0, 1.0f / at}));
  EXPECT_EQ(Inverse(2, {1, 0, 0, std::nextafter(at, 0.0f)}).r.values(), (Floats{1, 0, 0, 0}));

  // All singular values 0: the pseudo-inverse of zero is zero, not inf/NaN.
  EXPECT_EQ(Inverse(3, {0, 0, 0, 0, 0, 0, 0, 0, 0}).r.values(),
            (Floats{0, 0, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(Inverse(1, {-0.0f}).r.values(), (Floats{0}));
}

// Subnormal entries once overflowed 1/w and 1/e while U and V were built.
// Every factor stays finite and U·diag(w)·Vᵀ gives A back; the pseudo-inverse
// R (where the inverse lies within single precision) is finite with
// A·R·A = A, and a subnormal singular value is dropped.
TEST(Svdcmp, SubnormalEntriesKeepFactorsFinite) {
  const std::vector<std::pair<std::pair<int, int>, Floats>> cases = {
      {{1, 1}, {1e-40f}},
      {{3, 2}, {-8, -0.0f, 2.07938282e-21f, 2.07938282e-21f, 2.08170361e-21f, 0}},
      {{2, 2}, {1, 1e-20f, 1e-20f, 0}},
      {{2, 2}, {1, 1e-22f, 1e-22f, 0}},
      {{2, 2}, {1, 0, 0, 1e-40f}},
      {{2, 2}, {1e-39f, 2e-39f, 3e-39f, -1e-39f}},
      // A QR rotation whose length is subnormal (found by fuzzing).
      {{4, 4},
       {7.9375f, -8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1.0c6f7ap-20f, 0, 0x1.05564p-128f,
        0x1.05564p-128f, 0x1.05564p-128f}},
  };
  for (const auto &[shape, values] : cases) {
    const auto [m, n] = shape;
    Decomposition d(m, n, values);
    EXPECT_TRUE(d.guards_intact());
    float largest = 0.0f;
    for (float x : values) largest = std::max(largest, std::fabs(x));
    for (const Grid *factor : {&d.u, &d.v})
      for (float x : factor->values()) ASSERT_TRUE(std::isfinite(x)) << m << "x" << n;
    for (int j = 1; j <= n; ++j) ASSERT_TRUE(std::isfinite(d.w[j])) << m << "x" << n;
    for (int i = 1; i <= m; ++i) {
      for (int j = 1; j <= n; ++j) {
        double product = 0.0;
        for (int k = 1; k <= n; ++k) product += double{d.u[i][k]} * d.w[k] * d.v[j][k];
        // Subnormal values hold few bits: below the normal range the error
        // is bounded absolutely, by the smallest normal float.
        EXPECT_NEAR(product, values[(i - 1) * n + (j - 1)], 1e-6 * largest + 0x1p-126)
            << i << "," << j;
      }
    }
    if (m != n || largest != 1.0f) continue;
    Inverse inverse(n, values);
    for (float x : inverse.r.values()) ASSERT_TRUE(std::isfinite(x)) << values[1];
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) {
        double ara = 0.0;  // (A·R·A)[i][j]
        for (int k = 0; k < n; ++k)
          for (int l = 0; l < n; ++l)
            ara += double{values[i * n + k]} * inverse.r[k][l] * values[l * n + j];
        EXPECT_NEAR(ara, values[i * n + j], 1e-6 * largest) << i << "," << j;
      }
  }
  EXPECT_EQ(Inverse(2, {1, 0, 0, 1e-40f}).r.values(), (Floats{1, 0, 0, 0}));
}

TEST(GetInverseMatrixUsingSVD, InPlaceMatchesSeparateOutput) {
  ts::testing::Source source(11);
  const int n = 6;
  Grid a(0, n - 1, 0, n - 1), r(0, n - 1, 0, n - 1);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) a[i][j] = source.signed_unit();
  getInverseMatrixUsingSVD(a.p(), r.p(), n);
  getInverseMatrixUsingSVD(a.p(), a.p(), n);
  for (int i = 0; i < n; ++i)
    EXPECT_EQ(std::memcmp(a[i], r[i], n * sizeof(float)), 0) << "row " << i;
  EXPECT_TRUE(a.guards_intact());
}

// A rank-2 matrix (rows 1 and 3 equal) with entries near 1e36: an entry of
// the bidiagonal stalls at rounding level (~1e28), far above the absolute
// tolerance, so the 100 sweeps run out and a large singular value is left
// negative. The inverse must keep that component, with its sign: A·R·A = A.
const std::vector<float> kStalling = {0x1.1d8df8p+118f,  0x1.0485cap+115f,  0x1.88e5bcp+118f,
                                      -0x1.326226p+117f, -0x1.e2494cp+118f, 0x1.400c48p+117f,
                                      0x1.1d8df8p+118f,  0x1.0485cap+115f,  0x1.88e5bcp+118f};

TEST(GetInverseMatrixUsingSVD, UnconvergedValuesKeepTheirComponent) {
  Decomposition d(3, 3, kStalling);
  float largest = 0, most_negative = 0;
  for (int j = 1; j <= 3; ++j) {
    largest = std::max(largest, std::fabs(d.w[j]));
    most_negative = std::min(most_negative, d.w[j]);
  }
  ASSERT_LT(most_negative, -1e-6f * largest) << "no negative value above the threshold left";

  Grid a(0, 2, 0, 2), r(0, 2, 0, 2);
  a.assign(kStalling);
  getInverseMatrixUsingSVD(a.p(), r.p(), 3);
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      long double ara = 0;
      for (int k = 0; k < 3; ++k)
        for (int l = 0; l < 3; ++l) ara += static_cast<long double>(a[i][k]) * r[k][l] * a[l][j];
      EXPECT_NEAR(static_cast<double>(ara / a[i][j]), 1.0, 1e-4) << i << "," << j;
    }

  // The next, well-conditioned call starts afresh.
  EXPECT_EQ(Inverse(2, {2, 0, 0, 4}).r.values(), (Floats{0.5f, 0, 0, 0.25f}));
}

TEST(Svbksb, DropsZeroValuesAndMayOverwriteB) {
  Grid u(2, 2), v(2, 2);
  u.assign({1, 0, 0, 1});
  v.assign({1, 0, 0, 1});
  Vec w(2), b(2), x(2);
  w[1] = 2;
  w[2] = 4;
  b[1] = b[2] = 1;
  svbksb(u.p(), w.p(), v.p(), 2, 2, b.p(), x.p());
  EXPECT_EQ(x[1], 0.5f);
  EXPECT_EQ(x[2], 0.25f);
  w[2] = 0;
  svbksb(u.p(), w.p(), v.p(), 2, 2, b.p(), b.p());
  EXPECT_EQ(b[1], 0.5f);
  EXPECT_EQ(b[2], 0.0f);
  EXPECT_TRUE(x.guards_intact() && b.guards_intact() && w.guards_intact());

  // Aliasing on a full decomposition gives the very same bits.
  Decomposition d(4, 4, {4, 1, 0, 2, 1, 3, 1, 0, 0, 1, 5, 1, 2, 0, 1, 6});
  Vec rhs(4), separate(4);
  for (int i = 1; i <= 4; ++i) rhs[i] = static_cast<float>(i) / 3;
  svbksb(d.u.p(), d.w.p(), d.v.p(), 4, 4, rhs.p(), separate.p());
  svbksb(d.u.p(), d.w.p(), d.v.p(), 4, 4, rhs.p(), rhs.p());
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(rhs[i], separate[i]);
}

TEST(Svdvar, CovarianceFromVAndW) {
  Grid v(2, 2), cvm(2, 2);
  v.assign({1, 0, 0, 1});
  Vec w(2);
  w[1] = 2;
  w[2] = 0;
  svdvar(v.p(), 2, w.p(), cvm.p());
  EXPECT_EQ(cvm.values(), (Floats{0.25f, 0, 0, 0}));
  EXPECT_TRUE(cvm.guards_intact());

  // V·diag(1/w²)·Vᵀ of a real decomposition, exactly symmetric.
  Decomposition d(5, 3, {1, 2, 0, 0, 1, 3, 2, 0, 1, 1, 1, 1, 0, 2, 5});
  Grid c(3, 3);
  svdvar(d.v.p(), 3, d.w.p(), c.p());
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      long double want = 0;
      for (int k = 1; k <= 3; ++k)
        want += static_cast<long double>(d.v[i][k]) * d.v[j][k] /
                (static_cast<long double>(d.w[k]) * d.w[k]);
      EXPECT_NEAR(c[i][j], static_cast<double>(want),
                  1e-5 * std::fabs(static_cast<double>(want)) + 1e-7);
      EXPECT_EQ(c[i][j], c[j][i]);
    }
  EXPECT_TRUE(c.guards_intact());
}

// --- properties on random matrices -------------------------------------------
// Singular values of the row-major m × n matrix a, descending.
std::vector<float> lapack_singular_values(int m, int n, const std::vector<float> &a) {
  std::vector<float> column_major(a.size());
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j) column_major[static_cast<std::size_t>(j) * m + i] = a[i * n + j];
  std::vector<float> s(std::min(m, n));
  const int lwork = 5 * (m + n) + 64;
  std::vector<float> work(lwork);
  int info = 0;
  const int one = 1;
  float unused = 0;
  sgesvd_("N", "N", &m, &n, column_major.data(), &m, s.data(), &unused, &one, &unused, &one,
          work.data(), &lwork, &info, 1, 1);
  EXPECT_EQ(info, 0);
  return s;
}

enum class Kind { kDense, kRankDeficient, kZeroRows, kZero };

std::vector<float> make_matrix(int m, int n, Kind kind, float scale, ts::testing::Source &source) {
  std::vector<float> a(static_cast<std::size_t>(m) * n);
  for (float &x : a) x = kind == Kind::kZero ? 0.0f : source.signed_unit() * scale;
  if (kind == Kind::kRankDeficient && n >= 2) {  // two columns copy others
    for (int i = 0; i < m; ++i) {
      a[i * n + n - 1] = a[i * n];
      a[i * n + n / 2] = a[i * n + (n - 1) / 3];
    }
  }
  if (kind == Kind::kZeroRows)
    for (int i = 0; i < m; i += 2)
      for (int j = 0; j < n; ++j) a[i * n + j] = 0.0f;
  return a;
}

struct Dims {
  int m, n;
};

// Largest |x - y| over the product terms' scale, in double.
struct Checker {
  double eps = std::ldexp(1.0, -23);

  void check(int m, int n, Kind kind, float scale, std::uint64_t seed) {
    ts::testing::Source source(seed);
    const std::vector<float> a = make_matrix(m, n, kind, scale, source);
    Grid u(m, n), v(n, n);
    Vec w(n);
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j) u[i + 1][j + 1] = a[i * n + j];
    svdcmp(u.p(), m, n, w.p(), v.p());
    const std::string where = "m=" + std::to_string(m) + " n=" + std::to_string(n) +
                              " kind=" + std::to_string(static_cast<int>(kind)) +
                              " scale=" + std::to_string(scale) + " seed=" + std::to_string(seed);
    ASSERT_TRUE(u.guards_intact() && v.guards_intact() && w.guards_intact()) << where;

    std::vector<float> reference = lapack_singular_values(m, n, a);
    reference.resize(n, 0.0f);
    const double largest = reference.empty() ? 0.0 : reference[0];
    // Rounding in a backward-stable factorisation, plus what the absolute
    // tolerance lets through: entries below 1e-6 taken as zero.
    const double size = std::max(m, n);
    const double tolerance = 8 * size * eps * largest + 4 * std::sqrt(size) * 1e-6;

    // A = U·diag(w)·Vᵀ.
    double residual = 0;
    for (int i = 1; i <= m; ++i)
      for (int j = 1; j <= n; ++j) {
        double s = 0;
        for (int k = 1; k <= n; ++k) s += static_cast<double>(u[i][k]) * w[k] * v[j][k];
        residual = std::max(residual, std::fabs(s - a[(i - 1) * n + j - 1]));
      }
    EXPECT_LE(residual, tolerance) << where;

    // Orthonormal columns of V; of U when m >= n, its rows when m < n.
    const double unit_tolerance = 8 * size * eps;
    EXPECT_LE(orthonormality(v, n, n, true), unit_tolerance) << where << " V";
    EXPECT_LE(m >= n ? orthonormality(u, m, n, true) : orthonormality(u, m, n, false),
              unit_tolerance)
        << where << " U";

    // Singular values: |w| sorted, against LAPACK's padded with zeros.
    std::vector<float> mine(n);
    for (int j = 0; j < n; ++j) mine[j] = std::fabs(w[j + 1]);
    std::sort(mine.rbegin(), mine.rend());
    for (int j = 0; j < n; ++j)
      EXPECT_NEAR(mine[j], reference[j], tolerance) << where << " j=" << j;
  }

  // max |GᵀG - I| over the columns (or GGᵀ over the rows) of g[1..m][1..n].
  static double orthonormality(const Grid &g, int m, int n, bool columns) {
    const int count = columns ? n : m, length = columns ? m : n;
    auto at = [&](int along, int which) { return columns ? g[along][which] : g[which][along]; };
    double worst = 0;
    for (int p = 1; p <= count; ++p)
      for (int q = 1; q <= count; ++q) {
        double s = 0;
        for (int k = 1; k <= length; ++k) s += static_cast<double>(at(k, p)) * at(k, q);
        worst = std::max(worst, std::fabs(s - (p == q ? 1.0 : 0.0)));
      }
    return worst;
  }
};

TEST(SvdcmpProperties, RandomShapesKindsAndScales) {
  const Dims shapes[] = {{1, 1}, {1, 4}, {4, 1}, {2, 2},   {3, 3},  {5, 3},  {3, 5},
                         {6, 6}, {9, 4}, {4, 9}, {12, 12}, {20, 7}, {7, 20}, {25, 25}};
  const Kind kinds[] = {Kind::kDense, Kind::kRankDeficient, Kind::kZeroRows, Kind::kZero};
  const float scales[] = {1.0f, 3e-8f, 1e-3f, 1e10f, 1e30f};
  Checker checker;
  std::uint64_t seed = 1;
  for (const Dims &shape : shapes)
    for (Kind kind : kinds)
      for (float scale : scales)
        for (int repeat = 0; repeat < (kind == Kind::kZero ? 1 : 3); ++repeat)
          checker.check(shape.m, shape.n, kind, scale, seed++);
}

}  // namespace
