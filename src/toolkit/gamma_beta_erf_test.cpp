// SPDX-License-Identifier: MIT
// Special functions: documented values, agreement with Boost.Math and the
// standard library on seeded arguments, the series/fraction switch, and the
// fatal reports.
#include "tissuesteward/gamma_beta_erf.h"

#include "support/fatal_report.h"
#include "support/source.h"
#include "toolkit/detail/messages.h"

#include <gtest/gtest.h>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/digamma.hpp>
#include <boost/math/special_functions/gamma.hpp>

#include <cmath>
#include <limits>

namespace {

using ts::testing::fatal_report;
using ts::testing::Source;

constexpr double kUnitRoundoff = 0x1p-24;  // half an ulp of 1 in single precision
constexpr int kSamples = 20000;

TEST(Gammln, ClosedFormCases) {
  EXPECT_NEAR(gammln(1.0), 0.0, 1e-15);
  EXPECT_NEAR(gammln(2.0), 0.0, 1e-15);
  EXPECT_NEAR(gammln(0.5), 0.5723649429247, 1e-13);      // ln √π
  EXPECT_NEAR(gammln(10.0), 12.801827480081469, 1e-12);  // ln 9!
}

// The six-term series stays within 1e-12 of lgamma, relative to max(1, |ln Γ|),
// from 1e-3 to 1e3 (largest seen: 4.1e-13).
TEST(Gammln, AgreesWithLgamma) {
  Source draw(1);
  for (int i = 0; i < kSamples; ++i) {
    const double x = std::exp(draw.uniform(std::log(1e-3), std::log(1e3)));
    const double want = std::lgamma(x);
    ASSERT_NEAR(gammln(x), want, 1e-12 * std::fmax(1.0, std::fabs(want))) << "x=" << x;
  }
}

TEST(Gammq, ClosedFormCases) {
  EXPECT_NEAR(gammq(1.0f, 1.0f), std::exp(-1.0), 1e-6);        // series
  EXPECT_NEAR(gammq(3.0f, 2.0f), 5.0 * std::exp(-2.0), 1e-6);  // series
  EXPECT_NEAR(gammq(2.0f, 5.0f), 6.0 * std::exp(-5.0), 1e-6);  // continued fraction
  EXPECT_NEAR(gammq(0.5f, 0.5f), std::erfc(std::sqrt(0.5)), 1e-6);
  for (float a : {0.25f, 1.0f, 7.5f, 300.0f}) EXPECT_EQ(gammq(a, 0.0f), 1.0f) << a;
}

// Both expansions keep ln Γ(a) in single precision, which scales the result by
// up to exp(2^-24 |ln Γ(a)|); beyond that the error stays under 2e-7 (bound 4e-7).
TEST(Gammq, AgreesWithBoost) {
  Source draw(2);
  for (int i = 0; i < kSamples; ++i) {
    const float a = static_cast<float>(draw.uniform(0.05, 60.0));
    const float x = static_cast<float>(draw.uniform(0.0, 120.0));
    const double want = boost::math::gamma_q(double{a}, double{x});
    const double bound = kUnitRoundoff * std::fabs(std::lgamma(double{a})) + 4e-7;
    ASSERT_NEAR(gammq(a, x), want, bound) << "a=" << a << " x=" << x;
  }
}

TEST(Gammq, SeriesBelowAPlusOneFractionFromThere) {
  float p = 0, q = 0, gln = 0;
  auto series = [&](float a, float x) {
    gser(&p, a, x, &gln);
    return 1.0f - p;
  };
  auto fraction = [&](float a, float x) {
    gcf(&q, a, x, &gln);
    return q;
  };
  // At x = a + 1 the two expansions differ in the last bits: the fraction wins.
  ASSERT_NE(series(2.0f, 3.0f), fraction(2.0f, 3.0f));
  EXPECT_EQ(gammq(2.0f, 3.0f), fraction(2.0f, 3.0f));
  EXPECT_EQ(gammq(2.0f, std::nextafter(3.0f, 0.0f)), series(2.0f, std::nextafter(3.0f, 0.0f)));
  // a + 1 is compared in double: rounded to float it would equal x here.
  for (float a : {1.0f + 0x1p-23f, 3.0f + 0x1p-22f}) {
    const float x = std::nearbyint(a) + 1.0f;
    ASSERT_EQ(a + 1.0f, x);
    ASSERT_NE(series(a, x), fraction(a, x));
    EXPECT_EQ(gammq(a, x), series(a, x)) << a;
  }
}

TEST(Gammq, NonFiniteArgumentsAreNotIterated) {
  const float inf = std::numeric_limits<float>::infinity();
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_EQ(gammq(3.0f, inf), 0.0f);
  EXPECT_TRUE(std::isnan(gammq(3.0f, nan)));
  EXPECT_TRUE(std::isnan(gammq(nan, 2.0f)));
}

// A tiny a once overflowed 1/a in the series: -inf, a negative probability or
// a false convergence report. Each is now a probability, near boost's within
// the error that the single precision ln Γ(a) allows.
TEST(Gammq, TinyShapeGivesAProbability) {
  for (float a : {0x1p-149f, 1e-40f, 3e-39f, 1e-30f, 1e-20f, 1e-7f})
    for (float x : {0.0f, 1e-30f, 1e-3f, 0.5f, 1.0f, 3.0f, 100.0f}) {
      const float q = gammq(a, x);
      ASSERT_TRUE(q >= 0.0f && q <= 1.0f) << "a=" << a << " x=" << x << " q=" << q;
      const double want = boost::math::gamma_q(double{a}, double{x});
      const double bound = kUnitRoundoff * std::fabs(std::lgamma(double{a})) + 4e-7;
      EXPECT_NEAR(q, want, bound) << "a=" << a << " x=" << x;
    }
}

TEST(Gser, ZeroXWritesZeroAndLogGamma) {
  float p = -1.0f, gln = 0.0f;
  gser(&p, 4.0f, 0.0f, &gln);
  EXPECT_EQ(p, 0.0f);
  EXPECT_EQ(gln, static_cast<float>(gammln(4.0)));
  float q = -1.0f;
  gln = 0.0f;
  gcf(&q, 0.5f, 3.0f, &gln);
  EXPECT_EQ(gln, static_cast<float>(gammln(0.5)));
}

TEST(GammaDeathTest, FatalReports) {
  using ::testing::ExitedWithCode;
  EXPECT_EXIT(gammq(1.0f, -0.5f), ExitedWithCode(1), fatal_report(ts::msg::kGammqInvalidArguments));
  EXPECT_EXIT(gammq(0.0f, 1.0f), ExitedWithCode(1), fatal_report(ts::msg::kGammqInvalidArguments));
  EXPECT_EXIT(gammq(-2.0f, 1.0f), ExitedWithCode(1), fatal_report(ts::msg::kGammqInvalidArguments));
  float r = 0, gln = 0;
  EXPECT_EXIT(gser(&r, 2.0f, -1.0f, &gln), ExitedWithCode(1),
              fatal_report(ts::msg::kGserNegativeX));
  // Near x = a the terms shrink too slowly once a reaches the thousands.
  EXPECT_EXIT(gammq(1000.0f, 1000.0f), ExitedWithCode(1),
              fatal_report(ts::msg::kGserNoConvergence));
  EXPECT_EXIT(gammq(10000.0f, 10001.0f), ExitedWithCode(1),
              fatal_report(ts::msg::kGcfNoConvergence));
}

TEST(Betai, ClosedFormCasesAndEnds) {
  EXPECT_NEAR(betai(2.0f, 3.0f, 0.4f), 0.5248, 1e-6);
  EXPECT_NEAR(betai(0.5f, 0.5f, 0.5f), 0.5, 1e-6);
  EXPECT_EQ(betai(2.0f, 3.0f, 0.0f), 0.0f);
  EXPECT_EQ(betai(2.0f, 3.0f, 1.0f), 1.0f);
  EXPECT_EQ(betai(0.3f, 40.0f, 1.0f), 1.0f);
  EXPECT_EQ(betai(2.0f, 3.0f, -0.5f), 0.0f);  // outside [0, 1]: 0, no report
  EXPECT_EQ(betai(2.0f, 3.0f, 1.5f), 0.0f);
}

// The prefactor uses ln Γ(a + b) of the single precision sum a + b, off by up
// to 2^-24 (a + b) |ψ(a + b)| in the exponent; beyond that the error stays
// under 7e-8 (bound 3e-7). Both branches (x below and above (a+1)/(a+b+2)) are hit.
TEST(Betai, AgreesWithBoost) {
  Source draw(3);
  for (int i = 0; i < kSamples; ++i) {
    const float a = static_cast<float>(draw.uniform(0.1, 60.0));
    const float b = static_cast<float>(draw.uniform(0.1, 60.0));
    const float x = static_cast<float>(draw.uniform(0.0, 1.0));
    const double sum = double{a} + double{b};
    const double want = boost::math::ibeta(double{a}, double{b}, double{x});
    const double bound = kUnitRoundoff * sum * std::fabs(boost::math::digamma(sum)) + 3e-7;
    ASSERT_NEAR(betai(a, b, x), want, bound) << "a=" << a << " b=" << b << " x=" << x;
  }
}

// Shapes far outside the accurate range, tiny or huge, still give a number
// in [0, 1] (huge shapes once gave -inf).
TEST(Betai, ExtremeShapesStayProbabilities) {
  for (float a : {0x1p-149f, 1e-40f, 1e-30f, 1.0f, 1e10f, 1e30f, 3e38f})
    for (float b : {1e-40f, 1.0f, 1e30f, 3e38f})
      for (float x : {0.0f, 1e-30f, 0.5f, 0.999999f, 1.0f}) {
        const float p = betai(a, b, x);
        EXPECT_TRUE(p >= 0.0f && p <= 1.0f) << "a=" << a << " b=" << b << " x=" << x;
      }
}

TEST(Betacf, ReturnsSilentlyWithoutConvergence) {
  // Shape parameters in the millions need far more than 100 steps.
  const float h = betacf(4e6, 4e6, 0.5);
  EXPECT_TRUE(std::isfinite(h));
}

TEST(Erfcc, KnownValues) {
  EXPECT_EQ(erfcc(0.0f), 1.0f);
  EXPECT_EQ(erfcc(1.0f), 0.15729922f);
  EXPECT_EQ(erfcc(-1.0f), 1.8427007f);
}

// The fitted form is good to 1.2e-7 relative; the single precision square
// -z·z adds up to 2^-24 z² to the exponent. Measured excess under 2.3e-7.
// For x < 0 the value 2 - erfc(|x|) is compared absolutely.
TEST(Erfcc, AgreesWithStdErfcAndReflects) {
  Source draw(5);
  for (int i = 0; i < kSamples; ++i) {
    const float x = static_cast<float>(draw.uniform(-9.0, 9.0));
    const double want = std::erfc(double{x});
    const float got = erfcc(x);
    if (x < 0.0f) {
      ASSERT_NEAR(got, want, 3e-7) << x;
      continue;
    }
    ASSERT_NEAR(got, want, want * (3e-7 + kUnitRoundoff * x * x)) << x;
    // Reflection holds one way only: 2 - erfcc(x) loses erfcc(x)'s low bits.
    ASSERT_EQ(erfcc(-x), static_cast<float>(2.0 - got)) << x;
  }
}

}  // namespace
