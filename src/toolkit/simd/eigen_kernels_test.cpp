// SPDX-License-Identifier: MIT
// The Jacobi rotation kernels against the scalar kernels and the plain
// steps.
#include "support/simd_kernels.h"

namespace ts::testing {
namespace {

using namespace ts::simd;

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

void plain_step(float &y, float &z, const GivensStep &r) {
  if (r.q == 0) {
    y = -y;
    return;
  }
  const float y0 = y, z0 = z;
  y = y0 * r.c + z0 * r.s;
  z = z0 * r.c - y0 * r.s;
}

void plain_step(float &x, float &y, const PlaneRotation &r) { plain_rotate(x, y, r.s, r.tau); }

// 300 steps on random column pairs of a rows × cols matrix (1-based, rows
// padded): the plain steps row by row, the scalar kernel and each target's.
template <class Step, class Make, class Apply>
void check_row_steps(const Kernels &ref, const Kernels &vec, int rows, int cols, Make make,
                     Apply apply) {
  SCOPED_TRACE(::testing::Message() << rows << " x " << cols);
  const int stride = cols + 2;
  const std::vector<float> input = awkward_floats((rows + 1) * stride, 9u * rows + cols);
  std::vector<Step> steps;
  Source source(12345u + static_cast<unsigned>(rows + cols));
  for (int k = 0; k < (cols > 1 ? 300 : 0); ++k) {
    const auto state = static_cast<std::uint32_t>(source.word() >> 32);
    const int p = 1 + static_cast<int>(state >> 8) % (cols - 1);
    const int q = p + 1 + static_cast<int>(state >> 20) % (cols - p);
    steps.push_back(make(p, q, k));
  }
  std::vector<float> plain = input, want = input, got = input;
  auto row_pointers = [&](std::vector<float> &m) {
    std::vector<float *> r;
    for (int j = 0; j <= rows; ++j) r.push_back(m.data() + j * stride);
    return r;
  };
  std::vector<float *> pr = row_pointers(plain), wr = row_pointers(want), gr = row_pointers(got);
  for (int j = 1; j <= rows; ++j)
    for (const Step &r : steps) plain_step(pr[j][r.p], pr[j][r.q], r);
  apply(ref, wr.data(), steps);
  apply(vec, gr.data(), steps);
  expect_same_bits(plain, want);
  expect_same_bits(want, got);
}

// Orders around the block widths, and past the widest block held on the
// stack.
TEST(EigenKernels, RowRotationsMatchScalarAndPlainSteps) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    for (int n : {1, 2, 7, 8, 9, 17, 33, 1030})
      check_row_steps<PlaneRotation>(
          ref, vec, n, n,
          [](int p, int q, int k) {
            return PlaneRotation{p, q, 0.25f + static_cast<float>(k % 7) / 8.0f, -0.125f * (k % 5)};
          },
          [n](const Kernels &t, float **v, const std::vector<PlaneRotation> &r) {
            t.eigen.rotate_rows(v, n, r.data(), static_cast<int>(r.size()));
          });
    for (int rows : {1, 7, 9, 20})
      for (int cols : {2, 8, 13, 1030})
        check_row_steps<GivensStep>(
            ref, vec, rows, cols,
            [](int p, int q, int k) {
              return GivensStep{p, k % 11 == 0 ? 0 : q, 0.8f - static_cast<float>(k % 5) / 16.0f,
                                0.6f + static_cast<float>(k % 3) / 8.0f};
            },
            [rows, cols](const Kernels &t, float **a, const std::vector<GivensStep> &r) {
              t.eigen.givens_rows(a, rows, cols, r.data(), static_cast<int>(r.size()));
            });
  });
}

}  // namespace
}  // namespace ts::testing
