// SPDX-License-Identifier: MIT
// Linear least squares by SVD: exact and rank-deficient fits, the relative
// threshold, and agreement with LAPACK's double-precision dgels.
#include "tissuesteward/linfit.h"

#include "support/guarded.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

extern "C" void dgels_(const char *trans, const int *m, const int *n, const int *nrhs, double *a,
                       const int *lda, double *b, const int *ldb, double *work, const int *lwork,
                       int *info, std::size_t trans_length);

namespace {

using ts::testing::Grid;
using ts::testing::Vec;
using Floats = std::vector<float>;

TEST(Fpoly, PowersAndShortBases) {
  Vec p(4);
  fpoly(2.0f, p.p(), 4);
  EXPECT_EQ(Floats({p[1], p[2], p[3], p[4]}), (Floats{1, 2, 4, 8}));
  EXPECT_TRUE(p.guards_intact());
  for (int np : {1, 0, -3}) {
    Vec q(1);
    fpoly(5.0f, q.p(), np);
    EXPECT_EQ(q[1], 1.0f);
    EXPECT_TRUE(q.guards_intact()) << np;
  }
}

// One fit with guards around every array.
struct Fit {
  Fit(const Floats &xs, const Floats &ys, const Floats &sigs, int ma_, BasisFunctions funcs)
      : ndata(static_cast<int>(xs.size())),
        ma(ma_),
        x(ndata),
        y(ndata),
        sig(ndata),
        a(ma),
        w(ma),
        u(ndata, ma),
        v(ma, ma) {
    for (int i = 1; i <= ndata; ++i) {
      x[i] = xs[i - 1];
      y[i] = ys[i - 1];
      sig[i] = sigs[i - 1];
    }
    svdfit(x.p(), y.p(), sig.p(), ndata, a.p(), ma, u.p(), v.p(), w.p(), &chisq, funcs);
    EXPECT_TRUE(x.guards_intact() && y.guards_intact() && sig.guards_intact() &&
                a.guards_intact() && w.guards_intact() && u.guards_intact() && v.guards_intact());
  }
  int ndata, ma;
  Vec x, y, sig, a, w;
  Grid u, v;
  float chisq = -1;
};

TEST(Svdfit, ExactLineAndDuplicatedBasis) {
  const Floats xs = {-1, 0, 1, 2, 3}, ones(5, 1.0f);
  Floats ys;
  for (float x : xs) ys.push_back(1 + 2 * x);
  Fit line(xs, ys, ones, 2, fpoly);
  EXPECT_NEAR(line.a[1], 1.0f, 1e-6f);
  EXPECT_NEAR(line.a[2], 2.0f, 1e-6f);
  EXPECT_LT(line.chisq, 1e-11f);

  // Basis (1, x, x): one singular value is zeroed and the slope is shared
  // equally, the minimum-norm solution.
  Fit twice(xs, ys, ones, 3, [](float x, float p[], int) {
    p[1] = 1;
    p[2] = x;
    p[3] = x;
  });
  EXPECT_EQ(std::count(&twice.w[1], &twice.w[4], 0.0f), 1);
  EXPECT_NEAR(twice.a[1], 1.0f, 1e-6f);
  EXPECT_NEAR(twice.a[2], 1.0f, 1e-6f);
  EXPECT_NEAR(twice.a[3], 1.0f, 1e-6f);
  EXPECT_LT(twice.chisq, 1e-11f);
}

// At x = -1, 0, 1 the columns (1, 1, 1) and s·(-1, 0, 1) are orthogonal,
// with singular values √3 and s·√2: their ratio is 0.816·s.
float g_slope_scale = 0;
void scaled_line(float x, float p[], int) {
  p[1] = 1;
  p[2] = g_slope_scale * x;
}

TEST(Svdfit, ThresholdIsRelativeToLargestValue) {
  const Floats xs = {-1, 0, 1}, ys = {2, 4, 6}, ones(3, 1.0f);
  g_slope_scale = 1.0e-5f;  // ratio 8.2e-6: dropped
  Fit dropped(xs, ys, ones, 2, scaled_line);
  EXPECT_EQ(dropped.a[2], 0.0f);
  EXPECT_NEAR(dropped.a[1], 4.0f, 1e-6f);
  EXPECT_NEAR(dropped.chisq, 8.0f, 1e-5f);
  g_slope_scale = 1.5e-5f;  // ratio 1.2e-5: kept
  Fit kept(xs, ys, ones, 2, scaled_line);
  EXPECT_NEAR(kept.a[2] * g_slope_scale, 2.0f, 1e-5f);

  // All basis values zero: largest value 0, nothing to fit, every point
  // counts fully in chi-square. Each callback runs twice per point.
  static int calls = 0;
  Fit none(xs, ys, {1, 2, 0.5f}, 2, [](float, float p[], int) {
    p[1] = 0;
    p[2] = 0;
    ++calls;
  });
  EXPECT_EQ(none.a[1], 0.0f);
  EXPECT_EQ(none.a[2], 0.0f);
  EXPECT_EQ(none.chisq, 4.0f + 4.0f + 144.0f);
  EXPECT_EQ(calls, 6);
}

// Weighted least squares in double by LAPACK (QR), for comparison.
std::vector<double> reference_fit(const Floats &xs, const Floats &ys, const Floats &sigs, int ma) {
  const int m = static_cast<int>(xs.size()), nrhs = 1, lwork = 64 * (m + ma);
  std::vector<double> design(static_cast<std::size_t>(m) * ma), rhs(m), work(lwork);
  for (int i = 0; i < m; ++i) {
    double power = 1;
    for (int j = 0; j < ma; ++j, power *= xs[i]) design[j * m + i] = power / sigs[i];
    rhs[i] = ys[i] / static_cast<double>(sigs[i]);
  }
  int info = 0;
  dgels_("N", &m, &ma, &nrhs, design.data(), &m, rhs.data(), &m, work.data(), &lwork, &info, 1);
  EXPECT_EQ(info, 0);
  rhs.resize(ma);
  return rhs;
}

TEST(Svdfit, NoisyPolynomialsAgreeWithDoublePrecision) {
  std::uint64_t seed = 1;
  for (int ma = 1; ma <= 6; ++ma)
    for (int ndata : {ma, 12, 60, 250}) {
      ts::testing::Source source(seed++);
      Floats xs, ys, sigs;
      for (int i = 0; i < ndata; ++i) {
        const float x = source.signed_unit() * 2;
        float y = 0.5f;
        for (int j = 1; j < ma; ++j) y = y * x + 1.0f / static_cast<float>(j + 1);
        const float sig = 0.05f + 0.1f * std::fabs(source.signed_unit());
        xs.push_back(x);
        ys.push_back(y + sig * source.signed_unit());
        sigs.push_back(sig);
      }
      Fit fit(xs, ys, sigs, ma, fpoly);
      const std::vector<double> want = reference_fit(xs, ys, sigs, ma);
      // Single-precision rounding amplified by the design's condition number.
      float smallest = fit.w[1], largest = fit.w[1];
      for (int j = 1; j <= ma; ++j) {
        smallest = std::min(smallest, fit.w[j]);
        largest = std::max(largest, fit.w[j]);
      }
      ASSERT_GT(smallest, 0.0f);
      const double scale = *std::max_element(
          want.begin(), want.end(), [](double p, double q) { return std::fabs(p) < std::fabs(q); });
      const double tolerance = 10 * std::ldexp(1.0, -23) * (largest / smallest) * std::fabs(scale);
      for (int j = 1; j <= ma; ++j)
        EXPECT_NEAR(fit.a[j], want[j - 1], tolerance) << "ma=" << ma << " ndata=" << ndata;
    }
}

}  // namespace
