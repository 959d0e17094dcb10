// SPDX-License-Identifier: MIT
// Multi-dimensional transforms against FFTW in double precision, on the
// inputs of the benchmarks (uniform in [-1, 1)).
#include "accuracy.h"
#include "cases.h"
#include "fftn_routines.h"
#include "inputs.h"
#include "tissuesteward/arrays.h"

#include <fftw3.h>

namespace {

using bench::cases::Volume;
constexpr const char *kTruth = "FFTW double";
constexpr const char *kMetric = "max-norm error / max-norm of the spectrum";

void fourn_accuracy(bench::AccuracyReport &report) {
  const std::size_t n = bench::cases::kFournSide;
  const int side = static_cast<int>(n);
  const std::vector<float> &input = bench::uniform_floats(2 * n * n, bench::cases::kFournSeed);

  std::vector<double> truth(input.begin(), input.end());
  auto *c = reinterpret_cast<fftw_complex *>(truth.data());
  fftw_plan plan = fftw_plan_dft_2d(side, side, c, c, FFTW_FORWARD, FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);

  ts::testing::Vec ours(2 * n * n);
  ours.assign(input);
  unsigned long lengths[] = {0, n, n};
  fourn(ours.p(), lengths, 2, -1);

  std::vector<float> peer(input);
  auto *cf = reinterpret_cast<fftwf_complex *>(peer.data());
  fftwf_plan fplan = fftwf_plan_dft_2d(side, side, cf, cf, FFTW_FORWARD, FFTW_ESTIMATE);
  fftwf_execute(fplan);
  fftwf_destroy_plan(fplan);

  report.add({"fourn " + std::to_string(n) + "x" + std::to_string(n),
              kMetric,
              kTruth,
              bench::max_norm_error(ours.first(), truth),
              {{"FFTW float", bench::max_norm_error(peer, truth)}}});
}

// rlft3's spectrum F(k1, k2, k3) for k3 = 0..n3/2 in FFTW's r2c order, as
// (re, im) pairs; rlft3 uses exp(+), so FFTW's values are conjugated to match.
template <class Complex>
std::vector<double> r2c_order(const Complex *spectrum, std::size_t count, bool conjugate) {
  std::vector<double> out(2 * count);
  for (std::size_t i = 0; i < count; ++i) {
    out[2 * i] = spectrum[i][0];
    out[2 * i + 1] = conjugate ? -spectrum[i][1] : spectrum[i][1];
  }
  return out;
}

void rlft3_accuracy(bench::AccuracyReport &report, const Volume &v) {
  const std::size_t count = v.count(), half = v.n3 / 2 + 1;
  const std::size_t spectrum_count = v.n1 * v.n2 * half;
  const int n1 = static_cast<int>(v.n1), n2 = static_cast<int>(v.n2), n3 = static_cast<int>(v.n3);
  const std::vector<float> &input = bench::uniform_floats(count, bench::cases::kRlft3Seed);

  std::vector<double> samples(input.begin(), input.end());
  std::vector<fftw_complex> spectrum(spectrum_count);
  fftw_plan plan = fftw_plan_dft_r2c_3d(n1, n2, n3, samples.data(), spectrum.data(), FFTW_ESTIMATE);
  fftw_execute(plan);
  fftw_destroy_plan(plan);
  std::vector<double> truth = r2c_order(spectrum.data(), spectrum_count, true);
  std::vector<double>().swap(samples);
  std::vector<fftw_complex>().swap(spectrum);

  const long l1 = n1, l2 = n2, l3 = n3;
  float ***data = f3tensor(1, l1, 1, l2, 1, l3);
  float **speq = matrix(1, l1, 1, 2 * l2);
  std::memcpy(&data[1][1][1], input.data(), count * sizeof(float));
  rlft3(data, speq, v.n1, v.n2, v.n3, 1);
  std::vector<double> ours(2 * spectrum_count);
  for (std::size_t i1 = 0; i1 < v.n1; ++i1)
    for (std::size_t i2 = 0; i2 < v.n2; ++i2) {
      double *out = ours.data() + 2 * (i1 * v.n2 + i2) * half;
      const float *row = &data[i1 + 1][i2 + 1][1];
      for (std::size_t k = 0; k < v.n3; ++k) out[k] = row[k];
      out[v.n3] = speq[i1 + 1][2 * i2 + 1];
      out[v.n3 + 1] = speq[i1 + 1][2 * i2 + 2];
    }
  free_matrix(speq, 1, l1, 1, 2 * l2);
  free_f3tensor(data, 1, l1, 1, l2, 1, l3);

  std::vector<float> peer_in(input);
  std::vector<fftwf_complex> peer_out(spectrum_count);
  fftwf_plan fplan =
      fftwf_plan_dft_r2c_3d(n1, n2, n3, peer_in.data(), peer_out.data(), FFTW_ESTIMATE);
  fftwf_execute(fplan);
  fftwf_destroy_plan(fplan);
  std::vector<double> peer = r2c_order(peer_out.data(), spectrum_count, true);

  report.add({"rlft3 " + v.label(),
              kMetric,
              kTruth,
              bench::max_norm_error(ours, truth),
              {{"FFTW float", bench::max_norm_error(peer, truth)}}});
}

void run(bench::AccuracyReport &report) {
  fourn_accuracy(report);
  for (const Volume &v : bench::cases::kVolumes) rlft3_accuracy(report, v);
}

const bool registered = bench::register_accuracy_family("fftn", run);

}  // namespace
