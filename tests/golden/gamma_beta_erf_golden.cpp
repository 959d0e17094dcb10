// SPDX-License-Identifier: MIT
// Log-gamma, incomplete gamma (series, continued fraction and the
// dispatcher), incomplete beta with its continued fraction, and erfc, over
// grids that cross every branch, with the documented NaN and infinity cases.
#include <cmath>

#include "golden.h"
#include "tissuesteward/gamma_beta_erf.h"

namespace ts::testing {
namespace {

const Register gammln_table("gammln", "table", [](Digest &d) {
  const double xs[] = {1e-30, 1e-8, 0.001, 0.1,   0.5,   1.0, 1.5, 2.0,  2.5,  3.0,
                       10.0,  33.3, 100.0, 171.0, 171.5, 1e3, 1e6, 1e10, 1e30, 1e300};
  for (double x : xs) d.value(gammln(x));
});

const Register gammln_grid("gammln", "scaled_grid", [](Digest &d) {
  Source src(301);
  for (int i = 0; i < 5000; ++i) {
    // Two draws, in this order (as separate statements: the order in which
    // function arguments are evaluated differs between compilers).
    const int exponent = static_cast<int>(src.below(40)) - 10;
    const double mantissa = static_cast<double>(src.unit()) + 0x1p-25;
    d.value(gammln(std::ldexp(mantissa, exponent)));
  }
});

// gser is meant for x < a + 1 and gcf for x >= a + 1; both converge within
// 100 steps for a up to about a hundred on these grids.
void gamma_pairs(Digest &d, bool series) {
  const float as[] = {0.01f, 0.1f, 0.5f, 1.0f, 1.5f, 2.0f, 3.0f, 5.5f, 10.0f, 30.0f, 100.0f};
  for (float a : as) {
    const float xs_series[] = {0.0f, 1e-30f, 1e-6f, 0.25f * a, 0.5f * a, a, a + 0.5f, a + 0.999f};
    const float xs_fraction[] = {a + 1.0f, a + 1.5f, 2.0f * a + 1.0f, a + 10.0f, 5.0f * a + 20.0f,
                                 1e3f,     3e4f};
    const float *xs = series ? xs_series : xs_fraction;
    const int count = series ? 8 : 7;
    for (int k = 0; k < count; ++k) {
      float result = kGuard, lg = kGuard;
      if (series)
        gser(&result, a, xs[k], &lg);
      else
        gcf(&result, a, xs[k], &lg);
      d.value(result);
      d.value(lg);
    }
  }
}

const Register gser_grid("gser", "grid", [](Digest &d) { gamma_pairs(d, true); });
const Register gcf_grid("gcf", "grid", [](Digest &d) { gamma_pairs(d, false); });

const Register gammq_grid("gammq", "grid", [](Digest &d) {
  const float as[] = {0x1p-20f, 0.01f, 0.5f, 1.0f, 2.0f, 3.0f, 7.5f, 20.0f, 64.0f, 150.0f};
  const float xs[] = {0.0f, -0.0f, 1e-30f, 0.01f, 0.5f,  1.0f,   2.0f,   3.0f,
                      4.0f, 5.0f,  8.5f,   21.0f, 65.0f, 151.0f, 400.0f, 1e4f};
  for (float a : as)
    for (float x : xs) d.value(gammq(a, x));
});

const Register gammq_boundary("gammq", "switch_at_a_plus_1", [](Digest &d) {
  // Just below, at and above x = a + 1, where the series hands over.
  const float as[] = {0.5f, 1.0f, 2.5f, 9.0f, 40.0f};
  for (float a : as) {
    const float x = a + 1.0f;
    d.value(gammq(a, std::nextafter(x, 0.0f)));
    d.value(gammq(a, x));
    d.value(gammq(a, std::nextafter(x, 1e30f)));
  }
});

const Register gammq_random("gammq", "random", [](Digest &d) {
  Source src(302);
  for (int i = 0; i < 3000; ++i) {
    const float a = src.in(0.05f, 60.0f), x = src.in(0.0f, 120.0f);
    d.value(gammq(a, x));
  }
});

const Register gammq_non_finite("gammq", "nan_and_infinity", [](Digest &d) {
  d.value(gammq(NAN, 1.0f));
  d.value(gammq(1.0f, NAN));
  d.value(gammq(2.0f, INFINITY));
  d.value(gammq(0.5f, INFINITY));
});

const Register betacf_grid("betacf", "grid", [](Digest &d) {
  const double abs[] = {0.1, 0.5, 1.0, 2.0, 5.0, 20.0, 200.0, 1e4};
  const double xs[] = {0.0, 1e-12, 0.01, 0.2, 0.5, 0.8, 0.99, 1.0};
  for (double a : abs)
    for (double b : abs)
      for (double x : xs) d.value(betacf(a, b, x));
});

const Register betai_grid("betai", "grid", [](Digest &d) {
  const float abs[] = {0.05f, 0.5f, 1.0f, 2.0f, 3.0f, 7.5f, 30.0f, 150.0f};
  const float xs[] = {-0.5f, -0.0f, 0.0f, 1e-30f, 0.001f,      0.1f, 0.4f,
                      0.5f,  0.6f,  0.9f, 0.999f, 0.99999994f, 1.0f, 1.5f};
  for (float a : abs)
    for (float b : abs)
      for (float x : xs) d.value(betai(a, b, x));
});

const Register betai_random("betai", "random", [](Digest &d) {
  Source src(303);
  for (int i = 0; i < 3000; ++i) {
    const float a = src.in(0.1f, 40.0f), b = src.in(0.1f, 40.0f), x = src.unit();
    d.value(betai(a, b, x));
  }
});

const Register betai_nan("betai", "nan", [](Digest &d) {
  d.value(betai(NAN, 1.0f, 0.5f));
  d.value(betai(1.0f, NAN, 0.5f));
  d.value(betai(1.0f, 1.0f, NAN));
});

const Register erfcc_table("erfcc", "table", [](Digest &d) {
  const float xs[] = {0.0f,    -0.0f,     1.0f,  -1.0f,  0.5f,     -0.5f,     2.0f,   -2.0f,
                      3.5f,    -3.5f,     9.0f,  -9.0f,  10.0f,    27.0f,     -27.0f, 1e-30f,
                      -1e-30f, 0x1p-149f, 1e30f, -1e30f, INFINITY, -INFINITY, NAN};
  for (float x : xs) d.value(erfcc(x));
});

const Register erfcc_grid("erfcc", "grid", [](Digest &d) {
  for (int i = -4000; i <= 4000; ++i) d.value(erfcc(static_cast<float>(i) * 0x1p-9f));
});

}  // namespace
}  // namespace ts::testing
