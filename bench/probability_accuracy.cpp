// SPDX-License-Identifier: MIT
// The t conversions against Boost.Math's Student's t distribution in long
// double, over seeded points of the benchmark domains.
#include "accuracy.h"
#include "probability_routines.h"
#include "support/source.h"

#include <boost/math/distributions/students_t.hpp>

#include <cstdio>
#include <string>

namespace {

constexpr int kSamples = 5000;
// p_to_t's fixed search reaches t = 4 + 25 * 2 = 54 at most.
constexpr long double kSearchReach = 54.0L;

using StudentsT = boost::math::students_t_distribution<long double>;

long double two_sided_p(long double t, unsigned long dof) {
  return 2.0L * boost::math::cdf(boost::math::complement(StudentsT(dof), std::fabs(t)));
}

long double two_sided_t(long double p, unsigned long dof) {
  return boost::math::quantile(boost::math::complement(StudentsT(dof), 0.5L * p));
}

// "<value>, dof <dof>" for the worst-point notes.
std::string point(float value, unsigned long dof) {
  char text[64];
  std::snprintf(text, sizeof text, "%.9g, dof %lu", value, dof);
  return text;
}

void run(bench::AccuracyReport &report) {
  ts::testing::Source engine(703);

  double t_to_p_worst = 0.0, boost_p_worst = 0.0;
  std::string t_to_p_where;
  for (int i = 0; i < kSamples; ++i) {
    float t = engine.in(0.0f, 8.0f);
    unsigned long dof = engine.between(1, 60);
    long double truth = two_sided_p(t, dof);
    boost::math::students_t_distribution<float> single(static_cast<float>(dof));
    float boost_p = 2.0f * boost::math::cdf(boost::math::complement(single, t));
    double error = bench::relative_error(t_to_p(t, dof), truth);
    if (error > t_to_p_worst || t_to_p_where.empty()) {
      t_to_p_worst = error;
      t_to_p_where = point(t, dof);
    }
    boost_p_worst = std::max(boost_p_worst, bench::relative_error(boost_p, truth));
  }
  report.add({"t_to_p",
              "t in [0, 8], dof 1..60: relative error of the level; worst at t = " + t_to_p_where,
              "Boost students_t long double",
              t_to_p_worst,
              {{"Boost float", boost_p_worst}}});

  double p_to_t_worst = 0.0, boost_t_worst = 0.0;
  std::string p_to_t_where;
  int beyond = 0;
  for (int i = 0; i < kSamples; ++i) {
    float p = engine.in(0.001f, 0.5f);
    unsigned long dof = engine.between(1, 60);
    long double truth = two_sided_t(p, dof);
    if (truth >= kSearchReach) {
      ++beyond;
      continue;
    }
    boost::math::students_t_distribution<float> single(static_cast<float>(dof));
    float boost_t = boost::math::quantile(boost::math::complement(single, 0.5f * p));
    double error = bench::relative_error(p_to_t(p, dof), truth);
    if (error > p_to_t_worst || p_to_t_where.empty()) {
      p_to_t_worst = error;
      p_to_t_where = point(p, dof);
    }
    boost_t_worst = std::max(boost_t_worst, bench::relative_error(boost_t, truth));
  }
  report.add({"p_to_t",
              "p in [0.001, 0.5], dof 1..60, true t < 54 (" + std::to_string(beyond) + " of " +
                  std::to_string(kSamples) +
                  " points beyond): relative error of t; worst at p = " + p_to_t_where,
              "Boost students_t long double",
              p_to_t_worst,
              {{"Boost float", boost_t_worst}}});
}

const bool registered = bench::register_accuracy_family("probability", run);

}  // namespace
