// SPDX-License-Identifier: MIT
// The FFT kernels against the scalar kernels: every stage shape from one
// group per block (all odd elements) to several vectors' worth, misaligned
// starts, both signs, awkward values in the data and in the factors.
#include "support/simd_kernels.h"

namespace ts::testing {
namespace {

using namespace ts::simd;

// Twiddle factors: awkward floats carried into double, plus a few doubles
// no float holds, and the factor 1 that every stage starts with.
std::vector<double> factors(std::size_t count, std::uint32_t seed) {
  const std::vector<float> f = awkward_floats(count, seed);
  std::vector<double> out(f.begin(), f.end());
  for (std::size_t i = 0; i < count; i += 3)
    out[i] = 0.7071067811865476 + 1e-12 * static_cast<double>(i);
  if (count > 0) out[0] = seed % 2 ? 1.0 : 0.0;
  return out;
}

// Runs `apply(kernels, data)` on copies of one input with the scalar and the
// vector kernels and compares the results bit for bit.
template <class Apply>
void same_as_scalar(const Kernels &ref, const Kernels &vec, std::size_t floats, std::uint32_t seed,
                    Apply apply) {
  const std::vector<float> input = awkward_floats(floats, seed);
  std::vector<float> want = input, got = input;
  apply(ref, want.data());
  apply(vec, got.data());
  expect_same_bits(want, got);
}

TEST(FftKernels, StagesMatchScalar) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    for (unsigned long half : {1UL, 2UL, 4UL, 8UL, 16UL, 32UL})
      for (unsigned long blocks : {1UL, 3UL, 9UL})
        for (bool negate : {false, true}) {
          const unsigned long rows = 2 * half * blocks;
          // Stage half's factors at [0, half), stage 2 half's at [half, 3 half).
          const std::vector<double> wr = factors(3 * half, 11u * half),
                                    wi = factors(3 * half, 5u * half + 1);
          SCOPED_TRACE("half " + std::to_string(half) + (negate ? " negated" : ""));
          // All groups, and a chunk starting past group 0 (offset 1 float: misaligned).
          for (unsigned long g0 : {0UL, half / 2}) {
            const unsigned long groups = half - g0;
            same_as_scalar(ref, vec, 2 * rows + 1, 3u * rows + g0, [&](const Kernels &k, float *d) {
              k.fft.stage_double(d + 1, rows, half, g0, groups, wr.data(), wi.data(), negate);
            });
            same_as_scalar(
                ref, vec, 2 * rows + 1, 3u * rows + g0 + 1, [&](const Kernels &k, float *d) {
                  k.fft.stage_float(d + 1, rows, half, g0, groups, wr.data(), wi.data(), negate);
                });
          }
          same_as_scalar(ref, vec, 4 * rows, 7u * rows, [&](const Kernels &k, float *d) {
            k.fft.stage_pair_double(d, 2 * rows, half, wr.data(), wi.data(), wr.data() + half,
                                    wi.data() + half, negate);
          });
          same_as_scalar(ref, vec, 4 * rows, 7u * rows + 1, [&](const Kernels &k, float *d) {
            k.fft.stage_pair_float(d, 2 * rows, half, wr.data(), wi.data(), wr.data() + half,
                                   wi.data() + half, negate);
          });
          for (unsigned long width : {1UL, 5UL, 16UL, 19UL}) {
            const unsigned long stride = width + 2;  // lines wider apart than they are long
            same_as_scalar(ref, vec, 2 * rows * stride, 9u * width,
                           [&](const Kernels &k, float *d) {
                             k.fft.strided_stage_float(d, rows, stride, width, half, 0, half,
                                                       wr.data(), wi.data(), negate);
                           });
          }
        }
  });
}

TEST(FftKernels, UntanglingMatchesScalar) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    for (int pairs : kLaneSizes)
      for (bool negate : {false, true}) {
        const auto n = static_cast<unsigned long>(pairs);
        const std::vector<double> wr = factors(n, 13u * n), wi = factors(n, 17u * n + 1);
        // a runs up from float 1, b down from the far end, a gap between them.
        same_as_scalar(ref, vec, 4 * n + 6, 19u * n, [&](const Kernels &k, float *d) {
          k.fft.untangle(d + 1, d + 4 * n + 2, n, 0.5f, negate ? 0.5f : -0.5f, wr.data(), wi.data(),
                         negate);
        });
      }
  });
}

}  // namespace
}  // namespace ts::testing
