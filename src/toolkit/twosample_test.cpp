// SPDX-License-Identifier: MIT
// Two-sample statistics against double-precision closed forms.
#include "tissuesteward/twosample.h"

#include "support/guarded.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace {

using ts::testing::one_based;

struct Moments {
  double mean, var;
};

Moments moments(const std::vector<float> &v) {
  double mean = 0, var = 0;
  for (float x : v) mean += x;
  mean /= v.size();
  for (float x : v) var += (x - mean) * (x - mean);
  return {mean, var / (v.size() - 1)};
}

std::vector<float> normal_sample(std::size_t n, float mean, float sd, unsigned seed) {
  ts::testing::Source rng(seed);
  std::vector<float> v(n);
  for (float &x : v) x = static_cast<float>(mean + sd * rng.gaussian());
  return v;
}

TEST(Avevar, MeanAndUnbiasedVariance) {
  auto a = one_based({1, 2, 3, 4});
  float mean = 0, var = 0;
  avevar(a.p(), 4, &mean, &var);
  EXPECT_EQ(mean, 2.5f);
  EXPECT_EQ(var, 1.6666666f);

  // A large offset: the compensation term keeps the variance accurate.
  const std::vector<float> v = normal_sample(5000, 1000.0f, 0.5f, 1);
  auto b = one_based(v);
  avevar(b.p(), v.size(), &mean, &var);
  const Moments m = moments(v);
  EXPECT_NEAR(mean, m.mean, 1e-6 * m.mean);
  EXPECT_NEAR(var, m.var, 1e-3 * m.var);
  EXPECT_TRUE(b.guards_intact());

  // Here the mean's rounding error matters: the compensated variance is the
  // float nearest the exact one; without the correction it is 16 ulp high.
  const std::vector<float> offset = {12345.849609375f, 12346.099609375f, 12345.599609375f,
                                     12346.099609375f, 12345.349609375f};
  auto c = one_based(offset);
  avevar(c.p(), offset.size(), &mean, &var);
  EXPECT_EQ(var, static_cast<float>(moments(offset).var));

  auto single = one_based({3});
  avevar(single.p(), 1, &mean, &var);
  EXPECT_EQ(mean, 3.0f);
  EXPECT_TRUE(std::isnan(var));
}

TEST(TTests, ZeroVarianceGivesZeroAndTheSlotIsNeverUsed) {
  auto a = one_based({2, 2, 2});
  auto b = one_based({5, 5});
  float t = 9, slot = -7;
  tutest(a.p(), 3, b.p(), 2, &t, &slot);
  EXPECT_EQ(t, 0.0f);
  t = 9;
  ttest(a.p(), 3, b.p(), 2, &t, &slot);
  EXPECT_EQ(t, 0.0f);
  auto c = one_based({1, 2, 3, 4});
  tutest(c.p(), 4, b.p(), 2, &t, &slot);  // one variance 0 is used as it is
  EXPECT_NEAR(t, (2.5 - 5) / std::sqrt(5.0 / 3 / 4), 1e-6);
  EXPECT_EQ(slot, -7.0f);
}

TEST(TTests, AgreeWithDoublePrecisionForms) {
  for (unsigned seed = 1; seed <= 5; ++seed) {
    const std::vector<float> x = normal_sample(20 + 7 * seed, 3.0f, 1.0f, seed);
    const std::vector<float> y = normal_sample(30 + seed, 3.4f, 0.3f * seed, 100 + seed);
    const Moments mx = moments(x), my = moments(y);
    const double nx = x.size(), ny = y.size();
    const double welch_se = std::sqrt(mx.var / nx + my.var / ny);
    const double welch = (mx.mean - my.mean) / welch_se;
    const double pooled_var = ((nx - 1) * mx.var + (ny - 1) * my.var) / (nx + ny - 2);
    const double pooled_se = std::sqrt(pooled_var * (1 / nx + 1 / ny));
    const double pooled = (mx.mean - my.mean) / pooled_se;
    // The float means carry an error relative to their own size, which their
    // difference keeps: the bound scales with the means, not with t.
    const double means = std::fabs(mx.mean) + std::fabs(my.mean);
    auto a = one_based(x), b = one_based(y);
    float t = 0, slot = 0;
    tutest(a.p(), x.size(), b.p(), y.size(), &t, &slot);
    EXPECT_NEAR(t, welch, 1e-6 * means / welch_se);
    ttest(a.p(), x.size(), b.p(), y.size(), &t, &slot);
    EXPECT_NEAR(t, pooled, 1e-6 * means / pooled_se);
    EXPECT_TRUE(a.guards_intact() && b.guards_intact());
  }
}

// The largest gap between the two empirical distribution functions, taken
// over every value of either sample.
double ks_distance(const std::vector<float> &x, const std::vector<float> &y) {
  double d = 0;
  for (const auto *sample : {&x, &y})
    for (float v : *sample) {
      const double fx = std::count_if(x.begin(), x.end(), [&](float e) { return e <= v; });
      const double fy = std::count_if(y.begin(), y.end(), [&](float e) { return e <= v; });
      d = std::max(d, std::fabs(fx / x.size() - fy / y.size()));
    }
  return d;
}

TEST(Kstwo, LargestGapBetweenDistributionFunctions) {
  const std::vector<std::vector<float>> firsts = {{3, 1, 2}, {2, 1}, {1, 2}, {}};
  const std::vector<std::vector<float>> seconds = {{2, 3, 1}, {4, 3}, {3, 2}, {1}};
  const std::vector<float> expected = {0, 1, 0.5f, 0};  // 0.5: a shared value moves both cursors
  for (std::size_t c = 0; c < firsts.size(); ++c) {
    auto a = one_based(firsts[c]), b = one_based(seconds[c]);
    float d = -1, slot = -7;
    kstwo(a.p(), a.size(), b.p(), b.size(), &d, &slot);
    EXPECT_EQ(d, expected[c]) << c;
    EXPECT_EQ(slot, -7.0f);
    const std::vector<float> sorted = a.values();
    EXPECT_TRUE(std::is_sorted(sorted.begin(), sorted.end()));
  }

  // Values shared between the samples, none repeated within one: with
  // repeats on both sides the walk also measures gaps inside a run of equal
  // values, which is how D is defined here but not the distance above.
  ts::testing::Source rng(4);
  for (int round = 0; round < 20; ++round) {
    std::vector<float> x, y;
    for (int v = 0; v < 60; ++v) {
      if (rng.below(3) == 0) x.push_back(static_cast<float>(v));
      if (rng.below(4) == 0) y.push_back(static_cast<float>(v + round % 5));
    }
    rng.shuffle(x);
    rng.shuffle(y);
    auto a = one_based(x), b = one_based(y);
    float d = 0, slot = 0;
    kstwo(a.p(), x.size(), b.p(), y.size(), &d, &slot);
    EXPECT_NEAR(d, ks_distance(x, y), 1e-6);
    const std::vector<float> sorted_a = a.values(), sorted_b = b.values();
    EXPECT_TRUE(std::is_sorted(sorted_a.begin(), sorted_a.end()));
    EXPECT_TRUE(std::is_sorted(sorted_b.begin(), sorted_b.end()));
    EXPECT_TRUE(a.guards_intact() && b.guards_intact());
  }
}

// A NaN stops both cursors of the walk, which once never ended. D comes out
// NaN once the walk reaches the NaN; the slot is left alone.
TEST(Kstwo, NaNEndsTheWalk) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::vector<std::pair<std::vector<float>, std::vector<float>>> cases = {
      {{0, nan}, {0, 0}}, {{nan}, {1}}, {{1, 2, 3}, {nan, 2, nan}}, {{nan, nan}, {nan}}};
  for (const auto &[first, second] : cases) {
    auto a = one_based(first), b = one_based(second);
    float d = 0, slot = -7;
    kstwo(a.p(), a.size(), b.p(), b.size(), &d, &slot);
    EXPECT_TRUE(std::isnan(d)) << first.size() << " " << second.size();
    EXPECT_EQ(slot, -7.0f);
    EXPECT_TRUE(a.guards_intact() && b.guards_intact());
  }
}

TEST(Probks, KnownValuesAndTermLimits) {
  EXPECT_EQ(probks(0.0f), 1.0f);               // terms +-2 forever
  EXPECT_EQ(probks(0.02f), 1.0f);              // 100 terms without settling
  EXPECT_EQ(probks(0.05f), 0.99999994f);       // settles at term 62
  EXPECT_NEAR(probks(1.0f), 0.2699997, 5e-8);  // to seven places
  EXPECT_EQ(probks(10.0f), 0.0f);              // first term underflows
}

TEST(Probks, AgreesWithTheSeriesInDoublePrecision) {
  for (double lambda = 0.2; lambda <= 3.0; lambda += 0.05) {
    double q = 0;
    for (int j = 1; j <= 200; ++j)
      q += 2 * (j % 2 ? 1 : -1) * std::exp(-2.0 * j * j * lambda * lambda);
    EXPECT_NEAR(probks(static_cast<float>(lambda)), q, 1e-6) << lambda;
  }
}

}  // namespace
