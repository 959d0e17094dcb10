// The Jacobi rotation kernels against the scalar kernels and the plain
// steps.
#include "toolkit/simd/kernel_test_support.h"

namespace ts::simd {
namespace {

void plain_rotate(float &x, float &y, float s, float tau) {
  const float g = x, h = y;
  x = g - s * (h + g * tau);
  y = h + s * (g - h * tau);
}

TEST(EigenKernels, RotatePairsMatchesScalarAndPlainSteps) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    for (int n : kLaneSizes)
      for (int offset : {0, 1, 3}) {
        const std::vector<float> x = awkward_floats(n + offset, 3u * n + offset);
        const std::vector<float> y = awkward_floats(n + offset, 5u * n + offset);
        std::vector<float> px = x, py = y, wx = x, wy = y, gx = x, gy = y;
        for (int j = offset; j < n + offset; ++j) plain_rotate(px[j], py[j], 0.375f, -0.1875f);
        ref.eigen.rotate_pairs(wx.data() + offset, wy.data() + offset, 0.375f, -0.1875f, n);
        vec.eigen.rotate_pairs(gx.data() + offset, gy.data() + offset, 0.375f, -0.1875f, n);
        expect_same_bits(px, wx);
        expect_same_bits(py, wy);
        expect_same_bits(wx, gx);
        expect_same_bits(wy, gy);
      }
  });
}

// Orders around the block widths (and past the widest block held on the
// stack), with a long run of rotations on random pairs of columns.
TEST(EigenKernels, RotateRowsMatchesScalarAndPlainSteps) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    for (int n : {1, 2, 7, 8, 9, 17, 33, 1030}) {
      SCOPED_TRACE(::testing::Message() << "order " << n);
      const int stride = n + 2;
      const std::vector<float> input = awkward_floats((n + 1) * stride, 9u * n);
      std::vector<PlaneRotation> rotations;
      std::uint32_t state = 12345u + n;
      for (int k = 0; k < (n > 1 ? 300 : 0); ++k) {
        state = state * 1664525u + 1013904223u;
        const int p = 1 + static_cast<int>(state >> 8) % (n - 1);
        const int q = p + 1 + static_cast<int>(state >> 20) % (n - p);
        rotations.push_back({p, q, 0.25f + static_cast<float>(k % 7) / 8.0f, -0.125f * (k % 5)});
      }
      std::vector<float> plain = input, want = input, got = input;
      auto rows = [&](std::vector<float> &m) {
        std::vector<float *> r;
        for (int j = 0; j <= n; ++j) r.push_back(m.data() + j * stride);
        return r;
      };
      std::vector<float *> pr = rows(plain), wr = rows(want), gr = rows(got);
      for (int j = 1; j <= n; ++j)
        for (const PlaneRotation &r : rotations) plain_rotate(pr[j][r.p], pr[j][r.q], r.s, r.tau);
      ref.eigen.rotate_rows(wr.data(), n, rotations.data(), static_cast<int>(rotations.size()));
      vec.eigen.rotate_rows(gr.data(), n, rotations.data(), static_cast<int>(rotations.size()));
      expect_same_bits(plain, want);
      expect_same_bits(want, got);
    }
  });
}

}  // namespace
}  // namespace ts::simd
