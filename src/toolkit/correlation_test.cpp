// SPDX-License-Identifier: MIT
// Correlation and regression, whole-array and running, against worked
// examples and double-precision formulas.
#include "tissuesteward/correlation.h"

#include "support/guarded.h"
#include "tissuesteward/gamma_beta_erf.h"

#include <gtest/gtest.h>
#include <boost/math/distributions/students_t.hpp>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using ts::testing::one_based;

// The six running accumulators of one series, zeroed.
struct Series {
  float n = 0, sumx = 0, sumy = 0, sxx = 0, syy = 0, sxy = 0;
  float r = 0, a = 0, b = 0, ay = 0;
  void add(float x, float y) {
    Series copy = *this;  // both routines must update the sums identically
    pearsn_inc(x, y, copy.n, copy.sumx, copy.sumy, copy.sxx, copy.syy, copy.sxy, &r);
    regr_inc(x, y, n, sumx, sumy, sxx, syy, sxy, &a, &b, &ay);
    EXPECT_TRUE(copy.n == n && copy.sumx == sumx && copy.sumy == sumy && copy.sxx == sxx &&
                copy.syy == syy && copy.sxy == sxy);
  }
};

// A value as the worked examples quote it: to `digits` significant digits.
std::string shown(float v, int digits) {
  char text[32];
  std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(v));
  return text;
}

float whole_array_r(const std::vector<float> &x, const std::vector<float> &y) {
  auto a = one_based(x), b = one_based(y);
  float r = 0, slot1 = 0, slot2 = 0;
  pearsn(a.p(), b.p(), x.size(), &r, &slot1, &slot2);
  return r;
}

TEST(RunningForms, WorkedExamples) {
  Series line;
  line.add(1, 2);
  EXPECT_EQ(line.r, 0.0f);
  EXPECT_EQ(line.b, 0.0f);
  EXPECT_EQ(line.a, 2.0f);
  EXPECT_EQ(line.ay, 2.0f);
  line.add(2, 4);
  EXPECT_EQ(line.r, 1.0f);
  EXPECT_EQ(line.b, 2.0f);
  EXPECT_EQ(line.a, 0.0f);
  line.add(3, 6);
  EXPECT_EQ(line.r, 1.0f);
  EXPECT_EQ(line.b, 2.0f);
  EXPECT_EQ(line.a, 0.0f);
  EXPECT_EQ(line.ay, 4.0f);

  // Deviations from the running means are not those from the final means.
  Series tent;
  for (float x : {0, 1, 2}) tent.add(x, x == 1 ? 1.0f : 0.0f);
  EXPECT_EQ(shown(tent.r, 8), "-0.12403475");
  EXPECT_EQ(shown(tent.b, 7), "-0.06666668");
  EXPECT_EQ(whole_array_r({0, 1, 2}, {0, 1, 0}), 0.0f);

  Series four;
  const std::vector<float> x = {1, 2, 3, 4}, y = {1, 3, 2, 5};
  for (int i = 0; i < 4; ++i) four.add(x[i], y[i]);
  EXPECT_EQ(shown(four.r, 7), "0.8412243");
  EXPECT_EQ(shown(whole_array_r(x, y), 7), "0.8315218");
}

// The same recurrence in double precision, step for step.
TEST(RunningForms, AgreeWithTheRecurrenceInDouble) {
  ts::testing::Source rng(12);
  auto noise = [&rng] { return static_cast<float>(rng.gaussian()); };
  Series s;
  double n = 0, sumx = 0, sumy = 0, sxx = 0, syy = 0, sxy = 0;
  for (int i = 0; i < 2000; ++i) {
    const float x = 0.01f * i + noise(), y = 0.5f * x + noise();
    s.add(x, y);
    n += 1, sumx += x, sumy += y;
    const double dx = x - sumx / n, dy = y - sumy / n;
    sxx += dx * dx, syy += dy * dy, sxy += dx * dy;
  }
  EXPECT_NEAR(s.r, sxy / std::sqrt(sxx * syy), 1e-4);
  EXPECT_NEAR(s.b, sxy / sxx, 1e-4 * std::fabs(sxy / sxx));
  EXPECT_NEAR(s.ay, sumy / n, 1e-4);
  EXPECT_NEAR(s.a, sumy / n - sxy / sxx * sumx / n, 1e-3);
}

TEST(Pearson, AgreesWithDoublePrecisionAndStudentT) {
  for (unsigned seed = 1; seed <= 6; ++seed) {
    ts::testing::Source rng(seed);
    auto noise = [&rng] { return static_cast<float>(rng.gaussian()); };
    const std::size_t n = 5 + 9 * seed;
    std::vector<float> x(n), y(n);
    for (std::size_t i = 0; i < n; ++i) {
      x[i] = 10.0f + noise();
      y[i] = (static_cast<float>(seed) - 3.5f) * 0.2f * x[i] + noise();
    }
    double mx = 0, my = 0, sxx = 0, syy = 0, sxy = 0;
    for (std::size_t i = 0; i < n; ++i) mx += x[i] / double(n), my += y[i] / double(n);
    for (std::size_t i = 0; i < n; ++i)
      sxx += (x[i] - mx) * (x[i] - mx), syy += (y[i] - my) * (y[i] - my),
          sxy += (x[i] - mx) * (y[i] - my);
    const double r = sxy / std::sqrt(sxx * syy);
    const double df = double(n) - 2, t = r * std::sqrt(df / ((1 - r) * (1 + r)));
    const double prob = 2 * cdf(complement(boost::math::students_t(df), std::fabs(t)));

    auto a = one_based(x), b = one_based(y);
    float rf = 0, pf = 0, slot = -7;
    pearsn_prob(a.p(), b.p(), n, &rf, &pf, &slot);
    EXPECT_NEAR(rf, r, 1e-5);
    EXPECT_NEAR(pf, prob, 1e-5 + 1e-4 * prob);
    EXPECT_NEAR(whole_array_r(x, y), rf, 2e-7);
    EXPECT_EQ(slot, -7.0f);
    EXPECT_TRUE(a.guards_intact() && b.guards_intact());
  }
}

TEST(Pearson, ConstantVariableGivesZeroAndTheSlotsAreNeverUsed) {
  auto x = one_based({3, 3, 3, 3}), y = one_based({1, 4, 2, 8});
  float r = 9, p1 = -7, p2 = -8;
  pearsn(x.p(), y.p(), 4, &r, &p1, &p2);
  EXPECT_EQ(r, 0.0f);
  EXPECT_EQ(p1, -7.0f);
  EXPECT_EQ(p2, -8.0f);
  float prob = 0;
  r = 9;
  pearsn_prob(x.p(), y.p(), 4, &r, &prob, &p2);
  EXPECT_EQ(r, 0.0f);
  EXPECT_EQ(prob, 1.0f);
  EXPECT_EQ(p2, -8.0f);
}

struct SpearOut {
  float d = -1, zd = -2, probd = -3, rs = -4, probrs = -5;  // unwritten slots keep these
};

SpearOut run_spear(const std::vector<float> &x, const std::vector<float> &y) {
  auto a = one_based(x), b = one_based(y);
  SpearOut o;
  spear(a.p(), b.p(), x.size(), &o.d, &o.zd, &o.probd, &o.rs, &o.probrs);
  EXPECT_EQ(a.values(), x);  // the caller's arrays are left as they were
  EXPECT_EQ(b.values(), y);
  EXPECT_TRUE(a.guards_intact() && b.guards_intact());
  return o;
}

TEST(Spear, RegularAndDegeneratePaths) {
  const SpearOut same = run_spear({1, 2, 3, 4, 5}, {1, 2, 3, 4, 5});
  EXPECT_EQ(same.d, 0.0f);
  EXPECT_EQ(same.zd, -2.0f);
  EXPECT_EQ(same.rs, 1.0f);
  EXPECT_EQ(same.probd, erfcc(static_cast<float>(2.0 / 1.4142136)));
  EXPECT_EQ(same.probrs, -5.0f);

  const SpearOut flat = run_spear({2, 2, 2, 2}, {4, 1, 3, 2});
  EXPECT_EQ(flat.d, 5.0f);  // ranks 2.5 each against 4, 1, 3, 2
  EXPECT_EQ(flat.rs, 0.0f);
  EXPECT_EQ(flat.probrs, 0.0f);
  EXPECT_EQ(flat.zd, -2.0f);
  EXPECT_EQ(flat.probd, -3.0f);
}

// Ranks counted directly, then the moments of d with tie corrections.
TEST(Spear, AgreesWithDoublePrecisionRanks) {
  ts::testing::Source rng(21);
  for (int round = 0; round < 6; ++round) {
    const std::size_t n = 6 + 11 * round;
    std::vector<float> x(n), y(n);
    for (std::size_t i = 0; i < n; ++i) {
      x[i] = static_cast<float>(rng.below(3 + 4 * round));  // ties in both
      y[i] = x[i] * (round % 2 ? -1.0f : 1.0f) + static_cast<float>(rng.below(5));
    }
    auto ranks = [](const std::vector<float> &v, double &tie_sum) {
      std::vector<double> rk(v.size());
      tie_sum = 0;
      for (std::size_t i = 0; i < v.size(); ++i) {
        double below = 0, equal = 0, earlier_equal = 0;
        for (std::size_t k = 0; k < v.size(); ++k) {
          below += v[k] < v[i], equal += v[k] == v[i];
          earlier_equal += k < i && v[k] == v[i];
        }
        rk[i] = below + (equal + 1) / 2;
        if (earlier_equal == 0) tie_sum += equal * equal * equal - equal;
      }
      return rk;
    };
    double sf = 0, sg = 0, d = 0;
    const std::vector<double> rx = ranks(x, sf), ry = ranks(y, sg);
    for (std::size_t i = 0; i < n; ++i) d += (rx[i] - ry[i]) * (rx[i] - ry[i]);
    const double en = double(n), en3n = en * en * en - en;
    const double fac = (1 - sf / en3n) * (1 - sg / en3n);
    const double vard = (en - 1) * en * en * (en + 1) * (en + 1) / 36 * fac;
    const double zd = (d - (en3n / 6 - (sf + sg) / 12)) / std::sqrt(vard);
    const double rs = (1 - 6 / en3n * (d + (sf + sg) / 12)) / std::sqrt(fac);

    const SpearOut o = run_spear(x, y);
    EXPECT_EQ(o.d, d);  // sums of quarter-integers: exact
    EXPECT_NEAR(o.zd, zd, 1e-5 * std::fabs(zd) + 1e-6);
    EXPECT_NEAR(o.rs, rs, 1e-5);
    EXPECT_NEAR(o.probd, std::erfc(std::fabs(zd) / std::sqrt(2.0)), 1e-6);
    EXPECT_EQ(o.probrs, -5.0f);
  }
}

}  // namespace
