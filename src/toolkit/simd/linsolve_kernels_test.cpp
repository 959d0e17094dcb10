// SPDX-License-Identifier: MIT
// Gauss-Jordan's row elimination kernels against the scalar kernels and
// against the plain steps.
#include "support/simd_kernels.h"

namespace ts::testing {
namespace {

using namespace ts::simd;

TEST(LinsolveKernels, EliminationAndLargestMatchScalarAndPlainSteps) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    for (int n : kLaneSizes)
      for (int offset : {0, 1, 3}) {
        SCOPED_TRACE(::testing::Message() << "count " << n << ", offset " << offset);
        const std::vector<float> row = awkward_floats(n + offset, 3u * n + offset);
        const std::vector<float> pivot = awkward_floats(n + offset, 5u * n + offset + 1);
        std::vector<int> counts(n + offset);
        for (int l = 0; l < n + offset; ++l) counts[l] = (l * 7 + n) % 3 == 0 ? 1 : 0;
        for (float f : {0.75f, -3.0f, 0.0f}) {
          std::vector<float> plain = row, want = row, got = row, got_max = row;
          float plain_largest = 0.0f;
          for (int l = offset; l < n + offset; ++l) {
            plain[l] = plain[l] - pivot[l] * f;
            const float magnitude = std::fabs(plain[l]);
            if (counts[l] == 0 && magnitude > plain_largest) plain_largest = magnitude;
          }
          ref.linsolve.eliminate(want.data() + offset, pivot.data() + offset, f, n);
          vec.linsolve.eliminate(got.data() + offset, pivot.data() + offset, f, n);
          const float largest = vec.linsolve.eliminate_and_find_largest(
              got_max.data() + offset, pivot.data() + offset, f, counts.data() + offset, n);
          expect_same_bits(plain, want);
          expect_same_bits(want, got);
          expect_same_bits(want, got_max);
          EXPECT_EQ(plain_largest, largest);
        }
      }
  });
}

}  // namespace
}  // namespace ts::testing
