// SPDX-License-Identifier: MIT
// FFTs: documented layouts and identities, the stated arithmetic bit for bit,
// refused arguments.
#include "tissuesteward/fft.h"

#include "support/fatal_report.h"
#include "toolkit/detail/offset.h"
#include "toolkit/detail/rounding.h"
#include "support/fft_volume.h"
#include "support/guarded.h"
#include "toolkit/fft_twiddles.h"
#include "toolkit/fft_twiddles/sin_constants.h"
#include "support/float_bits.h"
#include "support/mpfr_reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>
#include <vector>


namespace {

using ts::testing::signed_units;
using ts::testing::Vec;
using ts::testing::RealVolume;
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

void fourn(float data[], const unsigned long nn[], int ndim, int isign) {
  unsigned long ntot = 1;
  for (int idim = 1; idim <= ndim; ++idim) ntot *= nn[idim];
  unsigned long nprev = 1;
  for (int idim = ndim; idim >= 1; --idim) {
    const unsigned long n = nn[idim];
    const unsigned long nrem = ntot / (n * nprev);
    const unsigned long ip1 = 2 * nprev, ip2 = ip1 * n, ip3 = ip2 * nrem;
    unsigned long i2rev = 1;
    for (unsigned long i2 = 1; i2 <= ip2; i2 += ip1) {
      if (i2 < i2rev)
        for (unsigned long i1 = i2; i1 <= i2 + ip1 - 2; i1 += 2)
          for (unsigned long i3 = i1; i3 <= ip3; i3 += ip2) {
            const unsigned long i3rev = i2rev + i3 - i2;
            std::swap(data[i3], data[i3rev]);
            std::swap(data[i3 + 1], data[i3rev + 1]);
          }
      unsigned long ibit = ip2 >> 1;
      while (ibit >= ip1 && i2rev > ibit) {
        i2rev -= ibit;
        ibit >>= 1;
      }
      i2rev += ibit;
    }
    for (unsigned long ifp1 = ip1; ifp1 < ip2; ifp1 *= 2) {
      const unsigned long ifp2 = 2 * ifp1;
      const double theta = (isign * kTwoPiShort) / static_cast<double>(ifp2 / ip1);
      const double wtemp = sin_d(0.5 * theta);
      const double wpr = -2.0 * wtemp * wtemp;
      const double wpi = sin_d(theta);
      double wr = 1.0;
      double wi = 0.0;
      for (unsigned long i3 = 1; i3 <= ifp1; i3 += ip1) {
        const float wrf = to_float(wr);
        const float wif = to_float(wi);
        for (unsigned long i1 = i3; i1 <= i3 + ip1 - 2; i1 += 2)
          for (unsigned long i2 = i1; i2 <= ip3; i2 += ifp2) {
            const unsigned long k1 = i2, k2 = k1 + ifp1;
            const float tempr = wrf * data[k2] - wif * data[k2 + 1];
            const float tempi = wrf * data[k2 + 1] + wif * data[k2];
            data[k2] = data[k1] - tempr;
            data[k2 + 1] = data[k1 + 1] - tempi;
            data[k1] = data[k1] + tempr;
            data[k1 + 1] = data[k1 + 1] + tempi;
          }
        advance(wr, wi, wpr, wpi);
      }
    }
    nprev *= n;
  }
}

void rlft3(float ***data, float **speq, unsigned long nn1, unsigned long nn2, unsigned long nn3,
           int isign) {
  const float c1 = 0.5f;
  const float c2 = to_float(-0.5 * isign);
  const double theta = (kTwoPiShort / static_cast<double>(nn3)) * isign;
  const double wtemp = sin_d(0.5 * theta);
  const double wpr = -2.0 * wtemp * wtemp;
  const double wpi = sin_d(theta);
  const unsigned long nn[4] = {0, nn1, nn2, nn3 >> 1};
  float *view = ts::detail::offset_handle(&data[1][1][1], 1);
  if (isign == 1) {
    fourn(view, nn, 3, 1);
    for (unsigned long i1 = 1; i1 <= nn1; ++i1)
      for (unsigned long i2 = 1; i2 <= nn2; ++i2) {
        speq[i1][2 * i2 - 1] = data[i1][i2][1];
        speq[i1][2 * i2] = data[i1][i2][2];
      }
  }
  for (unsigned long i1 = 1; i1 <= nn1; ++i1) {
    const unsigned long j1 = i1 == 1 ? 1 : nn1 + 2 - i1;
    double wr = 1.0;
    double wi = 0.0;
    for (unsigned long i3 = 1; i3 <= (nn3 >> 2) + 1; ++i3) {
      const unsigned long ii3 = 2 * i3 - 1, j3 = nn3 + 3 - 2 * i3;
      for (unsigned long i2 = 1; i2 <= nn2; ++i2) {
        float *a = data[i1][i2];
        if (i3 == 1) {
          const unsigned long j2 = i2 == 1 ? 1 : 2 * (nn2 - i2) + 3;
          float *s = speq[j1];
          const float h1r = c1 * (a[1] + s[j2]);
          const float h1i = c1 * (a[2] - s[j2 + 1]);
          const float h2i = c2 * (a[1] - s[j2]);
          const float h2r = -c2 * (a[2] + s[j2 + 1]);
          a[1] = h1r + h2r;
          a[2] = h1i + h2i;
          s[j2] = h1r - h2r;
          s[j2 + 1] = h2i - h1i;
        } else {
          const unsigned long j2 = i2 == 1 ? 1 : nn2 + 2 - i2;
          float *b = data[j1][j2];
          const float h1r = c1 * (a[ii3] + b[j3]);
          const float h1i = c1 * (a[ii3 + 1] - b[j3 + 1]);
          const float h2i = c2 * (a[ii3] - b[j3]);
          const float h2r = -c2 * (a[ii3 + 1] + b[j3 + 1]);
          a[ii3] = to_float(h1r + wr * h2r - wi * h2i);
          a[ii3 + 1] = to_float(h1i + wr * h2i + wi * h2r);
          b[j3] = to_float(h1r - wr * h2r + wi * h2i);
          b[j3 + 1] = to_float(-h1i + wr * h2i + wi * h2r);
        }
      }
      advance(wr, wi, wpr, wpi);
    }
  }
  if (isign == -1) fourn(view, nn, 3, -1);
}

}  // namespace steps

// --- twiddle tables ------------------------------------------------------------

TEST(FftTwiddles, SinConstantsAreThePlatformsAndCorrectlyRounded) {
  using ts::fft_twiddles::kSinPiOver;
  using ts::fft_twiddles::kSinTwoPiOver;
  using ts::testing::bits;
  auto correctly_rounded_sin = ts::testing::double_reference(mpfr_sin);  // rounds once
  for (int k = 0; k < 18; ++k) {
    const double two_pi_part = std::ldexp(steps::kTwoPiShort, -k);
    const double pi_part = std::ldexp(3.141592653589793, -k);
    EXPECT_EQ(bits(kSinTwoPiOver[k]), bits(sin_d(two_pi_part))) << k;
    EXPECT_EQ(bits(kSinTwoPiOver[k]), bits(correctly_rounded_sin(two_pi_part))) << k;
    EXPECT_EQ(bits(kSinPiOver[k]), bits(sin_d(pi_part))) << k;
    EXPECT_EQ(bits(kSinPiOver[k]), bits(correctly_rounded_sin(pi_part))) << k;
  }
}

// Each block of each table is the recurrence the routines run, from the
// platform's sin, for the positive sign; the negative sign reaches the same
// wr and 0 - wi (-wi, but +0 at the factor 1) at every shipped length.
TEST(FftTwiddles, TablesHoldTheRecurrenceOfBothSigns) {
  using namespace ts::fft_twiddles;
  using ts::testing::bits;
  struct Table {
    const char *name;
    const double *wr, *wi;
    double angle_numerator;  // block `count` steps by this / (2 count)
  };
  for (const Table &t : {Table{"stage", kStageWr, kStageWi, steps::kTwoPiShort},
                         Table{"real", kRealWr, kRealWi, 3.141592653589793}})
    for (unsigned long count = 1; count <= kMaxCount; count *= 2)
      for (int isign : {1, -1}) {
        const double theta = isign * t.angle_numerator / static_cast<double>(2 * count);
        const double wtemp = sin_d(0.5 * theta);
        const double wpr = -2.0 * wtemp * wtemp;
        const double wpi = sin_d(theta);
        double wr = 1.0, wi = 0.0;
        unsigned long mismatches = 0;
        for (unsigned long g = 0; g < count; ++g) {
          const double table_wi = isign > 0 ? t.wi[count - 1 + g] : 0.0 - t.wi[count - 1 + g];
          if (bits(wr) != bits(t.wr[count - 1 + g]) || bits(wi) != bits(table_wi)) ++mismatches;
          steps::advance(wr, wi, wpr, wpi);
        }
        EXPECT_EQ(mismatches, 0UL) << t.name << " count=" << count << " isign=" << isign;
      }
}

// --- four1 -------------------------------------------------------------------

TEST(Four1, LengthsZeroAndOneLeaveTheDataAlone) {
  for (unsigned long nn : {0UL, 1UL}) {
    Vec a = signed_units(2 * nn, 7);
    Vec before = a;
    four1(a.p(), nn, 1);
    four1(a.p(), nn, -1);
    EXPECT_TRUE(a.same_bits(before));
    EXPECT_TRUE(a.guards_intact());
  }
}

TEST(Four1, ForwardThenReverseScalesByTheLength) {
  const unsigned long nn = 1024;
  Vec a = signed_units(2 * nn, 11);
  const Vec x = a;
  four1(a.p(), nn, 1);
  four1(a.p(), nn, -1);
  for (unsigned long i = 1; i <= 2 * nn; ++i)
    EXPECT_NEAR(a[i] / nn, x.first()[i - 1], 2e-6) << i;
  EXPECT_TRUE(a.guards_intact());
}

TEST(Four1, FollowsTheStatedStepsBitForBit) {
  // Every length up to past one cache block, and one whose longest stages
  // lie beyond the twiddle tables.
  std::vector<unsigned long> lengths;
  for (unsigned long nn = 2; nn <= 16384; nn *= 2) lengths.push_back(nn);
  lengths.push_back(1UL << 17);
  for (unsigned long nn : lengths)
    for (int isign : {1, -1}) {
      Vec a = signed_units(2 * nn, static_cast<std::uint32_t>(nn));
      Vec expected = a;
      four1(a.p(), nn, isign);
      steps::four1(expected.p(), nn, isign);
      EXPECT_TRUE(a.same_bits(expected)) << "nn=" << nn << " isign=" << isign;
      EXPECT_TRUE(a.guards_intact());
    }
}

// --- realft ------------------------------------------------------------------

TEST(Realft, TwoSamplesGiveSumAndDifference) {
  Vec a(2);
  a[1] = 0.3f;
  a[2] = 1.7f;
  realft(a.p(), 2, 1);
  EXPECT_EQ(a[1], 0.3f + 1.7f);
  EXPECT_EQ(a[2], 0.3f - 1.7f);
  EXPECT_TRUE(a.guards_intact());
}

TEST(Realft, ConstantInputHasOnlyTheMean) {
  const unsigned long n = 64;
  Vec a(n);
  for (unsigned long i = 1; i <= n; ++i) a[i] = 0.75f;
  realft(a.p(), n, 1);
  EXPECT_EQ(a[1], 48.0f);  // exact: only additions of equal values reach F(0)
  for (unsigned long i = 2; i <= n; ++i) EXPECT_NEAR(a[i], 0.0, 1e-5) << i;
}

TEST(Realft, ForwardThenInverseScalesByHalfTheLength) {
  for (unsigned long n : {4UL, 8UL, 4096UL}) {
    Vec a = signed_units(n, 5);
    const Vec x = a;
    realft(a.p(), n, 1);
    realft(a.p(), n, -1);
    for (unsigned long i = 1; i <= n; ++i)
      EXPECT_NEAR(a[i] / (n / 2), x.first()[i - 1], 2e-6) << n << ' ' << i;
    EXPECT_TRUE(a.guards_intact());
  }
}

TEST(Realft, EverySignButOneRunsTheInverse) {
  Vec minus_one = signed_units(256, 3);
  Vec zero = minus_one;
  Vec seven = minus_one;
  realft(minus_one.p(), 256, -1);
  realft(zero.p(), 256, 0);
  realft(seven.p(), 256, 7);
  EXPECT_TRUE(zero.same_bits(minus_one));
  EXPECT_TRUE(seven.same_bits(minus_one));
}

TEST(Realft, FollowsTheStatedStepsBitForBit) {
  // Up to past one cache block, and one whose untangling lies beyond the
  // twiddle tables.
  std::vector<unsigned long> lengths;
  for (unsigned long n = 2; n <= 32768; n *= 2) lengths.push_back(n);
  lengths.push_back(1UL << 18);
  for (unsigned long n : lengths)
    for (int isign : {1, -1}) {
      Vec a = signed_units(n, static_cast<std::uint32_t>(3 * n));
      Vec expected = a;
      realft(a.p(), n, isign);
      steps::realft(expected.p(), n, isign);
      EXPECT_TRUE(a.same_bits(expected)) << "n=" << n << " isign=" << isign;
      EXPECT_TRUE(a.guards_intact());
    }
}

// --- fourn --------------------------------------------------------------------

TEST(Fourn, NoDimensionsLeaveTheDataAlone) {
  Vec a = signed_units(16, 2);
  const Vec before = a;
  unsigned long nn[2] = {0, 8};
  fourn(a.p(), nn, 0, 1);
  fourn(a.p(), nn, -3, -1);
  EXPECT_TRUE(a.same_bits(before));
  EXPECT_TRUE(a.guards_intact());
}

TEST(Fourn, DimensionsOfLengthOneChangeNothing) {
  Vec one_d = signed_units(16, 4);
  Vec with_ones = one_d;
  unsigned long line[2] = {0, 8};
  unsigned long padded[5] = {0, 1, 8, 1, 1};
  fourn(one_d.p(), line, 1, -1);
  fourn(with_ones.p(), padded, 4, -1);
  EXPECT_TRUE(with_ones.same_bits(one_d));
  EXPECT_TRUE(with_ones.guards_intact());
}

// An impulse at (m1, m2) = (1, 3) of a (4, 8) array: X(k1, k2) =
// exp(+2 pi i (k1/4 + 3 k2/8)) at complex position 8 k1 + k2.
TEST(Fourn, TwoDimensionsAreRowMajorWithTheLastIndexFastest) {
  Vec a(64);
  for (int i = 1; i <= 64; ++i) a[i] = 0.0f;
  a[2 * (1 * 8 + 3) + 1] = 1.0f;
  unsigned long nn[3] = {0, 4, 8};
  fourn(a.p(), nn, 2, 1);
  for (int k1 = 0; k1 < 4; ++k1)
    for (int k2 = 0; k2 < 8; ++k2) {
      const double angle = 2.0 * M_PI * (k1 / 4.0 + 3.0 * k2 / 8.0);
      const int p = k1 * 8 + k2;
      EXPECT_NEAR(a[2 * p + 1], std::cos(angle), 1e-6) << k1 << ',' << k2;
      EXPECT_NEAR(a[2 * p + 2], std::sin(angle), 1e-6) << k1 << ',' << k2;
    }

  Vec b = signed_units(64, 8);
  const Vec x = b;
  fourn(b.p(), nn, 2, 1);
  fourn(b.p(), nn, 2, -1);
  for (int i = 1; i <= 64; ++i) EXPECT_NEAR(b[i] / 32, x.first()[i - 1], 1e-6) << i;
  EXPECT_TRUE(b.guards_intact());
}

TEST(Fourn, FollowsTheStatedStepsBitForBit) {
  // Lengths of 1 in every position, strides above and below one twiddle
  // chunk, four dimensions.
  const std::vector<std::vector<unsigned long>> shapes = {
      {2},       {1024},      {4, 8},        {256, 4}, {4, 256},
      {2, 4, 8}, {16, 1, 32}, {8, 16, 16},   {1, 1, 2}, {2, 2, 2, 2},
      {4, 1, 8, 2}, {2, 1UL << 17}, {1UL << 17, 2}, {32, 512}};
  for (const auto &shape : shapes)
    for (int isign : {1, -1}) {
      std::vector<unsigned long> nn{0};
      nn.insert(nn.end(), shape.begin(), shape.end());
      unsigned long total = 1;
      for (unsigned long n : shape) total *= n;
      Vec a = signed_units(2 * total, static_cast<std::uint32_t>(total + shape.size()));
      Vec expected = a;
      fourn(a.p(), nn.data(), static_cast<int>(shape.size()), isign);
      steps::fourn(expected.p(), nn.data(), static_cast<int>(shape.size()), isign);
      EXPECT_TRUE(a.same_bits(expected)) << "total=" << total << " isign=" << isign;
      EXPECT_TRUE(a.guards_intact());
    }
}

// --- rlft3 --------------------------------------------------------------------

// One row is the 1-D real transform, except that F(n/2) moves to speq[1][1]
// and both imaginary slots of the real values F(0), F(n/2) hold 0.
TEST(Rlft3, OneRowIsTheRealTransformWithTheNyquistValueMoved) {
  const unsigned long n = 64;
  RealVolume v(1, 1, n, 12);
  Vec line(n);
  std::copy(v.first(), v.first() + n, line.first());
  v.rlft3(1);
  realft(line.p(), n, 1);
  EXPECT_NEAR(v.data()[1][1][1], line[1], 1e-5);
  EXPECT_EQ(v.data()[1][1][2], 0.0f);
  EXPECT_NEAR(v.speq()[1][1], line[2], 1e-5);
  EXPECT_EQ(v.speq()[1][2], 0.0f);
  for (unsigned long i = 3; i <= n; ++i) EXPECT_NEAR(v.data()[1][1][i], line[i], 1e-5) << i;
}

TEST(Rlft3, ForwardThenInverseScalesByHalfThePoints) {
  for (const auto &shape : std::vector<std::array<unsigned long, 3>>{{2, 4, 8}, {8, 4, 16}}) {
    RealVolume v(shape[0], shape[1], shape[2], 13);
    const RealVolume x = v;
    v.rlft3(1);
    v.rlft3(-1);
    const double scale = static_cast<double>(v.size()) / 2;  // 32 for (2, 4, 8)
    for (std::size_t i = 0; i < v.size(); ++i)
      EXPECT_NEAR(v.first()[i] / scale, x.first()[i], 1e-6) << i;
  }
}

TEST(Rlft3, FollowsTheStatedStepsBitForBit) {
  // Lengths of 1 and 2 where mirrors meet themselves, and a third axis long
  // enough that its planes take more than one twiddle chunk.
  const std::vector<std::array<unsigned long, 3>> shapes = {
      {1, 1, 2}, {1, 1, 4}, {1, 1, 64}, {2, 4, 8}, {4, 4, 4},  {8, 2, 16},
      {1, 8, 2}, {16, 1, 8}, {4, 8, 32}, {2, 2, 1024}, {1, 2, 1UL << 17}};
  for (const auto &s : shapes)
    for (int isign : {1, -1}) {
      RealVolume v(s[0], s[1], s[2], static_cast<std::uint32_t>(s[0] * s[1] * s[2]));
      RealVolume expected = v;
      v.rlft3(isign);
      steps::rlft3(expected.data(), expected.speq(), s[0], s[1], s[2], isign);
      EXPECT_TRUE(v.same_bits(expected))
          << s[0] << 'x' << s[1] << 'x' << s[2] << " isign=" << isign;
    }
}

// --- refused arguments -------------------------------------------------------

TEST(FftDeathTest, OneDimensionalLengthsAndSignsAreChecked) {
  Vec a = signed_units(64, 1);
  EXPECT_EXIT(four1(a.p(), 12, 1), ::testing::ExitedWithCode(1),
              fatal_report("four1: nn=12 is not a power of two"));
  EXPECT_EXIT(four1(a.p(), 3, -1), ::testing::ExitedWithCode(1),
              fatal_report("four1: nn=3 is not a power of two"));
  EXPECT_EXIT(four1(a.p(), 8, 0), ::testing::ExitedWithCode(1),
              fatal_report("four1: isign=0 is neither 1 nor -1"));
  EXPECT_EXIT(four1(a.p(), 1, 2), ::testing::ExitedWithCode(1),
              fatal_report("four1: isign=2 is neither 1 nor -1"));
  EXPECT_EXIT(realft(a.p(), 12, 1), ::testing::ExitedWithCode(1),
              fatal_report("realft: n=12 is not a power of two"));
  EXPECT_EXIT(realft(a.p(), 1, 1), ::testing::ExitedWithCode(1),
              fatal_report("realft: n=1 is below 2"));
  EXPECT_EXIT(realft(a.p(), 0, -1), ::testing::ExitedWithCode(1),
              fatal_report("realft: n=0 is below 2"));
}

TEST(FftDeathTest, MultiDimensionalLengthsAndSignsAreChecked) {
  Vec a = signed_units(64, 1);
  unsigned long bad_second[3] = {0, 4, 12};
  unsigned long empty_first[3] = {0, 0, 4};
  unsigned long fine[3] = {0, 4, 8};
  EXPECT_EXIT(fourn(a.p(), bad_second, 2, 1), ::testing::ExitedWithCode(1),
              fatal_report("fourn: nn[2]=12 is not a power of two"));
  EXPECT_EXIT(fourn(a.p(), empty_first, 2, -1), ::testing::ExitedWithCode(1),
              fatal_report("fourn: nn[1]=0 is not a power of two"));
  EXPECT_EXIT(fourn(a.p(), fine, 2, 0), ::testing::ExitedWithCode(1),
              fatal_report("fourn: isign=0 is neither 1 nor -1"));

  RealVolume v(2, 4, 8, 1);
  EXPECT_EXIT(rlft3(v.data(), v.speq(), 2, 4, 1, 1), ::testing::ExitedWithCode(1),
              fatal_report("rlft3: nn3=1 is below 2"));
  EXPECT_EXIT(rlft3(v.data(), v.speq(), 2, 3, 8, 1), ::testing::ExitedWithCode(1),
              fatal_report("rlft3: nn2=3 is not a power of two"));
  EXPECT_EXIT(rlft3(v.data(), v.speq(), 0, 4, 8, -1), ::testing::ExitedWithCode(1),
              fatal_report("rlft3: nn1=0 is not a power of two"));
  EXPECT_EXIT(rlft3(v.data(), v.speq(), 2, 4, 8, 2), ::testing::ExitedWithCode(1),
              fatal_report("rlft3: isign=2 is neither 1 nor -1"));
}

// A tensor that is not one block ends the process with status 1 and writes
// nothing at all. Each statement runs in a child, so re-aimed row pointers
// never reach the parent's release.
TEST(FftDeathTest, Rlft3LeavesSilentlyUnlessTheTensorIsOneBlock) {
  RealVolume v(4, 1, 8, 1);
  std::vector<float> other_block(9);
  float *elsewhere = other_block.data();  // elsewhere[1..8]
  // The last row in a block of its own: first and last elements too far apart.
  EXPECT_EXIT((v.data()[4][1] = elsewhere, v.rlft3(1)), ::testing::ExitedWithCode(1), "^$");
  // Only a middle row elsewhere: first and last still the right distance apart.
  EXPECT_EXIT((v.data()[2][1] = elsewhere, v.rlft3(-1)), ::testing::ExitedWithCode(1), "^$");
  // Rows of 8 floats read as rows of 4.
  EXPECT_EXIT(rlft3(v.data(), v.speq(), 4, 1, 4, 1), ::testing::ExitedWithCode(1), "^$");
}

}  // namespace
