// SPDX-License-Identifier: MIT
// Levenberg-Marquardt fitting: the lambda protocol, held parameters, the
// normal equations and the sum-of-Gaussians model.
#include "tissuesteward/nlfit.h"

#include "support/fatal_report.h"
#include "support/guarded.h"
#include "toolkit/detail/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

using ts::testing::fatal_report;
using ts::testing::Grid;
using ts::testing::Vec;

// y = a1 + a2·x.
void line(float x, float a[], float *y, float dyda[], int) {
  *y = a[1] + a[2] * x;
  dyda[1] = 1.0f;
  dyda[2] = x;
}

// y = a1·x, with the derivative's sign wrong: every step goes uphill.
void uphill(float x, float a[], float *y, float dyda[], int) {
  *y = a[1] * x;
  dyda[1] = -x;
}

// Data, parameters and the caller's matrices of one fit, all 1-based.
struct Fit {
  std::vector<float> x, y, sig;
  std::vector<float> a;
  std::vector<int> ia;
  Grid covar;
  Grid alpha;
  float chisq = -1.0f;
  float lambda = -1.0f;
  ts_model_fn model;

  Fit(int ndata, std::vector<float> start, std::vector<int> flags, ts_model_fn f)
      : x(ndata + 1),
        y(ndata + 1),
        sig(ndata + 1, 1.0f),
        a(start.size() + 2),
        ia(flags.size() + 2),
        covar(static_cast<int>(start.size()), static_cast<int>(start.size())),
        alpha(static_cast<int>(start.size()), static_cast<int>(start.size())),
        model(f) {
    for (std::size_t j = 0; j < start.size(); ++j) {
      a[j + 1] = start[j];
      ia[j + 1] = flags[j];
    }
  }
  int ndata() const { return static_cast<int>(x.size()) - 1; }
  int ma() const { return static_cast<int>(a.size()) - 2; }
  void call(float alamda) {
    lambda = alamda;
    step();
  }
  void step() {
    mrqmin(x.data(), y.data(), sig.data(), ndata(), a.data(), ia.data(), ma(), covar.p(), alpha.p(),
           &chisq, model, &lambda);
  }
};

// y = 1 + 2x at x = 0..4, unit deviations.
Fit exact_line(std::vector<float> start) {
  Fit f(5, std::move(start), {1, 1}, line);
  for (int i = 1; i <= 5; ++i) {
    f.x[i] = static_cast<float>(i - 1);
    f.y[i] = 1.0f + 2.0f * f.x[i];
  }
  return f;
}

float times_tenth(float lambda) { return static_cast<float>(static_cast<double>(lambda) * 0.1); }

TEST(Mrqmin, AcceptedFirstStepDividesLambdaByTenInDouble) {
  Fit f = exact_line({0.0f, 0.0f});
  f.call(-1.0f);
  EXPECT_EQ(f.lambda, times_tenth(0.001f));
  EXPECT_LT(f.chisq, 1e-3f);  // from 165: the damping is only 0.1 %
  EXPECT_NEAR(f.a[1], 1.0f, 1e-2);
  EXPECT_NEAR(f.a[2], 2.0f, 1e-2);
  f.call(0.0f);
  EXPECT_EQ(f.lambda, 0.0f);
}

TEST(Mrqmin, EqualChiSquareIsRejected) {
  Fit f = exact_line({1.0f, 2.0f});  // already at the minimum: chi-square 0
  f.call(-1.0f);
  EXPECT_EQ(f.chisq, 0.0f);
  EXPECT_EQ(f.lambda, 0.001f * 10.0f);
  EXPECT_EQ(f.a[1], 1.0f);
  EXPECT_EQ(f.a[2], 2.0f);
  f.call(0.0f);
}

TEST(Mrqmin, RejectedStepsKeepParametersCurvatureAndChiSquare) {
  Fit f(6, {1.0f}, {1}, uphill);
  for (int i = 1; i <= 6; ++i) {
    f.x[i] = static_cast<float>(i);
    f.y[i] = 2.0f * f.x[i];
  }
  // Chi-square and curvature at the start, straight from mrqcof.
  Grid alpha0(1, 1);
  Vec beta0(1);
  float chisq0 = -1.0f;
  mrqcof(f.x.data(), f.y.data(), f.sig.data(), 6, f.a.data(), f.ia.data(), 1, alpha0.p(), beta0.p(),
         &chisq0, uphill);
  EXPECT_EQ(chisq0, 91.0f);  // Σ (2i - i)², i = 1..6

  f.call(-1.0f);
  float expected = 0.001f * 10.0f;
  for (int k = 0; k < 5; ++k) {
    EXPECT_EQ(f.lambda, expected) << k;
    EXPECT_EQ(f.chisq, chisq0) << k;
    EXPECT_EQ(f.a[1], 1.0f) << k;
    EXPECT_EQ(f.alpha[1][1], alpha0[1][1]) << k;
    f.step();
    expected *= 10.0f;
  }
  f.call(0.0f);
  EXPECT_EQ(f.chisq, chisq0);  // the finishing call changes neither
  EXPECT_EQ(f.a[1], 1.0f);
  EXPECT_EQ(f.alpha[1][1], alpha0[1][1]);
  EXPECT_NEAR(f.covar[1][1], 1.0 / 91.0, 1e-8);  // (Σ x²)⁻¹ with unit deviations
}

// Two Gaussian peaks sampled at ndata points on [0, 10], with optional noise.
Fit two_peaks(const std::vector<float> &truth, const std::vector<float> &start,
              const std::vector<int> &flags, float noise, unsigned seed) {
  const int ndata = 200;
  Fit f(ndata, start, flags, fgauss);
  ts::testing::Source gen(seed);
  std::vector<float> t(truth.begin(), truth.end());
  t.insert(t.begin(), 0.0f);
  std::vector<float> dyda(t.size());
  for (int i = 1; i <= ndata; ++i) {
    f.x[i] = 10.0f * static_cast<float>(i - 1) / static_cast<float>(ndata - 1);
    double model = 0.0;
    for (int p = 1; p + 2 < static_cast<int>(t.size()); p += 3) {
      const double u = (f.x[i] - t[p + 1]) / t[p + 2];
      model += t[p] * std::exp(-u * u);
    }
    f.y[i] = static_cast<float>(model + (noise > 0.0f ? noise * gen.gaussian() : 0.0));
    f.sig[i] = noise > 0.0f ? noise : 1.0f;
  }
  return f;
}

// Steps until chi-square has stopped falling for a while.
void iterate(Fit &f, int max_calls) {
  f.call(-1.0f);
  int quiet = 0;
  float best = f.chisq;
  for (int k = 0; k < max_calls && quiet < 4; ++k) {
    f.step();
    quiet = f.chisq < best * (1.0f - 1e-6f) ? 0 : quiet + 1;
    best = std::min(best, f.chisq);
  }
}

const std::vector<float> kTruth = {3.0f, 3.0f, 1.0f, 2.0f, 6.5f, 1.5f};
const std::vector<float> kStart = {2.5f, 3.4f, 1.3f, 2.4f, 6.0f, 1.2f};

// Over a whole fit, every call either accepts (chi-square falls, lambda/10 in
// double precision, parameters move) or rejects (chi-square reported as
// before, lambda·10, parameters stay).
TEST(Mrqmin, EveryStepFollowsTheLambdaProtocol) {
  Fit f = two_peaks(kTruth, kStart, {1, 1, 1, 1, 1, 1}, 0.05f, 9);
  f.call(-1.0f);
  int accepted = 0, rejected = 0;
  for (int k = 0; k < 40; ++k) {
    const float lambda = f.lambda, chisq = f.chisq;
    const std::vector<float> a = f.a;
    f.step();
    if (f.chisq < chisq) {
      ++accepted;
      EXPECT_EQ(f.lambda, times_tenth(lambda)) << k;
      EXPECT_NE(f.a, a) << k;
    } else {
      ++rejected;
      EXPECT_EQ(f.chisq, chisq) << k;
      EXPECT_EQ(f.lambda, lambda * 10.0f) << k;
      EXPECT_EQ(f.a, a) << k;
    }
  }
  f.call(0.0f);
  EXPECT_GT(accepted, 3);
  EXPECT_GT(rejected, 0);
}

TEST(Mrqmin, RecoversTwoNoisyPeaks) {
  for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
    SCOPED_TRACE(seed);
    Fit f = two_peaks(kTruth, kStart, {1, 1, 1, 1, 1, 1}, 0.05f, seed);
    iterate(f, 200);
    const float chisq = f.chisq;
    f.call(0.0f);
    const double dof = f.ndata() - 6;
    EXPECT_GT(chisq, 0.7 * dof);
    EXPECT_LT(chisq, 1.3 * dof);
    for (int j = 1; j <= 6; ++j) {
      const double sd = std::sqrt(f.covar[j][j]);
      EXPECT_GT(sd, 0.0);
      EXPECT_NEAR(f.a[j], kTruth[j - 1], 5.0 * sd) << "parameter " << j;
      for (int k = 1; k <= 6; ++k) {
        EXPECT_NEAR(f.covar[j][k], f.covar[k][j], 1e-3 * std::fabs(f.covar[j][k]));
      }
    }
    EXPECT_TRUE(f.covar.guards_intact());
    EXPECT_TRUE(f.alpha.guards_intact());
  }
}

TEST(Mrqmin, HeldParametersKeepTheirValueAndGetZeroCovariance) {
  // Hold the first peak's width (wrong on purpose) and the second centre.
  std::vector<float> start = kStart;
  start[2] = 0.9f;
  Fit f = two_peaks(kTruth, start, {1, 1, 0, 1, 0, 1}, 0.0f, 0);
  iterate(f, 100);
  EXPECT_EQ(f.a[3], 0.9f);
  EXPECT_EQ(f.a[5], 6.0f);
  // alpha holds the packed 4×4 curvature; nothing past it is written.
  for (int j = 1; j <= 6; ++j) {
    for (int k = 1; k <= 6; ++k) {
      if (j > 4 || k > 4) {
        EXPECT_TRUE(ts::testing::is_guard(f.alpha[j][k])) << j << "," << k;
      }
    }
  }
  std::vector<double> packed_alpha(16);
  for (int j = 1; j <= 4; ++j)
    for (int k = 1; k <= 4; ++k) packed_alpha[(j - 1) * 4 + k - 1] = f.alpha[j][k];

  f.call(0.0f);
  for (int j = 1; j <= 6; ++j) {
    EXPECT_EQ(f.covar[3][j], 0.0f);
    EXPECT_EQ(f.covar[j][3], 0.0f);
    EXPECT_EQ(f.covar[5][j], 0.0f);
    EXPECT_EQ(f.covar[j][5], 0.0f);
  }
  // The fitted block, spread over positions 1, 2, 4, 6, inverts the curvature.
  const int pos[] = {1, 2, 4, 6};
  for (int j = 0; j < 4; ++j)
    for (int k = 0; k < 4; ++k) {
      double s = 0.0;
      for (int l = 0; l < 4; ++l) s += packed_alpha[j * 4 + l] * f.covar[pos[l]][pos[k]];
      EXPECT_NEAR(s, j == k ? 1.0 : 0.0, 1e-3) << j << "," << k;
    }
}

TEST(Mrqmin, SecondStartAbandonsTheOpenFit) {
  // A one-parameter fit left open, then a six-parameter one: the state must
  // be allocated anew for the larger fit (the sanitizer build also checks
  // that the abandoned state is released).
  Fit small = exact_line({0.0f, 0.0f});
  small.call(-1.0f);
  small.step();
  Fit f = two_peaks(kTruth, kStart, {1, 1, 1, 1, 1, 1}, 0.0f, 0);
  iterate(f, 100);
  f.call(0.0f);
  for (int j = 1; j <= 6; ++j) EXPECT_NEAR(f.a[j], kTruth[j - 1], 1e-3);
}

// --- mrqcof --------------------------------------------------------------------

TEST(Mrqcof, PackedCurvatureAndGradientMatchDoublePrecision) {
  // Every kind of derivative (amplitude, centre, width) among the fitted.
  Fit f = two_peaks(kTruth, kStart, {1, 0, 1, 1, 1, 0}, 0.1f, 11);
  const int ma = 6, mfit = 4;
  Grid alpha(ma, ma);
  Vec beta(ma);
  float chisq = -1.0f;
  mrqcof(f.x.data(), f.y.data(), f.sig.data(), f.ndata(), f.a.data(), f.ia.data(), ma, alpha.p(),
         beta.p(), &chisq, fgauss);

  // Independent route: analytic derivatives of the Gaussians in double.
  const int fitted[] = {1, 3, 4, 5};
  std::vector<double> want_alpha(16, 0.0), want_beta(4, 0.0);
  double want_chisq = 0.0;
  for (int i = 1; i <= f.ndata(); ++i) {
    double model = 0.0, d[7] = {};
    for (int p = 1; p <= 4; p += 3) {
      const double amp = f.a[p], centre = f.a[p + 1], width = f.a[p + 2];
      const double u = (f.x[i] - centre) / width, e = std::exp(-u * u);
      model += amp * e;
      d[p] = e;
      d[p + 1] = 2.0 * amp * e * u / width;
      d[p + 2] = 2.0 * amp * e * u * u / width;
    }
    const double w = 1.0 / (double(f.sig[i]) * f.sig[i]), r = f.y[i] - model;
    want_chisq += r * r * w;
    for (int j = 0; j < 4; ++j) {
      want_beta[j] += d[fitted[j]] * r * w;
      for (int k = 0; k < 4; ++k) want_alpha[j * 4 + k] += d[fitted[j]] * d[fitted[k]] * w;
    }
  }
  EXPECT_NEAR(chisq, want_chisq, 1e-4 * want_chisq);
  for (int j = 1; j <= mfit; ++j) {
    EXPECT_NEAR(beta[j], want_beta[j - 1], 1e-4 * std::fabs(want_beta[j - 1]) + 1e-2);
    for (int k = 1; k <= mfit; ++k) {
      EXPECT_EQ(alpha[j][k], alpha[k][j]);
      const double want = want_alpha[(j - 1) * 4 + k - 1];
      EXPECT_NEAR(alpha[j][k], want, 1e-4 * std::fabs(want) + 1e-2) << j << "," << k;
    }
  }
  // Only the packed block and beta[1..mfit] are written.
  for (int j = 1; j <= ma; ++j) {
    for (int k = 1; k <= ma; ++k) {
      if (j > mfit || k > mfit) {
        EXPECT_TRUE(ts::testing::is_guard(alpha[j][k])) << j << "," << k;
      }
    }
    if (j > mfit) {
      EXPECT_TRUE(ts::testing::is_guard(beta[j])) << j;
    }
  }
  EXPECT_TRUE(alpha.guards_intact());
  EXPECT_TRUE(beta.guards_intact());
}

// --- fgauss --------------------------------------------------------------------

TEST(Fgauss, AtTheCentreGivesTheAmplitude) {
  float a[] = {0.0f, 2.5f, 1.25f, 0.75f};
  Vec dyda(3);
  float y = -1.0f;
  fgauss(1.25f, a, &y, dyda.p(), 3);
  EXPECT_EQ(y, 2.5f);
  EXPECT_EQ(dyda[1], 1.0f);
  EXPECT_EQ(dyda[2], 0.0f);
  EXPECT_EQ(dyda[3], 0.0f);
  EXPECT_TRUE(dyda.guards_intact());
}

// --- protocol guards ---------------------------------------------------------------

// Leaves no fit open, whatever earlier tests did in this process.
void close_any_fit() {
  Fit f = exact_line({0.0f, 0.0f});
  f.call(-1.0f);
  f.call(0.0f);
}

void call_without_start(float alamda) {
  ts::testing::ignore_leaks_of_fatal_path();
  close_any_fit();
  Fit f = exact_line({0.0f, 0.0f});
  f.call(alamda);
}

void step_after_finish() {
  ts::testing::ignore_leaks_of_fatal_path();
  Fit f = exact_line({0.0f, 0.0f});
  f.call(-1.0f);
  f.call(0.0f);
  f.call(0.1f);
}

TEST(MrqminDeathTest, StepOrFinishWithoutAStartIsRefused) {
  const std::string refused = "^" + fatal_report(ts::msg::kMrqminNotStarted);
  EXPECT_EXIT(call_without_start(0.001f), ::testing::ExitedWithCode(1), refused);
  EXPECT_EXIT(call_without_start(0.0f), ::testing::ExitedWithCode(1), refused);
  EXPECT_EXIT(step_after_finish(), ::testing::ExitedWithCode(1), refused);
}

void fit_singular_curvature() {
  ts::testing::ignore_leaks_of_fatal_path();
  // Every derivative of the second parameter is zero: the curvature is singular.
  Fit f(3, {1.0f, 1.0f}, {1, 1}, [](float x, float a[], float *y, float dyda[], int) {
    *y = a[1] * x;
    dyda[1] = x;
    dyda[2] = 0.0f;
  });
  for (int i = 1; i <= 3; ++i) f.x[i] = f.y[i] = static_cast<float>(i);
  f.call(-1.0f);
}

TEST(MrqminDeathTest, SingularCurvatureIsReportedByTheSolver) {
  EXPECT_EXIT(fit_singular_curvature(), ::testing::ExitedWithCode(1),
              "^" + fatal_report(ts::msg::kGaussjSingular2));
}

}  // namespace
