// FFTs: documented layouts and identities, the stated arithmetic bit for bit,
// refused arguments.
#include "tissuesteward/fft.h"

#include "toolkit/detail/rounding.h"
#include "support/fatal_report.h"
#include "toolkit/fft_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

namespace {

using fft_test::GuardedArray;
using ts::testing::fatal_report;
using ts::detail::sin_d;
using ts::detail::to_float;
using ts::detail::widen;

// --- the stated steps, transcribed loop for loop ----------------------------
// The library reorders independent butterflies for locality; these keep the
// order in which the steps are written, so any difference in a result bit
// is a fault in the arithmetic or in the reordering.
namespace steps {

constexpr double kTwoPiShort = 6.28318530717959;

void advance(double &wr, double &wi, double wpr, double wpi) {
  const double old_wr = wr;
  wr = wr + (wr * wpr - wi * wpi);
  wi = wi + (wi * wpr + old_wr * wpi);
}

void four1(float data[], unsigned long nn, int isign) {
  const unsigned long n = 2 * nn;
  unsigned long j = 1;
  for (unsigned long i = 1; i < n; i += 2) {
    if (j > i) {
      std::swap(data[i], data[j]);
      std::swap(data[i + 1], data[j + 1]);
    }
    unsigned long m = nn;
    while (m >= 2 && j > m) {
      j -= m;
      m >>= 1;
    }
    j += m;
  }
  for (unsigned long mmax = 2; n > mmax; mmax *= 2) {
    const unsigned long istep = 2 * mmax;
    const double theta = (kTwoPiShort / static_cast<double>(mmax)) * isign;
    const double wtemp = sin_d(0.5 * theta);
    const double wpr = -2.0 * wtemp * wtemp;
    const double wpi = sin_d(theta);
    double wr = 1.0;
    double wi = 0.0;
    for (unsigned long m = 1; m < mmax; m += 2) {
      for (unsigned long i = m; i <= n; i += istep) {
        const unsigned long k = i + mmax;
        const float tempr = to_float(wr * widen(data[k]) - wi * widen(data[k + 1]));
        const float tempi = to_float(wr * widen(data[k + 1]) + wi * widen(data[k]));
        data[k] = data[i] - tempr;
        data[k + 1] = data[i + 1] - tempi;
        data[i] = data[i] + tempr;
        data[i + 1] = data[i + 1] + tempi;
      }
      advance(wr, wi, wpr, wpi);
    }
  }
}

void realft(float data[], unsigned long n, int isign) {
  double theta = 3.141592653589793 / static_cast<double>(n >> 1);
  const float c1 = 0.5f;
  float c2 = 0.5f;
  if (isign == 1) {
    c2 = -0.5f;
    four1(data, n >> 1, 1);
  } else {
    theta = -theta;
  }
  const double wtemp = sin_d(0.5 * theta);
  const double wpr = -2.0 * wtemp * wtemp;
  const double wpi = sin_d(theta);
  double wr = 1.0 + wpr;
  double wi = wpi;
  for (unsigned long i = 2; i <= (n >> 2); ++i) {
    const unsigned long i1 = 2 * i - 1, i2 = 2 * i, i3 = n + 3 - 2 * i, i4 = n + 4 - 2 * i;
    const float h1r = c1 * (data[i1] + data[i3]);
    const float h1i = c1 * (data[i2] - data[i4]);
    const float h2r = -c2 * (data[i2] + data[i4]);
    const float h2i = c2 * (data[i1] - data[i3]);
    data[i1] = to_float(h1r + wr * h2r - wi * h2i);
    data[i2] = to_float(h1i + wr * h2i + wi * h2r);
    data[i3] = to_float(h1r - wr * h2r + wi * h2i);
    data[i4] = to_float(-h1i + wr * h2i + wi * h2r);
    advance(wr, wi, wpr, wpi);
  }
  const float h1r = data[1];
  if (isign == 1) {
    data[1] = h1r + data[2];
    data[2] = h1r - data[2];
  } else {
    data[1] = c1 * (h1r + data[2]);
    data[2] = c1 * (h1r - data[2]);
    four1(data, n >> 1, -1);
  }
}

}  // namespace steps

// --- four1 -------------------------------------------------------------------

TEST(Four1, LengthsZeroAndOneLeaveTheDataAlone) {
  for (unsigned long nn : {0UL, 1UL}) {
    GuardedArray a(2 * nn, 7);
    GuardedArray before = a;
    four1(a.data(), nn, 1);
    four1(a.data(), nn, -1);
    EXPECT_TRUE(a.same_bits(before));
    EXPECT_TRUE(a.guards_intact());
  }
}

TEST(Four1, ImpulseAtZeroGivesAFlatSpectrum) {
  for (int isign : {1, -1}) {
    GuardedArray a(32);
    for (int i = 1; i <= 32; ++i) a[i] = 0.0f;
    a[1] = 1.0f;
    four1(a.data(), 16, isign);
    for (int k = 0; k < 16; ++k) {
      EXPECT_EQ(a[2 * k + 1], 1.0f) << k;
      EXPECT_EQ(a[2 * k + 2], 0.0f) << k;
    }
    EXPECT_TRUE(a.guards_intact());
  }
}

// x(m) = exp(-2 pi i m / nn) is a single frequency: bin 1 for isign = +1,
// bin nn - 1 for isign = -1, with height nn.
TEST(Four1, OneFrequencyLandsInItsBin) {
  const unsigned long nn = 64;
  for (int isign : {1, -1}) {
    GuardedArray a(2 * nn);
    for (unsigned long m = 0; m < nn; ++m) {
      const double angle = -2.0 * M_PI * static_cast<double>(m) / nn;
      a[2 * m + 1] = to_float(std::cos(angle));
      a[2 * m + 2] = to_float(std::sin(angle));
    }
    four1(a.data(), nn, isign);
    const unsigned long bin = isign == 1 ? 1 : nn - 1;
    for (unsigned long k = 0; k < nn; ++k) {
      EXPECT_NEAR(a[2 * k + 1], k == bin ? 64.0 : 0.0, 1e-4) << k;
      EXPECT_NEAR(a[2 * k + 2], 0.0, 1e-4) << k;
    }
  }
}

TEST(Four1, ForwardThenReverseScalesByTheLength) {
  const unsigned long nn = 1024;
  GuardedArray a(2 * nn, 11);
  const GuardedArray x = a;
  four1(a.data(), nn, 1);
  four1(a.data(), nn, -1);
  for (unsigned long i = 1; i <= 2 * nn; ++i)
    EXPECT_NEAR(a[i] / nn, x.first()[i - 1], 2e-6) << i;
  EXPECT_TRUE(a.guards_intact());
}

TEST(Four1, FollowsTheStatedStepsBitForBit) {
  // Past 128 values a stage's twiddle factors no longer fit one chunk.
  for (unsigned long nn = 2; nn <= 8192; nn *= 2)
    for (int isign : {1, -1}) {
      GuardedArray a(2 * nn, static_cast<std::uint32_t>(nn));
      GuardedArray expected = a;
      four1(a.data(), nn, isign);
      steps::four1(expected.data(), nn, isign);
      EXPECT_TRUE(a.same_bits(expected)) << "nn=" << nn << " isign=" << isign;
      EXPECT_TRUE(a.guards_intact());
    }
}

// --- realft ------------------------------------------------------------------

TEST(Realft, TwoSamplesGiveSumAndDifference) {
  GuardedArray a(2);
  a[1] = 0.3f;
  a[2] = 1.7f;
  realft(a.data(), 2, 1);
  EXPECT_EQ(a[1], 0.3f + 1.7f);
  EXPECT_EQ(a[2], 0.3f - 1.7f);
  EXPECT_TRUE(a.guards_intact());
}

TEST(Realft, ConstantInputHasOnlyTheMean) {
  const unsigned long n = 64;
  GuardedArray a(n);
  for (unsigned long i = 1; i <= n; ++i) a[i] = 0.75f;
  realft(a.data(), n, 1);
  EXPECT_EQ(a[1], 48.0f);  // exact: only additions of equal values reach F(0)
  for (unsigned long i = 2; i <= n; ++i) EXPECT_NEAR(a[i], 0.0, 1e-5) << i;
}

TEST(Realft, ForwardThenInverseScalesByHalfTheLength) {
  for (unsigned long n : {4UL, 8UL, 4096UL}) {
    GuardedArray a(n, 5);
    const GuardedArray x = a;
    realft(a.data(), n, 1);
    realft(a.data(), n, -1);
    for (unsigned long i = 1; i <= n; ++i)
      EXPECT_NEAR(a[i] / (n / 2), x.first()[i - 1], 2e-6) << n << ' ' << i;
    EXPECT_TRUE(a.guards_intact());
  }
}

TEST(Realft, EverySignButOneRunsTheInverse) {
  GuardedArray minus_one(256, 3);
  GuardedArray zero = minus_one;
  GuardedArray seven = minus_one;
  realft(minus_one.data(), 256, -1);
  realft(zero.data(), 256, 0);
  realft(seven.data(), 256, 7);
  EXPECT_TRUE(zero.same_bits(minus_one));
  EXPECT_TRUE(seven.same_bits(minus_one));
}

TEST(Realft, FollowsTheStatedStepsBitForBit) {
  for (unsigned long n = 2; n <= 16384; n *= 2)
    for (int isign : {1, -1}) {
      GuardedArray a(n, static_cast<std::uint32_t>(3 * n));
      GuardedArray expected = a;
      realft(a.data(), n, isign);
      steps::realft(expected.data(), n, isign);
      EXPECT_TRUE(a.same_bits(expected)) << "n=" << n << " isign=" << isign;
      EXPECT_TRUE(a.guards_intact());
    }
}

// --- refused arguments -------------------------------------------------------

TEST(FftDeathTest, OneDimensionalLengthsAndSignsAreChecked) {
  GuardedArray a(64, 1);
  EXPECT_EXIT(four1(a.data(), 12, 1), ::testing::ExitedWithCode(1),
              fatal_report("four1: nn=12 is not a power of two"));
  EXPECT_EXIT(four1(a.data(), 3, -1), ::testing::ExitedWithCode(1),
              fatal_report("four1: nn=3 is not a power of two"));
  EXPECT_EXIT(four1(a.data(), 8, 0), ::testing::ExitedWithCode(1),
              fatal_report("four1: isign=0 is neither 1 nor -1"));
  EXPECT_EXIT(four1(a.data(), 1, 2), ::testing::ExitedWithCode(1),
              fatal_report("four1: isign=2 is neither 1 nor -1"));
  EXPECT_EXIT(realft(a.data(), 12, 1), ::testing::ExitedWithCode(1),
              fatal_report("realft: n=12 is not a power of two"));
  EXPECT_EXIT(realft(a.data(), 1, 1), ::testing::ExitedWithCode(1),
              fatal_report("realft: n=1 is below 2"));
  EXPECT_EXIT(realft(a.data(), 0, -1), ::testing::ExitedWithCode(1),
              fatal_report("realft: n=0 is below 2"));
}

}  // namespace
