// SPDX-License-Identifier: MIT
// The FFTs' stated steps, transcribed loop for loop: the scalar reference
// that the library's transforms must match bit for bit. Built into fft_test,
// which ctest also runs once per vector target, so each target's kernels are
// held to these steps; and the twiddle tables, checked against the
// recurrence the steps run.
#include "tissuesteward/fft.h"

#include "support/fft_volume.h"
#include "support/float_bits.h"
#include "support/guarded.h"
#include "support/mpfr_reference.h"
#include "toolkit/detail/offset.h"
#include "toolkit/detail/rounding.h"
#include "toolkit/fft_twiddles.h"
#include "toolkit/fft_twiddles/sin_constants.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

namespace {

using ts::detail::to_float;
using ts::detail::widen;
using ts::testing::RealVolume;
using ts::testing::signed_units;
using ts::testing::Vec;

// The loop-for-loop rendering takes its sins from the C library, as
// written; the library's exact tables must agree with it.
double sin_d(double x) { return std::sin(x); }

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
  for (int k = 0; k < 65; ++k) {
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

// --- the transforms against the steps ----------------------------------------

// The library's transform and the steps on copies of one seeded input, with
// `transform(data, isign)` for both: the same bits, the guards intact.
template <class Library, class Reference>
void expect_same_as_steps(unsigned long floats, std::uint32_t seed, Library library,
                          Reference reference, const std::string &what) {
  for (int isign : {1, -1}) {
    Vec a = signed_units(static_cast<long>(floats), seed);
    Vec expected = a;
    library(a.p(), isign);
    reference(expected.p(), isign);
    EXPECT_TRUE(a.same_bits(expected)) << what << " isign=" << isign;
    EXPECT_TRUE(a.guards_intact()) << what << " isign=" << isign;
  }
}

TEST(Four1, MatchesTheReferenceLoopsBitForBit) {
  // Every length up to past one cache block, and one whose longest stages
  // lie beyond the twiddle tables.
  std::vector<unsigned long> lengths;
  for (unsigned long nn = 2; nn <= 16384; nn *= 2) lengths.push_back(nn);
  lengths.push_back(1UL << 17);
  for (unsigned long nn : lengths)
    expect_same_as_steps(
        2 * nn, static_cast<std::uint32_t>(nn), [nn](float *d, int isign) { four1(d, nn, isign); },
        [nn](float *d, int isign) { steps::four1(d, nn, isign); }, "nn=" + std::to_string(nn));
}

TEST(Realft, MatchesTheReferenceLoopsBitForBit) {
  // Up to past one cache block, and one whose untangling lies beyond the
  // twiddle tables.
  std::vector<unsigned long> lengths;
  for (unsigned long n = 2; n <= 32768; n *= 2) lengths.push_back(n);
  lengths.push_back(1UL << 18);
  for (unsigned long n : lengths)
    expect_same_as_steps(
        n, static_cast<std::uint32_t>(3 * n), [n](float *d, int isign) { realft(d, n, isign); },
        [n](float *d, int isign) { steps::realft(d, n, isign); }, "n=" + std::to_string(n));
}

TEST(Fourn, MatchesTheReferenceLoopsBitForBit) {
  // Lengths of 1 in every position, strides above and below one twiddle
  // chunk, four dimensions.
  const std::vector<std::vector<unsigned long>> shapes = {
      {2},          {1024},         {4, 8},         {256, 4},  {4, 256},
      {2, 4, 8},    {16, 1, 32},    {8, 16, 16},    {1, 1, 2}, {2, 2, 2, 2},
      {4, 1, 8, 2}, {2, 1UL << 17}, {1UL << 17, 2}, {32, 512}};
  for (const auto &shape : shapes) {
    std::vector<unsigned long> nn{0};
    nn.insert(nn.end(), shape.begin(), shape.end());
    const int ndim = static_cast<int>(shape.size());
    unsigned long total = 1;
    for (unsigned long n : shape) total *= n;
    expect_same_as_steps(
        2 * total, static_cast<std::uint32_t>(total + shape.size()),
        [&](float *d, int isign) { fourn(d, nn.data(), ndim, isign); },
        [&](float *d, int isign) { steps::fourn(d, nn.data(), ndim, isign); },
        "total=" + std::to_string(total));
  }
}

TEST(Rlft3, MatchesTheReferenceLoopsBitForBit) {
  // Lengths of 1 and 2 where mirrors meet themselves, and a third axis long
  // enough that its planes take more than one twiddle chunk.
  const std::vector<std::array<unsigned long, 3>> shapes = {
      {1, 1, 2}, {1, 1, 4},  {1, 1, 64}, {2, 4, 8},    {4, 4, 4},        {8, 2, 16},
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

}  // namespace
