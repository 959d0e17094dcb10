// SPDX-License-Identifier: MIT
// Per-call cost of the t conversions against Boost.Math's Student's t
// distribution (two-sided levels, default policies).
#include "probability_routines.h"
#include "scalar_support.h"

#include <boost/math/distributions/students_t.hpp>

#include <cmath>

namespace {

struct Level {
  float value;
  unsigned long dof;
};

float boost_two_sided_p(float t, unsigned long dof) {
  boost::math::students_t_distribution<float> dist(static_cast<float>(dof));
  return 2.0f * boost::math::cdf(boost::math::complement(dist, std::fabs(t)));
}

float boost_two_sided_t(float p, unsigned long dof) {
  boost::math::students_t_distribution<float> dist(static_cast<float>(dof));
  return boost::math::quantile(boost::math::complement(dist, 0.5f * p));
}

unsigned long draw_dof(ts::testing::Source &engine) { return engine.between(1, 60); }

void register_t_to_p() {
  auto table = bench::argument_table<Level>(701, [](ts::testing::Source &e) {
    float t = e.in(0.0f, 8.0f);
    return Level{t, draw_dof(e)};
  });
  bench::register_per_call("t_to_p", bench::kOurs, table,
                           [](const Level &l) { return t_to_p(l.value, l.dof); });
  bench::register_per_call("t_to_p", "Boost students_t cdf", table,
                           [](const Level &l) { return boost_two_sided_p(l.value, l.dof); });
}

void register_p_to_t() {
  auto table = bench::argument_table<Level>(702, [](ts::testing::Source &e) {
    float p = e.in(0.001f, 0.5f);
    return Level{p, draw_dof(e)};
  });
  bench::register_per_call("p_to_t", bench::kOurs, table,
                           [](const Level &l) { return p_to_t(l.value, l.dof); });
  bench::register_per_call("p_to_t", "Boost students_t quantile", table,
                           [](const Level &l) { return boost_two_sided_t(l.value, l.dof); });
}

}  // namespace

int main(int argc, char **argv) {
  register_t_to_p();
  register_p_to_t();
  return bench::run_registered(argc, argv);
}
