// SPDX-License-Identifier: MIT
// One-dimensional transforms: four1 against FFTW's complex plan, realft
// against its real-to-complex plan, both in place.
#include "bench_support.h"
#include "cases.h"
#include "fft_routines.h"
#include "fftw_support.h"

#include <memory>

namespace {

using bench::FftwInPlace;

bench::Effort effort_for(std::size_t n) {
  return n >= (1u << 20) ? bench::heavy(30) : bench::kLight;
}

// The plan kinds a case compares with: both, or FFTW_MEASURE alone.
constexpr int kAllPlans = 0, kMeasureOnly = 1;

void register_four1(std::size_t nn, const std::string &prefix = "four1 ",
                    int first_plan = kAllPlans) {
  const std::string label = prefix + bench::size_label(nn);
  const std::vector<float> &input = bench::uniform_floats(2 * nn, bench::cases::kFour1Seed);
  auto ours = std::make_shared<ts::testing::Vec>(2 * nn);
  bench::register_in_place(
      label, bench::kOurs, effort_for(nn), [ours, &input] { ours->assign(input); },
      [ours, nn] { four1(ours->p(), nn, -1); });
  for (int kind = first_plan; kind < 2; ++kind) {
    auto peer = std::make_shared<FftwInPlace>(2 * nn, [nn, kind](float *buffer) {
      auto *c = reinterpret_cast<fftwf_complex *>(buffer);
      return fftwf_plan_dft_1d(static_cast<int>(nn), c, c, FFTW_FORWARD, bench::plan_flags(kind));
    });
    bench::register_in_place(
        label, bench::kPlanKinds[kind], effort_for(nn),
        [peer, &input] { peer->restore(input.data(), input.size()); }, [peer] { peer->execute(); });
  }
}

void register_realft(std::size_t n, const std::string &prefix = "realft ",
                     int first_plan = kAllPlans) {
  const std::string label = prefix + bench::size_label(n);
  const std::vector<float> &input = bench::uniform_floats(n, bench::cases::kRealftSeed);
  auto ours = std::make_shared<ts::testing::Vec>(n);
  bench::register_in_place(
      label, bench::kOurs, effort_for(n), [ours, &input] { ours->assign(input); },
      [ours, n] { realft(ours->p(), n, 1); });
  for (int kind = first_plan; kind < 2; ++kind) {
    // In place, the real-to-complex layout needs n + 2 floats.
    auto peer = std::make_shared<FftwInPlace>(n + 2, [n, kind](float *buffer) {
      return fftwf_plan_dft_r2c_1d(static_cast<int>(n), buffer,
                                   reinterpret_cast<fftwf_complex *>(buffer),
                                   bench::plan_flags(kind));
    });
    bench::register_in_place(
        label, bench::kPlanKinds[kind], effort_for(n),
        [peer, &input] { peer->restore(input.data(), input.size()); }, [peer] { peer->execute(); });
  }
}

}  // namespace

int main(int argc, char **argv) {
  for (std::size_t n : bench::cases::kFftSizes) register_four1(n);
  for (std::size_t n : bench::cases::kFftSizes) register_realft(n);
  for (int bits : bench::cases::kFftSweepBits)
    register_four1(std::size_t{1} << bits, "four1 sweep ", kMeasureOnly);
  for (int bits : bench::cases::kFftSweepBits)
    register_realft(std::size_t{1} << bits, "realft sweep ", kMeasureOnly);
  return bench::run_with_wisdom(argc, argv);
}
