// SPDX-License-Identifier: MIT
// Jacobi eigen-decomposition and eigen ordering.
#include "tissuesteward/eigen.h"

#include "support/fatal_report.h"
#include "support/guarded.h"
#include "toolkit/detail/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

// LAPACK: eigenvalues (ascending) of a symmetric single-precision matrix.
extern "C" void ssyev_(const char *jobz, const char *uplo, const int *n, float *a, const int *lda,
                       float *w, float *work, const int *lwork, int *info, std::size_t jobz_len,
                       std::size_t uplo_len);

namespace {

using ts::testing::fatal_report;
using ts::testing::Grid;
using ts::testing::Vec;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::vector<float> lapack_eigenvalues(int n, const std::vector<float> &sym) {
  std::vector<float> a = sym, w(n);
  int lwork = -1, info = 0;
  float query = 0.0f;
  ssyev_("N", "U", &n, a.data(), &n, w.data(), &query, &lwork, &info, 1, 1);
  lwork = static_cast<int>(query);
  std::vector<float> work(lwork);
  ssyev_("N", "U", &n, a.data(), &n, w.data(), work.data(), &lwork, &info, 1, 1);
  EXPECT_EQ(info, 0);
  return w;
}

struct Decomposition {
  std::vector<float> d;               // d[1..n]
  std::vector<std::vector<float>> v;  // v[row][col], 1-based
  int nrot = -1;
};

// Runs jacobi on a guarded copy of the symmetric row-major `sym`, with the
// lower triangle set to `lower` (or left symmetric when `lower` is null).
Decomposition run_jacobi(int n, const std::vector<float> &sym, const float *lower = nullptr) {
  Grid a(n, n);
  a.assign(sym);
  if (lower != nullptr)
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j < i; ++j) a[i][j] = *lower;
  Grid v(n, n);
  Vec d(n);
  Decomposition out;
  jacobi(a.p(), n, d.p(), v.p(), &out.nrot);
  EXPECT_TRUE(a.guards_intact());
  EXPECT_TRUE(v.guards_intact());
  EXPECT_TRUE(d.guards_intact());
  // Upper triangle exactly zero; diagonal and lower triangle untouched.
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) {
      const float entry = j > i                       ? 0.0f
                          : j < i && lower != nullptr ? *lower
                                                      : sym[(i - 1) * n + j - 1];
      EXPECT_EQ(std::memcmp(&a[i][j], &entry, sizeof entry), 0) << i << "," << j;
    }
  out.d.assign(n + 1, 0.0f);
  out.v.assign(n + 1, std::vector<float>(n + 1, 0.0f));
  for (int i = 1; i <= n; ++i) {
    out.d[i] = d[i];
    for (int j = 1; j <= n; ++j) out.v[i][j] = v[i][j];
  }
  return out;
}

TEST(Jacobi, DiagonalMatrixNeedsNoRotation) {
  const std::vector<float> diag = {3, 0,  0, 0,  //
                                   0, -1, 0, 0,  //
                                   0, 0,  2, 0,  //
                                   0, 0,  0, 5};
  const Decomposition e = run_jacobi(4, diag);
  EXPECT_EQ(e.nrot, 0);
  const float want[] = {0, 3, -1, 2, 5};
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(e.d[i], want[i]);
    for (int j = 1; j <= 4; ++j) EXPECT_EQ(e.v[i][j], i == j ? 1.0f : 0.0f);
  }

  const Decomposition one = run_jacobi(1, {-7.5f});
  EXPECT_EQ(one.nrot, 0);
  EXPECT_EQ(one.d[1], -7.5f);
  EXPECT_EQ(one.v[1][1], 1.0f);
}

TEST(Jacobi, TwoByTwoTakesOneRotation) {
  const Decomposition e = run_jacobi(2, {2, 1, 1, 2});
  EXPECT_EQ(e.nrot, 1);
  EXPECT_EQ(e.d[1], 1.0f);
  EXPECT_EQ(e.d[2], 3.0f);
  // Components of magnitude 1/√2, up to one rounding of the update.
  for (int i = 1; i <= 2; ++i)
    for (int j = 1; j <= 2; ++j) EXPECT_NEAR(std::fabs(e.v[i][j]), std::sqrt(0.5), 1.2e-7);
  EXPECT_LT(e.v[1][1] * e.v[2][1], 0.0f);  // eigenvalue 1: (1, -1)/√2
  EXPECT_GT(e.v[1][2] * e.v[2][2], 0.0f);  // eigenvalue 3: (1, 1)/√2
}

TEST(Jacobi, DisjointPlanesTakeOneRotationEach) {
  // The rotation in plane (1,2) leaves the zero pairs of rows 1 and 2 at zero,
  // so the second sweep finds an exactly zero upper triangle.
  const Decomposition one = run_jacobi(3, {1, 4, 0, 4, 2, 0, 0, 0, 6});
  EXPECT_EQ(one.nrot, 1);
  EXPECT_EQ(one.d[3], 6.0f);
  const Decomposition two = run_jacobi(4, {1, 4, 0, 0,  //
                                           4, 2, 0, 0,  //
                                           0, 0, 6, 3,  //
                                           0, 0, 3, 1});
  EXPECT_EQ(two.nrot, 2);
}

TEST(Jacobi, LowerTriangleIsNeverRead) {
  ts::testing::Source gen(7);
  const int n = 6;
  std::vector<float> sym(n * n);
  for (int i = 0; i < n; ++i)
    for (int j = i; j < n; ++j) sym[i * n + j] = sym[j * n + i] = gen.signed_unit();
  const Decomposition clean = run_jacobi(n, sym);
  const Decomposition poisoned = run_jacobi(n, sym, &kNaN);
  EXPECT_EQ(clean.nrot, poisoned.nrot);
  for (int i = 1; i <= n; ++i) {
    EXPECT_EQ(clean.d[i], poisoned.d[i]);
    for (int j = 1; j <= n; ++j) EXPECT_EQ(clean.v[i][j], poisoned.v[i][j]);
  }
}

// On seeded random symmetric matrices: A·v = λ·v and VᵀV = I in double
// precision, and the eigenvalues agree with LAPACK's ssyev.
TEST(Jacobi, EigenpairsAgreeWithLapack) {
  ts::testing::Source gen(1234);
  for (int trial = 0; trial < 40; ++trial) {
    const int n = 2 + trial % 15;
    SCOPED_TRACE(testing::Message() << "trial " << trial << " n " << n);
    std::vector<float> sym(n * n);
    for (int i = 0; i < n; ++i)
      for (int j = i; j < n; ++j) sym[i * n + j] = sym[j * n + i] = gen.signed_unit();
    if (trial % 5 == 4) std::fill(sym.begin(), sym.end(), 1.0f);  // eigenvalues n, 0, ..., 0
    const Decomposition e = run_jacobi(n, sym);
    EXPECT_GT(e.nrot, 0);

    const double tol = 4e-6 * n;
    for (int p = 1; p <= n; ++p) {
      for (int i = 1; i <= n; ++i) {
        double av = 0.0;
        for (int k = 1; k <= n; ++k) av += double(sym[(i - 1) * n + k - 1]) * e.v[k][p];
        EXPECT_NEAR(av, double(e.d[p]) * e.v[i][p], tol) << "pair " << p << " row " << i;
      }
      for (int q = 1; q <= n; ++q) {
        double dot = 0.0;
        for (int k = 1; k <= n; ++k) dot += double(e.v[k][p]) * e.v[k][q];
        EXPECT_NEAR(dot, p == q ? 1.0 : 0.0, tol) << p << "," << q;
      }
    }
    std::vector<float> ours(e.d.begin() + 1, e.d.end());
    std::sort(ours.begin(), ours.end());
    const std::vector<float> theirs = lapack_eigenvalues(n, sym);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(ours[i], theirs[i], tol) << i;
  }
}

using JacobiDeathTest = ::testing::Test;

void decompose_with_nan() {
  ts::testing::ignore_leaks_of_fatal_path();
  Grid a(3, 3);
  a.assign({1, kNaN, 0, kNaN, 2, 1, 0, 1, 3});
  Grid v(3, 3);
  Vec d(3);
  int nrot = 0;
  jacobi(a.p(), 3, d.p(), v.p(), &nrot);
}

TEST(JacobiDeathTest, UpperTriangleThatNeverVanishesIsFatalAfterFiftySweeps) {
  EXPECT_EXIT(decompose_with_nan(), ::testing::ExitedWithCode(1),
              "^" + fatal_report(ts::msg::kJacobiTooManyIterations));
}

// --- eigsrt -------------------------------------------------------------------

// Eigenvalues d with column j of v tagged as (j, 10 j, 100 j, ...).
struct Tagged {
  Vec d;
  Grid v;
  explicit Tagged(const std::vector<float> &values)
      : d(static_cast<int>(values.size())),
        v(static_cast<int>(values.size()), static_cast<int>(values.size())) {
    const int n = static_cast<int>(values.size());
    for (int j = 1; j <= n; ++j) {
      d[j] = values[j - 1];
      for (int i = 1; i <= n; ++i) v[i][j] = static_cast<float>(j * std::pow(10, i - 1));
    }
  }
  int column_tag(int j) const { return static_cast<int>(v[1][j]); }
  bool column_intact(int j) const {
    for (int i = 1; i <= v.rows(); ++i)
      if (v[i][j] != static_cast<float>(column_tag(j) * std::pow(10, i - 1))) return false;
    return true;
  }
};

TEST(Eigsrt, SortsDecreasingAndCarriesColumns) {
  Tagged t({1, 3, 2});
  eigsrt(t.d.p(), t.v.p(), 3);
  EXPECT_EQ(t.d[1], 3.0f);
  EXPECT_EQ(t.d[2], 2.0f);
  EXPECT_EQ(t.d[3], 1.0f);
  EXPECT_EQ(t.column_tag(1), 2);
  EXPECT_EQ(t.column_tag(2), 3);
  EXPECT_EQ(t.column_tag(3), 1);
  for (int j = 1; j <= 3; ++j) EXPECT_TRUE(t.column_intact(j));
  EXPECT_TRUE(t.d.guards_intact());
  EXPECT_TRUE(t.v.guards_intact());

  Tagged equal({5, 5});  // the later of equal values goes first
  eigsrt(equal.d.p(), equal.v.p(), 2);
  EXPECT_EQ(equal.column_tag(1), 2);
  EXPECT_EQ(equal.column_tag(2), 1);
}

TEST(Eigsrt, NaNIsNeverChosenNorMoved) {
  Tagged first({kNaN, 1, 2});
  eigsrt(first.d.p(), first.v.p(), 3);
  EXPECT_TRUE(std::isnan(first.d[1]));
  EXPECT_EQ(first.d[2], 2.0f);
  EXPECT_EQ(first.d[3], 1.0f);
  EXPECT_EQ(first.column_tag(1), 1);

  Tagged middle({1, kNaN, 2});
  eigsrt(middle.d.p(), middle.v.p(), 3);
  EXPECT_EQ(middle.d[1], 2.0f);
  EXPECT_TRUE(std::isnan(middle.d[2]));
  EXPECT_EQ(middle.d[3], 1.0f);
  EXPECT_EQ(middle.column_tag(2), 2);
}

}  // namespace
