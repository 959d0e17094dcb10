// SPDX-License-Identifier: MIT
// Per-call cost of the special functions against the standard library and
// Boost.Math (default policies: float arguments are evaluated in double).
#include "gamma_beta_erf_routines.h"
#include "scalar_support.h"

#include <boost/math/special_functions/beta.hpp>
#include <boost/math/special_functions/erf.hpp>
#include <boost/math/special_functions/gamma.hpp>

#include <cmath>

namespace {

struct Pair {
  float a, x;
};
struct Triple {
  float a, b, x;
};

void register_gammln() {
  auto table = bench::argument_table<double>(
      201, [](ts::testing::Source &e) { return static_cast<double>(e.in(0.1f, 100.0f)); });
  bench::register_per_call("gammln", bench::kOurs, table, [](double x) { return gammln(x); });
  bench::register_per_call("gammln", "std::lgamma", table, [](double x) { return std::lgamma(x); });
  bench::register_per_call("gammln", "Boost lgamma", table,
                           [](double x) { return boost::math::lgamma(x); });
}

void register_gammq() {
  auto table = bench::argument_table<Pair>(202, [](ts::testing::Source &e) {
    float a = e.in(0.5f, 50.0f);
    return Pair{a, e.in(0.0f, 2.0f * a + 5.0f)};
  });
  bench::register_per_call("gammq", bench::kOurs, table,
                           [](const Pair &p) { return gammq(p.a, p.x); });
  bench::register_per_call("gammq", "Boost gamma_q", table,
                           [](const Pair &p) { return boost::math::gamma_q(p.a, p.x); });
}

void register_betai() {
  auto table = bench::argument_table<Triple>(203, [](ts::testing::Source &e) {
    float a = e.in(0.5f, 20.0f);
    float b = e.in(0.5f, 20.0f);
    return Triple{a, b, e.in(0.0f, 1.0f)};
  });
  bench::register_per_call("betai", bench::kOurs, table,
                           [](const Triple &t) { return betai(t.a, t.b, t.x); });
  bench::register_per_call("betai", "Boost ibeta", table,
                           [](const Triple &t) { return boost::math::ibeta(t.a, t.b, t.x); });
}

void register_erfcc() {
  auto table =
      bench::argument_table<float>(204, [](ts::testing::Source &e) { return e.in(-4.0f, 9.0f); });
  bench::register_per_call("erfcc", bench::kOurs, table, [](float x) { return erfcc(x); });
  bench::register_per_call("erfcc", "std::erfc", table, [](float x) { return std::erfc(x); });
  bench::register_per_call("erfcc", "Boost erfc", table,
                           [](float x) { return boost::math::erfc(x); });
}

}  // namespace

int main(int argc, char **argv) {
  register_gammln();
  register_gammq();
  register_betai();
  register_erfcc();
  return bench::run_registered(argc, argv);
}
