// SPDX-License-Identifier: MIT
// The toolkit's correctly rounded exp, log and expf: special values exactly,
// and a million arguments per function against MPFR; the same for the SVD's
// sqrt(1 + r^2), and for the platform's sin on the FFT twiddle angles. The
// exhaustive run over every float argument is the cr-exhaustive target.
// The routines' source is built into this test, so that the table test can
// reach the internal tables and the integer path that made them.
#include "toolkit/elementary.cpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "support/float_bits.h"
#include "support/mpfr_reference.h"
#include "support/source.h"

namespace {

using ts::detail::rounded_exp;
using ts::detail::rounded_expf;
using ts::detail::rounded_hypot_with_one;
using ts::detail::rounded_log;
using ts::testing::double_reference;
using ts::testing::float_reference;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr float kInfF = std::numeric_limits<float>::infinity();
constexpr long kRandomArguments = 1000000;

// Same bits, or both NaN.
::testing::AssertionResult same(double got, double want, double x) {
  if (ts::testing::bits(got) == ts::testing::bits(want) || (std::isnan(got) && std::isnan(want)))
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure()
         << std::hexfloat << "x=" << x << " got " << got << " want " << want;
}

struct Case {
  double x, want;
};

TEST(RoundedExp, SpecialValuesInBothPrecisions) {
  const Case cases[] = {{kNaN, kNaN}, {kInf, kInf}, {-kInf, 0.0}, {0.0, 1.0}, {-0.0, 1.0}};
  for (const Case& c : cases) {
    EXPECT_TRUE(same(rounded_exp(c.x), c.want, c.x));
    EXPECT_TRUE(same(static_cast<double>(rounded_expf(static_cast<float>(c.x))), c.want, c.x));
  }
}

TEST(RoundedExp, Thresholds) {
  const Case cases[] = {
      {0x1p-1074, 1.0},
      {0x1.fffffffffffffp-55, 1.0},
      {-0x1.fffffffffffffp-55, 1.0},
      {0x1p-53, 0x1.0000000000001p0},  // above the midpoint 1 + 2^-53
      {-0x1p-53, 0x1.fffffffffffffp-1},
      {0x1.62e42fefa39efp9, 0x1.fffffffffff2ap1023},  // largest finite result
      {0x1.62e42fefa39fp9, kInf},
      {-708.5, 0x0.e6cf6d08897acp-1022},  // subnormal results
      {-720.0, 0x0.0000993b4dc95p-1022},
      {-0x1.74385446d71c3p9, 0x1p-1074},  // least subnormal
      {-0x1.74910d52d3052p9, 0.0},        // below half of it
      {1.0, 0x1.5bf0a8b145769p1},
      {-1.0, 0x1.78b56362cef38p-2},
  };
  for (const Case& c : cases) EXPECT_TRUE(same(rounded_exp(c.x), c.want, c.x));
}

TEST(RoundedLog, SpecialValues) {
  const Case cases[] = {
      {kNaN, kNaN},
      {-1.0, kNaN},
      {-kInf, kNaN},
      {-0x1p-1074, kNaN},
      {0.0, -kInf},
      {-0.0, -kInf},
      {kInf, kInf},
      {1.0, 0.0},
      {2.0, 0x1.62e42fefa39efp-1},
      {0x1p-1074, -0x1.74385446d71c3p9},
      {std::numeric_limits<double>::max(), 0x1.62e42fefa39efp9},
      {0x1.0000000000001p0, 0x1.fffffffffffffp-53},
      {0x1.fffffffffffffp-1, -0x1p-53},
  };
  for (const Case& c : cases) EXPECT_TRUE(same(rounded_log(c.x), c.want, c.x));
}

TEST(RoundedExpf, Thresholds) {
  const Case cases[] = {
      {0x1.fffffep-26, 1.0},          {-0x1.fffffep-26, 1.0},
      {0x1.62e42ep6, 0x1.ffff08p127},                                    // largest finite result
      {0x1.62e430p6, kInfF},          {-0x1.9fe368p6, 0x1p-149},         // least subnormal
      {-0x1.9fe36ap6, 0.0},           {-0x1.5d58a0p6, 0x1.ffff98p-127},  // subnormal
  };
  for (const Case& c : cases) {
    const float x = static_cast<float>(c.x);
    EXPECT_TRUE(same(static_cast<double>(rounded_expf(x)), c.want, c.x));
  }
}

// The fast paths' tables are constants the compiler evaluated; the same
// integer path run now, through a pointer the optimiser cannot see through,
// must give every entry bit for bit.
TEST(FastPathTables, CompileTimeEntriesEqualTheIntegerPathRunNow) {
  using ts::detail::Tables;
  Tables (*volatile build)() = ts::detail::build_tables;
  const Tables now = build();
  const Tables& built_in = ts::detail::kTables;
  using ts::testing::bits;
  for (int j = 0; j < ts::detail::kTableSize; ++j) {
    EXPECT_EQ(bits(built_in.exp2_fraction[j].hi), bits(now.exp2_fraction[j].hi)) << j;
    EXPECT_EQ(bits(built_in.exp2_fraction[j].lo), bits(now.exp2_fraction[j].lo)) << j;
    EXPECT_EQ(bits(built_in.log_inverse[j]), bits(now.log_inverse[j])) << j;
    EXPECT_EQ(bits(built_in.minus_log_inverse[j].hi), bits(now.minus_log_inverse[j].hi)) << j;
    EXPECT_EQ(bits(built_in.minus_log_inverse[j].lo), bits(now.minus_log_inverse[j].lo)) << j;
  }
}

// Arguments that reach every path: the ranges where results are finite and
// not 1, drawn uniformly, and random bit patterns for the tiny and the huge.
class AgainstMpfr : public ::testing::Test {
 protected:
  ts::testing::Source source_{20261208};
  double uniform(double lo, double hi) { return source_.uniform(lo, hi); }
  double any_positive_double() {
    return ts::testing::double_from_bits(source_.word() >> 1);
  }  // NaN payloads and inf included
};

TEST_F(AgainstMpfr, ExpOnAMillionArguments) {
  auto reference = double_reference(mpfr_exp);
  for (long i = 0; i < kRandomArguments; ++i) {
    double x;
    switch (i % 4) {
      case 0:
        x = uniform(-746.0, 710.0);
        break;
      case 1:
        x = uniform(-1.0, 1.0);
        break;
      case 2:
        x = uniform(-746.0, -707.0);
        break;  // subnormal results
      default:
        x = (i & 4 ? -1.0 : 1.0) * any_positive_double();
        break;
    }
    ASSERT_TRUE(same(rounded_exp(x), reference(x), x));
  }
}

TEST_F(AgainstMpfr, LogOnAMillionArguments) {
  auto reference = double_reference(mpfr_log);
  for (long i = 0; i < kRandomArguments; ++i) {
    double x;
    switch (i % 4) {
      case 0:
        x = uniform(1.0 - 0x1p-6, 1.0 + 0x1p-6);
        break;  // near 1, where cancellation threatens
      case 1:
        x = 1.0 +
            (i & 1 ? -1.0 : 1.0) * std::ldexp(uniform(1.0, 2.0), -static_cast<int>(i % 60) - 8);
        break;
      case 2:
        x = uniform(0.0, 4.0);
        break;
      default:
        x = any_positive_double();
        break;
    }
    ASSERT_TRUE(same(rounded_log(x), reference(x), x));
  }
}

TEST_F(AgainstMpfr, ExpfOnAMillionArguments) {
  auto reference = float_reference(mpfr_exp);
  for (long i = 0; i < kRandomArguments; ++i) {
    float x;
    if (i % 2 == 0) {
      x = static_cast<float>(uniform(-104.0, 89.0));
    } else {
      x = ts::testing::from_bits(static_cast<std::uint32_t>(source_.word()));
    }
    const double want = reference(static_cast<double>(x));
    ASSERT_TRUE(same(static_cast<double>(rounded_expf(x)), want, static_cast<double>(x)));
  }
}

// sqrt(1 + r^2) from MPFR, in the reference's unary form.
int mpfr_hypot_with_one(mpfr_ptr out, mpfr_srcptr r, mpfr_rnd_t rounding) {
  mpfr_t one;
  mpfr_init2(one, 2);
  mpfr_set_ui(one, 1, MPFR_RNDN);
  const int inexact = mpfr_hypot(out, r, one, rounding);
  mpfr_clear(one);
  return inexact;
}

// Random magnitudes from 2^-40 to 2^40, the near-exact cases
// (2^k - 2^-k)/2 and their neighbours, and the non-finite.
TEST_F(AgainstMpfr, HypotWithOne) {
  auto reference = double_reference(mpfr_hypot_with_one);
  for (double x : {0.0, -0.0, kInf, -kInf, kNaN, 0x1p27, 0x1.fffffffffffffp26, 0x1p-27,
                   0x1.fffffffffffffp-28}) {
    EXPECT_TRUE(same(rounded_hypot_with_one(x), reference(x), x));
  }
  for (int k = 1; k <= 26; ++k) {
    const double near_exact = 0.5 * (std::ldexp(1.0, k) - std::ldexp(1.0, -k));
    for (double x :
         {near_exact, std::nextafter(near_exact, 0.0), std::nextafter(near_exact, kInf)}) {
      EXPECT_TRUE(same(rounded_hypot_with_one(x), reference(x), x));
    }
  }
  for (long i = 0; i < kRandomArguments / 10; ++i) {
    const double x = (i & 1 ? -1.0 : 1.0) * std::exp2(uniform(-40.0, 40.0));
    ASSERT_TRUE(same(rounded_hypot_with_one(x), reference(x), x));
  }
}

// The FFTs still take their twiddle increments from the platform's sin, of
// +-6.28318530717959 / 2^k and +-3.141592653589793 / 2^k and their halves:
// every one of those angles must come out correctly rounded.
TEST(PlatformSin, CorrectlyRoundedOnTheTwiddleAngles) {
  auto reference = double_reference(mpfr_sin);
  std::vector<double> angles;
  for (double full_turn_or_half : {6.28318530717959, 3.141592653589793}) {
    for (int k = 0; k <= 64; ++k) {
      for (double sign : {1.0, -1.0}) {
        const double theta = sign * full_turn_or_half / std::ldexp(1.0, k);
        for (double angle : {theta, 0.5 * theta}) {
          if (std::find(angles.begin(), angles.end(), angle) == angles.end())
            angles.push_back(angle);
        }
      }
    }
  }
  EXPECT_GE(angles.size(), 258u);
  for (double angle : angles) EXPECT_TRUE(same(std::sin(angle), reference(angle), angle));
}

}  // namespace
