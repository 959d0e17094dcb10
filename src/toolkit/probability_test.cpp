// SPDX-License-Identifier: MIT
// Probability conversions: documented values (exact floats), agreement with
// Boost.Math's t and F distributions on seeded arguments, and the reach and
// resolution of the fixed 25-move search.
#include "tissuesteward/probability.h"

#include "support/source.h"

#include <gtest/gtest.h>
#include <boost/math/distributions/fisher_f.hpp>
#include <boost/math/distributions/students_t.hpp>
#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/digamma.hpp>

#include <algorithm>
#include <cmath>

namespace {

using ts::testing::Source;
namespace bm = boost::math;

constexpr double kUnitRoundoff = 0x1p-24;
constexpr int kSamples = 3000;

// Error allowed in betai(a, b, x) when x itself is off by a few roundings of
// single precision: betai's own bound (see the special-function tests) plus
// the slope of I_x(a, b) times three half-ulps of x.
double betai_bound(double a, double b, double x) {
  const double own = kUnitRoundoff * (a + b) * std::fabs(bm::digamma(a + b)) + 3e-7;
  return own + 3 * kUnitRoundoff * x * bm::ibeta_derivative(a, b, x);
}

// Two-sided tail of Student's t with df degrees of freedom.
double t_tail(double t, double df) {
  return 2 * bm::cdf(bm::complement(bm::students_t(df), std::fabs(t)));
}
double t_quantile(double p, double df) {
  return bm::quantile(bm::complement(bm::students_t(df), p / 2));
}

// How close 25 moves get: ceil(distance / step) moves to reach the target
// (a first move down halves the step at once), then at most two moves per
// halving.
double search_bound(double target, double start, double step) {
  const double reach = target >= start
                           ? std::ceil((target - start) / step)
                           : 1 + std::ceil(std::max(0.0, start - step - target) / (step / 2));
  return step * std::exp2(-(25 - reach) / 2);
}

TEST(TToP, KnownValueBothSignsAndZeroDof) {
  // 0.050011776, the float nearest the exact tail 0.05001177812 (often
  // printed to seven digits as 0.05001178, which as a float is one ulp higher).
  EXPECT_EQ(t_to_p(2.228f, 10), 0x1.99b24cp-5f);
  EXPECT_EQ(t_to_p(-2.228f, 10), 0x1.99b24cp-5f);
  EXPECT_EQ(t_to_p(0.0f, 10), 1.0f);
  EXPECT_TRUE(std::isnan(t_to_p(1.0f, 0)));
}

TEST(TToP, AgreesWithBoost) {
  Source draw(11);
  for (int i = 0; i < kSamples; ++i) {
    const unsigned long df = draw.between(1, 60);
    const float t = static_cast<float>(draw.uniform(-6.0, 6.0));
    const double d = static_cast<double>(df);
    const double x = d / (double{t} * t + d);
    ASSERT_NEAR(t_to_p(t, df), t_tail(t, d), betai_bound(d / 2, 0.5, x)) << t << " " << df;
  }
}

TEST(FToP, ClosedFormCases) {
  EXPECT_EQ(F_to_p(1.0f, 5, 5), 0.5f);
  EXPECT_EQ(F_to_p(0.0f, 5, 5), 1.0f);
  EXPECT_EQ(F_to_p(-1.0f, 5, 5), 0.0f);
}

// Upper tail; the first shape parameter comes from the denominator, which the
// unequal degrees of freedom here would expose.
TEST(FToP, AgreesWithBoost) {
  Source draw(12);
  for (int i = 0; i < kSamples; ++i) {
    const unsigned long d1 = draw.between(1, 30), d2 = draw.between(1, 30);
    const float F = static_cast<float>(draw.uniform(0.0, 12.0));
    const double want = bm::cdf(bm::complement(bm::fisher_f(d1, d2), double{F}));
    const double x = d2 / (double{F} * d1 + d2);
    ASSERT_NEAR(F_to_p(F, d1, d2), want, betai_bound(d2 / 2.0, d1 / 2.0, x))
        << F << " " << d1 << " " << d2;
  }
}

TEST(RToP, KnownValueAndEdges) {
  EXPECT_EQ(r_to_p(0.5f, 10), 0.14111327f);
  EXPECT_EQ(r_to_p(-0.5f, 10), 0.14111327f);
  EXPECT_EQ(r_to_p(0.0f, 10), 1.0f);
  EXPECT_EQ(r_to_p(1.0f, 10), 0.0f);
  EXPECT_EQ(r_to_p(-1.0f, 10), 0.0f);  // through the guarded general path
  EXPECT_EQ(r_to_p(0.5f, 0), 1.0f);
  EXPECT_EQ(r_to_p(0.5f, 1), 1.0f);
}

// r from n pairs is t = r √((n-2)/(1-r²)) with n - 2 degrees of freedom.
TEST(RToP, AgreesWithBoost) {
  Source draw(13);
  for (int i = 0; i < kSamples; ++i) {
    const unsigned long n = draw.between(3, 60);
    const float r = static_cast<float>(draw.uniform(-0.99, 0.99));
    const double df = static_cast<double>(n - 2);
    const double t = r * std::sqrt(df / (1 - double{r} * r));
    const double x = df / (t * t + df);
    ASSERT_NEAR(r_to_p(r, n), t_tail(t, df), betai_bound(df / 2, 0.5, x)) << r << " " << n;
  }
}

TEST(Inverse, KnownQuantiles) {
  EXPECT_EQ(p_to_t(0.05f, 10), 2.2281418f);
  EXPECT_EQ(p_to_t(0.01f, 10), 3.1692657f);
  EXPECT_EQ(p_to_F(0.05f, 5, 10), 3.3256836f);
  // Its walk lands on r = 1 exactly (0.4 + 3 × 0.2 in single precision).
  EXPECT_EQ(p_to_r(0.05f, 10), 0.631894f);
}

// A target no probability exceeds sends every move upward: start + 25 steps.
TEST(Inverse, TopOfRange) {
  EXPECT_EQ(p_to_t(0.0f, 10), 54.0f);
  EXPECT_EQ(p_to_t(-1.0f, 3), 54.0f);
  EXPECT_EQ(p_to_F(0.0f, 4, 7), 60.0f);
  EXPECT_NEAR(p_to_r(0.0f, 10), 5.4f, 1e-5);  // passes r = 1, where r_to_p is NaN
}

TEST(Inverse, AgreesWithBoostWithinTheSearchResolution) {
  Source draw(14);
  for (int i = 0; i < kSamples; ++i) {
    const float p = static_cast<float>(draw.uniform(0.001, 0.6));
    const unsigned long df = draw.between(1, 60);
    const double t = t_quantile(p, df);
    if (t < 40) {
      ASSERT_NEAR(p_to_t(p, df), t, search_bound(t, 4, 2)) << p << " " << df;
    }
    const unsigned long d1 = draw.between(1, 30), d2 = draw.between(1, 30);
    const double F = bm::quantile(bm::complement(bm::fisher_f(d1, d2), double{p}));
    if (F < 45) {
      ASSERT_NEAR(p_to_F(p, d1, d2), F, search_bound(F, 10, 2)) << p << " " << d1 << " " << d2;
    }
    const unsigned long n = draw.between(3, 60);
    const double tr = t_quantile(p, static_cast<double>(n - 2));
    const double r = tr / std::sqrt(static_cast<double>(n - 2) + tr * tr);
    ASSERT_NEAR(p_to_r(p, n), r, search_bound(r, 0.4, 0.2)) << p << " " << n;
  }
}

TEST(PToZ, KnownValuesAndUpperEnd) {
  EXPECT_EQ(p_to_z(0.0f), 0.0f);
  EXPECT_EQ(p_to_z(0.5f), 1.6651093f);
  EXPECT_EQ(p_to_z(0.95f), 3.4616368f);
  EXPECT_EQ(p_to_z(1.0f), 7.9855833f);  // taken as 1 - 2^-23
  EXPECT_EQ(p_to_z(std::nextafter(1.0f, 0.0f)), 8.157336f);
}

// 2 √(-ln(1 - p)), with 1 - p rounded as the routine rounds it. Rounding
// s = x² shifts ln s by up to 2^-24, which moves z by up to 2^-24 / z; the
// logarithm, root and products add a few ulps of z.
TEST(PToZ, IsTwiceRootOfMinusLogOneMinusP) {
  Source draw(15);
  for (int i = 0; i < kSamples; ++i) {
    const float p = static_cast<float>(draw.uniform(0.0, 1.0));
    const double x = 1.0f - p;
    const double want = 2 * std::sqrt(-std::log(x));
    ASSERT_NEAR(p_to_z(p), want, kUnitRoundoff * (4 * want + 1 / want)) << p;
  }
}

}  // namespace
