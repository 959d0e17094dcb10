// SPDX-License-Identifier: MIT
// SVD properties on seeded random matrices of many shapes, kinds and
// scales, with LAPACK's sgesvd as the reference for the singular values.
#include "tissuesteward/svd.h"

#include "support/guarded.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

extern "C" void sgesvd_(const char *jobu, const char *jobvt, const int *m, const int *n, float *a,
                        const int *lda, float *s, float *u, const int *ldu, float *vt,
                        const int *ldvt, float *work, const int *lwork, int *info,
                        std::size_t jobu_length, std::size_t jobvt_length);

namespace {

using ts::testing::Grid;
using ts::testing::Vec;

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

struct Shape {
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
  const Shape shapes[] = {{1, 1}, {1, 4}, {4, 1}, {2, 2},   {3, 3},  {5, 3},  {3, 5},
                          {6, 6}, {9, 4}, {4, 9}, {12, 12}, {20, 7}, {7, 20}, {25, 25}};
  const Kind kinds[] = {Kind::kDense, Kind::kRankDeficient, Kind::kZeroRows, Kind::kZero};
  const float scales[] = {1.0f, 3e-8f, 1e-3f, 1e10f, 1e30f};
  Checker checker;
  std::uint64_t seed = 1;
  for (const Shape &shape : shapes)
    for (Kind kind : kinds)
      for (float scale : scales)
        for (int repeat = 0; repeat < (kind == Kind::kZero ? 1 : 3); ++repeat)
          checker.check(shape.m, shape.n, kind, scale, seed++);
}

}  // namespace
