// SPDX-License-Identifier: MIT
// One-dimensional transforms against FFTW in double precision, on the inputs
// of the benchmarks (uniform in [-1, 1)).
#include "accuracy.h"
#include "cases.h"
#include "fft_routines.h"
#include "inputs.h"

#include <fftw3.h>

namespace {

constexpr const char *kTruth = "FFTW double";
constexpr const char *kMetric = "max-norm error / max-norm of the spectrum";

// The spectrum of the widened input by a double-precision complex plan.
std::vector<double> complex_truth(const std::vector<float> &input, std::size_t nn, int sign) {
  std::vector<double> data(input.begin(), input.end());
  auto *c = reinterpret_cast<fftw_complex *>(data.data());
  fftw_plan plan = fftw_plan_dft_1d(static_cast<int>(nn), c, c, sign, FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  return data;
}

void four1_accuracy(bench::AccuracyReport &report, std::size_t nn) {
  const std::vector<float> &input = bench::uniform_floats(2 * nn, bench::cases::kFour1Seed);
  std::vector<double> truth = complex_truth(input, nn, FFTW_FORWARD);

  ts::testing::Vec ours(2 * nn);
  ours.assign(input);
  four1(ours.p(), nn, -1);

  std::vector<float> peer(input);
  auto *c = reinterpret_cast<fftwf_complex *>(peer.data());
  fftwf_plan plan = fftwf_plan_dft_1d(static_cast<int>(nn), c, c, FFTW_FORWARD, FFTW_ESTIMATE);
  fftwf_execute(plan);
  fftwf_destroy_plan(plan);

  report.add({"four1 " + bench::size_label(nn),
              kMetric,
              kTruth,
              bench::max_norm_error(ours.first(), truth),
              {{"FFTW float", bench::max_norm_error(peer, truth)}}});
}

// realft's packed layout: F(0), F(n/2), then Re/Im of F(1..n/2-1), with
// F(k) = sum r(j) exp(+2 pi i jk/n), the conjugate of FFTW's r2c output.
template <class Complex>
std::vector<double> packed_conjugate(const Complex &spectrum, std::size_t n) {
  std::vector<double> packed(n);
  packed[0] = spectrum[0][0];
  packed[1] = spectrum[n / 2][0];
  for (std::size_t k = 1; k < n / 2; ++k) {
    packed[2 * k] = spectrum[k][0];
    packed[2 * k + 1] = -spectrum[k][1];
  }
  return packed;
}

void realft_accuracy(bench::AccuracyReport &report, std::size_t n) {
  const std::vector<float> &input = bench::uniform_floats(n, bench::cases::kRealftSeed);

  std::vector<double> samples(input.begin(), input.end());
  std::vector<fftw_complex> spectrum(n / 2 + 1);
  fftw_plan plan =
      fftw_plan_dft_r2c_1d(static_cast<int>(n), samples.data(), spectrum.data(), FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  std::vector<double> truth = packed_conjugate(spectrum, n);

  ts::testing::Vec ours(n);
  ours.assign(input);
  realft(ours.p(), n, 1);

  std::vector<float> peer_in(input);
  std::vector<fftwf_complex> peer_out(n / 2 + 1);
  fftwf_plan fplan =
      fftwf_plan_dft_r2c_1d(static_cast<int>(n), peer_in.data(), peer_out.data(), FFTW_ESTIMATE);
  fftwf_execute(fplan);
  fftwf_destroy_plan(fplan);
  std::vector<double> peer = packed_conjugate(peer_out, n);

  report.add({"realft " + bench::size_label(n),
              kMetric,
              kTruth,
              bench::max_norm_error(ours.first(), truth),
              {{"FFTW float", bench::max_norm_error(peer, truth)}}});
}

void run(bench::AccuracyReport &report) {
  for (std::size_t n : bench::cases::kFftSizes) four1_accuracy(report, n);
  for (std::size_t n : bench::cases::kFftSizes) realft_accuracy(report, n);
}

const bool registered = bench::register_accuracy_family("fft", run);

}  // namespace
