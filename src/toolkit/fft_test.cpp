// SPDX-License-Identifier: MIT
// FFTs: documented layouts and identities, refused arguments, and the
// transforms against independent truth: a direct double-precision DFT for
// short lengths, FFTW in double precision for long ones (and FFTW in single
// precision as the yardstick of what float arithmetic allows). The stated
// steps, bit for bit, are in simd/fft_steps_test.cpp, built into this test.
//
// Error bounds. With eps = 2^-24 (the unit roundoff of float) and L = log2
// of the number of points, a radix-2 transform in float rounds each value
// about once per stage, so its error grows like L:
//   relative L2 error  ||got - truth|| / ||truth||        <= 0.5 eps (1 + L)
//   largest error      max |got - truth| / rms |truth|    <= 2 eps (1 + L)
// FFTW's own single-precision transforms measure about 0.17 eps L and
// 0.7 eps L on these inputs; ours must also stay within twice FFTW's L2 error.
// Sign: FFTW's sign argument is the exponent's sign, like isign, but its
// real-input transforms use exp(-...), the conjugate of ours.
#include "tissuesteward/fft.h"

#include "support/fatal_report.h"
#include "support/fft_volume.h"
#include "support/guarded.h"

#include <fftw3.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using ts::testing::fatal_report;
using ts::testing::RealVolume;
using ts::testing::signed_units;
using ts::testing::Vec;
using cd = std::complex<double>;
using cf = std::complex<float>;

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
  for (unsigned long i = 1; i <= 2 * nn; ++i) EXPECT_NEAR(a[i] / nn, x.first()[i - 1], 2e-6) << i;
  EXPECT_TRUE(a.guards_intact());
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

// --- against independent truth ------------------------------------------------

constexpr double kEps = 0x1p-24;

struct Error {
  double relative_l2;
  double max_over_rms;
};

Error error_of(const std::vector<cd> &got, const std::vector<cd> &truth) {
  double error_sq = 0.0, truth_sq = 0.0, largest = 0.0;
  for (std::size_t k = 0; k < truth.size(); ++k) {
    const double e = std::abs(got[k] - truth[k]);
    error_sq += e * e;
    truth_sq += std::norm(truth[k]);
    largest = std::max(largest, e);
  }
  const double rms = std::sqrt(truth_sq / static_cast<double>(truth.size()));
  return {std::sqrt(error_sq / truth_sq), largest / rms};
}

void expect_within_float_bounds(const Error &e, double points, const std::string &what) {
  const double stages = 1.0 + std::log2(points);
  EXPECT_LE(e.relative_l2, 0.5 * kEps * stages) << what;
  EXPECT_LE(e.max_over_rms, 2.0 * kEps * stages) << what;
}

// Interleaved floats first[0..2n-1] as n complex values.
std::vector<cd> as_complex(const float *first, std::size_t n) {
  std::vector<cd> out(n);
  for (std::size_t k = 0; k < n; ++k) out[k] = cd(first[2 * k], first[2 * k + 1]);
  return out;
}

// sum_m x(m) exp(isign 2 pi i m k / n) in double, the angle reduced exactly.
std::vector<cd> direct_dft(const std::vector<cd> &x, int isign) {
  const std::size_t n = x.size();
  std::vector<cd> out(n);
  for (std::size_t k = 0; k < n; ++k)
    for (std::size_t m = 0; m < n; ++m)
      out[k] += x[m] * std::polar(1.0, isign * 2.0 * M_PI * static_cast<double>(m * k % n) / n);
  return out;
}

// FFTW's complex transform of a row-major array with the given lengths.
template <class T>
std::vector<std::complex<T>> fftw_dft(std::vector<std::complex<T>> in, const std::vector<int> &dims,
                                      int sign) {
  std::vector<std::complex<T>> out(in.size());
  const int rank = static_cast<int>(dims.size());
  if constexpr (std::is_same_v<T, double>) {
    fftw_plan plan =
        fftw_plan_dft(rank, dims.data(), reinterpret_cast<fftw_complex *>(in.data()),
                      reinterpret_cast<fftw_complex *>(out.data()), sign, FFTW_ESTIMATE);
    fftw_execute(plan);
    fftw_destroy_plan(plan);
  } else {
    fftwf_plan plan =
        fftwf_plan_dft(rank, dims.data(), reinterpret_cast<fftwf_complex *>(in.data()),
                       reinterpret_cast<fftwf_complex *>(out.data()), sign, FFTW_ESTIMATE);
    fftwf_execute(plan);
    fftwf_destroy_plan(plan);
  }
  return out;
}

// FFTW's real-to-half-complex transform (exp(-...)): dims[last]/2 + 1
// values along the last axis.
std::vector<cd> fftw_r2c(std::vector<double> in, const std::vector<int> &dims) {
  std::size_t count = 1;
  for (std::size_t d = 0; d + 1 < dims.size(); ++d) count *= dims[d];
  std::vector<cd> out(count * (dims.back() / 2 + 1));
  fftw_plan plan = fftw_plan_dft_r2c(static_cast<int>(dims.size()), dims.data(), in.data(),
                                     reinterpret_cast<fftw_complex *>(out.data()), FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  return out;
}

// FFTW's half-complex-to-real transform (exp(+...)), the inverse of the above
// times the number of points. Overwrites its input, hence the copy.
std::vector<double> fftw_c2r(std::vector<cd> in, const std::vector<int> &dims) {
  std::size_t count = 1;
  for (int d : dims) count *= d;
  std::vector<double> out(count);
  fftw_plan plan =
      fftw_plan_dft_c2r(static_cast<int>(dims.size()), dims.data(),
                        reinterpret_cast<fftw_complex *>(in.data()), out.data(), FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  return out;
}

// --- four1 -------------------------------------------------------------------

TEST(Four1Truth, MatchesTheDirectSumForShortLengths) {
  for (unsigned long nn = 1; nn <= 256; nn *= 2)
    for (int isign : {1, -1}) {
      Vec a = signed_units(2 * nn, static_cast<std::uint32_t>(nn + 100));
      const std::vector<cd> truth = direct_dft(as_complex(a.first(), nn), isign);
      four1(a.p(), nn, isign);
      expect_within_float_bounds(error_of(as_complex(a.first(), nn), truth), nn,
                                 "nn=" + std::to_string(nn) + " isign=" + std::to_string(isign));
    }
}

TEST(Four1Truth, MatchesFftwUpToSixtyFourKiloPoints) {
  for (unsigned long nn : {1024UL, 8192UL, 65536UL})
    for (int isign : {1, -1}) {
      Vec a = signed_units(2 * nn, static_cast<std::uint32_t>(nn + isign));
      const std::vector<cd> x = as_complex(a.first(), nn);
      const std::vector<cd> truth = fftw_dft(x, {static_cast<int>(nn)}, isign);
      std::vector<cf> xf(nn);
      for (std::size_t k = 0; k < nn; ++k) xf[k] = cf(x[k]);
      const std::vector<cf> single = fftw_dft(xf, {static_cast<int>(nn)}, isign);

      four1(a.p(), nn, isign);
      const std::string what = "nn=" + std::to_string(nn) + " isign=" + std::to_string(isign);
      const Error ours = error_of(as_complex(a.first(), nn), truth);
      expect_within_float_bounds(ours, nn, what);
      const Error fftwf = error_of(std::vector<cd>(single.begin(), single.end()), truth);
      EXPECT_LE(ours.relative_l2, 2.0 * fftwf.relative_l2) << what;
      EXPECT_TRUE(a.guards_intact());
    }
}

// --- realft ------------------------------------------------------------------

// The packed spectrum of n real samples as F(0) .. F(n/2).
std::vector<cd> unpack_real_spectrum(const float *first, std::size_t n) {
  std::vector<cd> out(n / 2 + 1);
  out[0] = first[0];
  out[n / 2] = first[1];
  for (std::size_t k = 1; k < n / 2; ++k) out[k] = cd(first[2 * k], first[2 * k + 1]);
  return out;
}

std::vector<cd> conjugated(std::vector<cd> v) {
  for (cd &z : v) z = std::conj(z);
  return v;
}

TEST(RealftTruth, ForwardMatchesTheDirectSumAndFftw) {
  for (unsigned long n : {2UL, 8UL, 32UL, 128UL, 2048UL, 65536UL}) {
    Vec a = signed_units(n, static_cast<std::uint32_t>(n + 7));
    const std::vector<double> x(a.first(), a.first() + n);
    std::vector<cd> truth = conjugated(fftw_r2c(x, {static_cast<int>(n)}));
    if (n <= 128) {  // the direct sum as a second, independent witness
      const std::vector<cd> direct = direct_dft(std::vector<cd>(x.begin(), x.end()), 1);
      truth.assign(direct.begin(), direct.begin() + n / 2 + 1);
    }
    realft(a.p(), n, 1);
    expect_within_float_bounds(error_of(unpack_real_spectrum(a.first(), n), truth), n,
                               "n=" + std::to_string(n));
    EXPECT_TRUE(a.guards_intact());
  }
}

// Any packed array is a valid spectrum (F(0) and F(n/2) real, the rest free):
// the inverse returns n/2 times the samples r(j) = (1/n) sum F(k) exp(-...),
// which is half of FFTW's exp(+...) sum over the conjugate spectrum.
TEST(RealftTruth, InverseMatchesFftw) {
  for (unsigned long n = 4; n <= 65536; n *= 4) {
    Vec a = signed_units(n, static_cast<std::uint32_t>(n + 9));
    const std::vector<double> sums =
        fftw_c2r(conjugated(unpack_real_spectrum(a.first(), n)), {static_cast<int>(n)});
    std::vector<cd> truth(n);
    for (std::size_t j = 0; j < n; ++j) truth[j] = 0.5 * sums[j];
    realft(a.p(), n, -1);
    std::vector<cd> got(a.first(), a.first() + n);
    expect_within_float_bounds(error_of(got, truth), n, "n=" + std::to_string(n));
    EXPECT_TRUE(a.guards_intact());
  }
}

// --- fourn --------------------------------------------------------------------

std::string dims_name(const std::vector<int> &dims) {
  std::string name;
  for (int d : dims) name += (name.empty() ? "" : "x") + std::to_string(d);
  return name;
}

TEST(FournTruth, MatchesFftwInOneToFourDimensions) {
  const std::vector<std::vector<int>> shapes = {{65536},     {256, 64},   {64, 64, 64},
                                                {4, 32, 16}, {1, 128, 2}, {8, 4, 2, 16}};
  for (const auto &dims : shapes)
    for (int isign : {1, -1}) {
      std::vector<unsigned long> nn{0};
      std::size_t total = 1;
      for (int d : dims) {
        nn.push_back(static_cast<unsigned long>(d));
        total *= static_cast<std::size_t>(d);
      }
      Vec a = signed_units(2 * total, static_cast<std::uint32_t>(total + dims.size()));
      const std::vector<cd> x = as_complex(a.first(), total);
      const std::vector<cd> truth = fftw_dft(x, dims, isign);
      const std::vector<cf> single = fftw_dft(std::vector<cf>(x.begin(), x.end()), dims, isign);

      fourn(a.p(), nn.data(), static_cast<int>(dims.size()), isign);
      const std::string what = dims_name(dims) + " isign=" + std::to_string(isign);
      const Error ours = error_of(as_complex(a.first(), total), truth);
      expect_within_float_bounds(ours, static_cast<double>(total), what);
      const Error fftwf = error_of(std::vector<cd>(single.begin(), single.end()), truth);
      EXPECT_LE(ours.relative_l2, 2.0 * fftwf.relative_l2) << what;
      EXPECT_TRUE(a.guards_intact());
    }
}

// --- rlft3 --------------------------------------------------------------------

const std::vector<std::array<unsigned long, 3>> kVolumes = {{64, 64, 64}, {2, 4, 8},  {1, 1, 1024},
                                                            {16, 32, 8},  {32, 1, 2}, {1, 64, 4}};

std::vector<int> dims_of(const std::array<unsigned long, 3> &s) {
  return {static_cast<int>(s[0]), static_cast<int>(s[1]), static_cast<int>(s[2])};
}

// rlft3's packed spectrum in FFTW's order: (k1, k2, k3) for k3 = 0..nn3/2.
std::vector<cd> unpack_volume_spectrum(RealVolume &v, const std::array<unsigned long, 3> &s) {
  const unsigned long half = s[2] / 2;
  std::vector<cd> out;
  out.reserve(s[0] * s[1] * (half + 1));
  for (unsigned long i1 = 1; i1 <= s[0]; ++i1)
    for (unsigned long i2 = 1; i2 <= s[1]; ++i2) {
      const float *row = v.data()[i1][i2];
      for (unsigned long k3 = 0; k3 < half; ++k3)
        out.emplace_back(row[2 * k3 + 1], row[2 * k3 + 2]);
      out.emplace_back(v.speq()[i1][2 * i2 - 1], v.speq()[i1][2 * i2]);
    }
  return out;
}

TEST(Rlft3Truth, ForwardMatchesFftw) {
  for (const auto &s : kVolumes) {
    RealVolume v(s[0], s[1], s[2], 21);
    const std::vector<cd> truth =
        conjugated(fftw_r2c(std::vector<double>(v.first(), v.first() + v.size()), dims_of(s)));
    v.rlft3(1);
    expect_within_float_bounds(error_of(unpack_volume_spectrum(v, s), truth),
                               static_cast<double>(v.size()), dims_name(dims_of(s)));
  }
}

// The inverse of a consistent spectrum (that of real samples, rounded to
// float) against FFTW's exp(+...) sums over its conjugate, halved.
TEST(Rlft3Truth, InverseMatchesFftw) {
  for (const auto &s : kVolumes) {
    RealVolume v(s[0], s[1], s[2], 22);
    std::vector<cd> spectrum =
        fftw_r2c(std::vector<double>(v.first(), v.first() + v.size()), dims_of(s));
    for (cd &z : spectrum) z = cd(cf(z));
    const unsigned long half = s[2] / 2;
    std::size_t p = 0;
    for (unsigned long i1 = 1; i1 <= s[0]; ++i1)
      for (unsigned long i2 = 1; i2 <= s[1]; ++i2) {
        float *row = v.data()[i1][i2];
        for (unsigned long k3 = 0; k3 < half; ++k3, ++p) {
          row[2 * k3 + 1] = static_cast<float>(spectrum[p].real());
          row[2 * k3 + 2] = static_cast<float>(-spectrum[p].imag());
        }
        v.speq()[i1][2 * i2 - 1] = static_cast<float>(spectrum[p].real());
        v.speq()[i1][2 * i2] = static_cast<float>(-spectrum[p].imag());
        ++p;
      }
    const std::vector<double> sums = fftw_c2r(spectrum, dims_of(s));
    std::vector<cd> truth(sums.size());
    for (std::size_t j = 0; j < sums.size(); ++j) truth[j] = 0.5 * sums[j];
    v.rlft3(-1);
    expect_within_float_bounds(error_of(std::vector<cd>(v.first(), v.first() + v.size()), truth),
                               static_cast<double>(v.size()), dims_name(dims_of(s)));
  }
}

}  // namespace
