// SPDX-License-Identifier: MIT
// Straight-line fit: documented cases, agreement with the closed form in
// double precision (weighted and unweighted), the centred sums' immunity to
// a shifted abscissa, degenerate inputs, and the fatal report.
#include "tissuesteward/linefit.h"

#include "support/fatal_report.h"
#include "support/guarded.h"
#include "tissuesteward/gamma_beta_erf.h"
#include "toolkit/detail/messages.h"

#include <gtest/gtest.h>
#include <boost/math/special_functions/gamma.hpp>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using ts::testing::fatal_report;

// 1-based arrays x, y, sig[1..n] between guard cells: a fit that reads a
// guard comes out far off.
struct Points {
  explicit Points(int count) : n(count), x(count), y(count), sig(count) {}
  int n;
  ts::testing::Vec x, y, sig;
};

struct Result {
  float a = 0, b = 0, siga = 0, sigb = 0, chi2 = 0, q = 0;
};

Result run_fit(Points &p, bool weighted) {
  Result r;
  float *sig = weighted ? p.sig.p() : nullptr;
  fit(p.x.p(), p.y.p(), p.n, sig, weighted ? 1 : 0, &r.a, &r.b, &r.siga, &r.sigb, &r.chi2, &r.q);
  return r;
}

// The textbook closed form in double: Δ = S Sxx - Sx², uncentred.
struct Reference {
  double a, b, siga, sigb, chi2;
};

Reference closed_form(const Points &p, bool weighted) {
  double s = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (int i = 1; i <= p.n; ++i) {
    const double w = weighted ? 1.0 / (double{p.sig[i]} * p.sig[i]) : 1.0;
    s += w;
    sx += w * p.x[i];
    sy += w * p.y[i];
    sxx += w * p.x[i] * p.x[i];
    sxy += w * p.x[i] * p.y[i];
  }
  const double delta = s * sxx - sx * sx;
  Reference r;
  r.a = (sxx * sy - sx * sxy) / delta;
  r.b = (s * sxy - sx * sy) / delta;
  r.siga = std::sqrt(sxx / delta);
  r.sigb = std::sqrt(s / delta);
  r.chi2 = 0;
  for (int i = 1; i <= p.n; ++i) {
    const double res = (p.y[i] - r.a - r.b * p.x[i]) / (weighted ? double{p.sig[i]} : 1.0);
    r.chi2 += res * res;
  }
  if (!weighted) {
    const double scatter = std::sqrt(r.chi2 / (p.n - 2));
    r.siga *= scatter;
    r.sigb *= scatter;
  }
  return r;
}

Points noisy_line(ts::testing::Source &engine, int n) {
  auto unit = [](ts::testing::Source &e) { return e.uniform(0.0, 1.0); };
  Points p(n);
  const double a = 4 * unit(engine) - 2, b = 6 * unit(engine) - 3;
  for (int i = 1; i <= n; ++i) {
    p.x[i] = static_cast<float>(10 * unit(engine));
    p.sig[i] = static_cast<float>(0.1 + unit(engine));
    p.y[i] = static_cast<float>(a + b * p.x[i] + p.sig[i] * (2 * unit(engine) - 1));
  }
  return p;
}

TEST(Fit, ExactLineUnweighted) {
  Points p(3);
  for (int i = 1; i <= 3; ++i) {
    p.x[i] = static_cast<float>(i - 1);
    p.y[i] = static_cast<float>(2 * i - 1);
  }
  const Result r = run_fit(p, false);  // sig is null: never read
  EXPECT_EQ(r.a, 1.0f);
  EXPECT_EQ(r.b, 2.0f);
  EXPECT_EQ(r.chi2, 0.0f);
  EXPECT_EQ(r.q, 1.0f);
  EXPECT_EQ(r.siga, 0.0f);
  EXPECT_EQ(r.sigb, 0.0f);
}

// Unit uncertainties give the unweighted line and chi-square; the weighted
// uncertainties are the unscaled ones and q comes from gammq.
TEST(Fit, UnitWeightsMatchUnweighted) {
  ts::testing::Source engine(21);
  Points p = noisy_line(engine, 12);
  for (int i = 1; i <= p.n; ++i) p.sig[i] = 1.0f;
  const Result w = run_fit(p, true);
  const Result u = run_fit(p, false);
  EXPECT_EQ(w.a, u.a);
  EXPECT_EQ(w.b, u.b);
  EXPECT_EQ(w.chi2, u.chi2);
  const float scatter = std::sqrt(u.chi2 / 10.0f);
  EXPECT_FLOAT_EQ(u.siga, w.siga * scatter);
  EXPECT_FLOAT_EQ(u.sigb, w.sigb * scatter);
  EXPECT_EQ(w.q, gammq(5.0f, 0.5f * w.chi2));
  EXPECT_EQ(u.q, 1.0f);
}

// How far single precision may stray from the double closed form: n rounding
// errors of 2^-24 on the magnitudes each result cancels. The slope sums
// t·y/σ, whose offset part cancels; the intercept subtracts Sx·b from Sy; the
// residuals subtract a + b x from y (chi-square itself is stationary in a and b).
struct Bounds {
  double a, b, chi2;
};

Bounds rounding_bounds(const Points &p, bool weighted, const Reference &ref) {
  const double scale = 0x1p-24 * p.n;
  auto sigma = [&](int i) { return weighted ? double{p.sig[i]} : 1.0; };
  double s = 0, sx = 0, sy = 0;
  for (int i = 1; i <= p.n; ++i) {
    const double w = 1 / (sigma(i) * sigma(i));
    s += w;
    sx += w * p.x[i];
    sy += w * std::fabs(p.y[i]);
  }
  const double mean = sx / s;
  double stt = 0, slope_terms = 0, residual_terms = 0;
  for (int i = 1; i <= p.n; ++i) {
    const double t = (p.x[i] - mean) / sigma(i);
    stt += t * t;
    slope_terms += std::fabs(t * p.y[i] / sigma(i));
    const double r = (p.y[i] - ref.a - ref.b * p.x[i]) / sigma(i);
    residual_terms += std::fabs(r) *
                      (std::fabs(p.y[i]) + std::fabs(ref.a) + std::fabs(ref.b * p.x[i])) / sigma(i);
  }
  Bounds bound;
  bound.b = scale * (slope_terms / stt + std::fabs(ref.b));
  bound.a = std::fabs(mean) * bound.b + scale * (sy + std::fabs(sx * ref.b)) / s;
  bound.chi2 = scale * (2 * residual_terms + ref.chi2);
  return bound;
}

// Seeded noisy lines against the closed form in double, within ten times the
// rounding bounds above (largest ratio seen: 2.8). The weighted uncertainties
// depend on x and σ only and agree to 1e-6. q is checked against Boost at the fit's own
// chi-square (gammq's own error, well under 1e-5 for these shapes).
TEST(Fit, AgreesWithClosedFormInDouble) {
  ts::testing::Source engine(22);
  for (int trial = 0; trial < 200; ++trial) {
    const int n = 3 + trial % 60;
    const bool weighted = trial % 2 == 0;
    Points p = noisy_line(engine, n);
    const Result r = run_fit(p, weighted);
    const Reference want = closed_form(p, weighted);
    const Bounds bound = rounding_bounds(p, weighted, want);
    SCOPED_TRACE(::testing::Message()
                 << "trial " << trial << " n=" << n << " weighted=" << weighted);
    EXPECT_NEAR(r.a, want.a, 10 * bound.a);
    EXPECT_NEAR(r.b, want.b, 10 * bound.b);
    EXPECT_NEAR(r.chi2, want.chi2, 10 * bound.chi2);
    // Unweighted, both carry half of chi-square's relative error as well.
    const double spread = 1e-6 + (weighted ? 0 : 5 * bound.chi2 / want.chi2);
    EXPECT_NEAR(r.siga, want.siga, spread * want.siga);
    EXPECT_NEAR(r.sigb, want.sigb, spread * want.sigb);
    if (weighted) {
      EXPECT_NEAR(r.q, boost::math::gamma_q(0.5 * (n - 2), 0.5 * double{r.chi2}), 1e-5);
    } else {
      EXPECT_EQ(r.q, 1.0f);
    }
  }
}

// Centring on the mean abscissa keeps the slope when every x moves far from
// the origin; an uncentred Sxx - Sx²/S would lose about four digits here.
TEST(Fit, ShiftedAbscissaeKeepTheSlope) {
  ts::testing::Source engine(23);
  for (int trial = 0; trial < 20; ++trial) {
    Points near = noisy_line(engine, 40);
    Points far = near;
    const float shift = 1000.0f;
    for (int i = 1; i <= far.n; ++i) far.x[i] = near.x[i] + shift;
    for (bool weighted : {false, true}) {
      const Result r0 = run_fit(near, weighted);
      const Result r1 = run_fit(far, weighted);
      EXPECT_NEAR(r1.b, r0.b, 2e-4 * std::fabs(r0.b) + 1e-4) << trial;
      EXPECT_NEAR(r1.a, r0.a - r0.b * shift, 1e-3 * std::fabs(r0.b * shift)) << trial;
    }
  }
}

TEST(Fit, DegenerateInputsGiveNonFiniteOutputsWithoutReport) {
  Points two(2);
  two.x[1] = 0.0f, two.x[2] = 1.0f;
  two.y[1] = 1.0f, two.y[2] = 4.0f;
  const Result r = run_fit(two, false);
  EXPECT_FLOAT_EQ(r.a, 1.0f);
  EXPECT_FLOAT_EQ(r.b, 3.0f);
  EXPECT_EQ(r.q, 1.0f);
  EXPECT_FALSE(std::isfinite(r.siga));
  EXPECT_FALSE(std::isfinite(r.sigb));

  // A zero uncertainty or a single abscissa: NaN through to q.
  Points p(4);
  for (int i = 1; i <= 4; ++i) {
    p.x[i] = static_cast<float>(i);
    p.y[i] = static_cast<float>(i * i);
    p.sig[i] = 0.5f;
  }
  p.sig[2] = 0.0f;
  EXPECT_TRUE(std::isnan(run_fit(p, true).q));
  p.sig[2] = 0.5f;
  for (int i = 1; i <= 4; ++i) p.x[i] = 3.0f;
  const Result flat = run_fit(p, true);
  EXPECT_TRUE(std::isnan(flat.b));
  EXPECT_TRUE(std::isnan(flat.q));
}

TEST(FitDeathTest, WeightedFitNeedsThreePoints) {
  Points two(2);
  two.x[1] = 0.0f, two.x[2] = 1.0f;
  two.y[1] = 1.0f, two.y[2] = 4.0f;
  two.sig[1] = two.sig[2] = 1.0f;
  EXPECT_EXIT(run_fit(two, true), ::testing::ExitedWithCode(1),
              fatal_report(ts::msg::kGammqInvalidArguments));
}

}  // namespace
