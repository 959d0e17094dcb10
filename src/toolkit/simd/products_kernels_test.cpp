// The dense products' kernels against the scalar kernels.
#include "toolkit/simd/kernel_test_support.h"

#include <limits>

namespace ts::simd {
namespace {

using ts::testing::from_bits;

TEST(ProductsKernels, ScaleRowMatchesScalar) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    for (int n : kLaneSizes)
      for (int offset : {0, 1, 3}) {
        const std::vector<float> input = awkward_floats(n + offset, 7u * n + offset);
        for (float d : {0.75f, -0.0f, from_bits(0x00000003), std::numeric_limits<float>::infinity(),
                        from_bits(0x7fc00123)}) {
          std::vector<float> want = input, got = input;
          ref.products.scale_row(want.data() + offset, d, n);
          vec.products.scale_row(got.data() + offset, d, n);
          expect_same_bits(want, got);
        }
      }
  });
}

}  // namespace
}  // namespace ts::simd
