// SPDX-License-Identifier: MIT
// Special functions against Boost.Math in long double (and std::lgamma in
// long double for gammln), over seeded points of the benchmark domains.
#include "accuracy.h"
#include "gamma_beta_erf_routines.h"
#include "support/source.h"

#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int kSamples = 20000;
constexpr long double kSmallest = 1e-30L;  // smaller truths say nothing in float

std::string point(const char *format, double a, double b = 0.0, double c = 0.0) {
  char text[96];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

// Largest error of ours and of each peer over the samples, and where ours
// had it; callers hand in the errors of one point at a time through take().
struct Worst {
  double ours = 0.0;
  std::string where;  // the point of ours' largest error
  std::vector<double> peers;
  void take(double o, const std::vector<double> &p, const std::string &point) {
    if (o > ours || where.empty()) {
      ours = o;
      where = point;
    }
    if (peers.size() < p.size()) peers.resize(p.size(), 0.0);
    for (std::size_t i = 0; i < p.size(); ++i) peers[i] = std::max(peers[i], p[i]);
  }
  std::vector<bench::PeerError> named(const std::vector<std::string> &names) const {
    std::vector<bench::PeerError> out;
    for (std::size_t i = 0; i < names.size(); ++i) out.push_back({names[i], peers[i]});
    return out;
  }
};

void gammln_accuracy(bench::AccuracyReport &report) {
  ts::testing::Source engine(301);
  Worst worst;
  for (int i = 0; i < kSamples; ++i) {
    double x = engine.in(0.1f, 100.0f);
    long double truth = std::lgamma(static_cast<long double>(x));
    long double scale = std::max(1.0L, std::fabs(truth));
    auto err = [&](double got) {
      return static_cast<double>(std::fabs(got - truth) / scale / FLT_EPSILON);
    };
    worst.take(err(gammln(x)), {err(std::lgamma(x))}, point("x = %.9g", x));
  }
  report.add({"gammln", "x in [0.1, 100]: |error| / max(1, |ln gamma|); worst at " + worst.where,
              "std::lgamma long double", worst.ours, worst.named({"std::lgamma double"})});
}

void gammq_accuracy(bench::AccuracyReport &report) {
  ts::testing::Source engine(302);
  Worst worst;
  for (int i = 0; i < kSamples; ++i) {
    float a = engine.in(0.5f, 50.0f);
    float x = engine.in(0.0f, 2.0f * a + 5.0f);
    long double truth =
        boost::math::gamma_q(static_cast<long double>(a), static_cast<long double>(x));
    if (truth < kSmallest) continue;
    worst.take(bench::relative_error(gammq(a, x), truth),
               {bench::relative_error(boost::math::gamma_q(a, x), truth)},
               point("a = %.9g, x = %.9g", a, x));
  }
  report.add(
      {"gammq",
       "a in [0.5, 50], x in [0, 2a + 5], Q >= 1e-30: relative error; worst at " + worst.where,
       "Boost gamma_q long double", worst.ours, worst.named({"Boost gamma_q float"})});
}

void betai_accuracy(bench::AccuracyReport &report) {
  ts::testing::Source engine(303);
  Worst worst;
  for (int i = 0; i < kSamples; ++i) {
    float a = engine.in(0.5f, 20.0f);
    float b = engine.in(0.5f, 20.0f);
    float x = engine.in(0.0f, 1.0f);
    long double truth = boost::math::ibeta(static_cast<long double>(a), static_cast<long double>(b),
                                           static_cast<long double>(x));
    if (truth < kSmallest) continue;
    worst.take(bench::relative_error(betai(a, b, x), truth),
               {bench::relative_error(boost::math::ibeta(a, b, x), truth)},
               point("a = %.9g, b = %.9g, x = %.9g", a, b, x));
  }
  report.add({"betai",
              "a, b in [0.5, 20], x in [0, 1], I >= 1e-30: relative error; worst at " + worst.where,
              "Boost ibeta long double", worst.ours, worst.named({"Boost ibeta float"})});
}

void erfcc_accuracy(bench::AccuracyReport &report) {
  ts::testing::Source engine(304);
  Worst worst;
  for (int i = 0; i < kSamples; ++i) {
    float x = engine.in(-4.0f, 9.0f);
    long double truth = boost::math::erfc(static_cast<long double>(x));
    worst.take(bench::relative_error(erfcc(x), truth),
               {bench::relative_error(std::erfc(x), truth),
                bench::relative_error(boost::math::erfc(x), truth)},
               point("x = %.9g", x));
  }
  report.add({"erfcc", "x in [-4, 9]: relative error; worst at " + worst.where,
              "Boost erfc long double", worst.ours,
              worst.named({"std::erfc float", "Boost erfc float"})});
}

void run(bench::AccuracyReport &report) {
  gammln_accuracy(report);
  gammq_accuracy(report);
  betai_accuracy(report);
  erfcc_accuracy(report);
}

const bool registered = bench::register_accuracy_family("gamma_beta_erf", run);

}  // namespace
