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

// Rows 0..rows of m, stride floats apart.
std::vector<float *> row_pointers(std::vector<float> &m, int rows, int stride) {
  std::vector<float *> r;
  for (int j = 0; j <= rows; ++j) r.push_back(m.data() + j * stride);
  return r;
}

// A Jacobi sweep's kept rotations, applied by the plain steps and by each
// kernel: orders around the tile and group widths (up to 4 × 8 rows) and
// past the widest block held on the stack; pivots near either end and in
// the middle with rotations at every column after them or at some; the
// rows below one pivot with x from its row (upper triangle only), rows
// above the pivots (upper triangle only), and all rows.
TEST(EigenKernels, JacobiRotationsMatchScalarAndPlainSteps) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    for (int n : {2, 7, 8, 9, 16, 17, 31, 33, 40, 70, 1100})
      for (bool sparse : {false, true})
        for (int part = 0; part < 3; ++part) {
          if (n > 1000 && !sparse) continue;  // the widest order only for its block fallbacks
          std::vector<int> pivots = {1, 2, n / 2, n - 1};
          if (part == 0) pivots = {pivots[1 + sparse]};  // one pivot's rows below it
          SCOPED_TRACE(::testing::Message()
                       << "n " << n << ", part " << part << (sparse ? ", sparse" : ""));
          const int stride = n + 2;
          const std::vector<float> input = awkward_floats((n + 1) * stride, 7u * n + part);
          std::vector<PlaneRotation> r;
          int last_pivot = 0;
          for (int p : pivots) {
            if (p < 1 || p >= n || p <= last_pivot) continue;
            last_pivot = p;
            for (int q = p + 1; q <= n; ++q)
              if (!sparse || q % 3 == 1 || q == n)
                r.push_back({p, q, 0.25f + static_cast<float>(q % 7) / 8.0f, -0.125f * (q % 5)});
          }
          if (r.empty()) continue;
          const int p0 = r[0].p;
          const int first = part == 0 ? p0 + 1 : 1, last = part == 2 ? n : n - 1;
          std::vector<float> plain = input, want = input, got = input;
          std::vector<float *> pr = row_pointers(plain, n, stride),
                               wr = row_pointers(want, n, stride),
                               gr = row_pointers(got, n, stride);
          for (const PlaneRotation &k : r)
            for (int j = first; j <= last; ++j) {
              if (part == 0 && k.q <= j) continue;
              if (part == 1 && k.p <= j) continue;
              plain_rotate(part == 0 ? pr[p0][j] : pr[j][k.p], pr[j][k.q], k.s, k.tau);
            }
          const int count = static_cast<int>(r.size());
          if (part == 0) {
            ref.eigen.rotate_pivot_rows(wr.data(), first, last, n, wr[p0], r.data(), count);
            vec.eigen.rotate_pivot_rows(gr.data(), first, last, n, gr[p0], r.data(), count);
          } else {
            ref.eigen.rotate_rows(wr.data(), first, last, n, part == 1, r.data(), count);
            vec.eigen.rotate_rows(gr.data(), first, last, n, part == 1, r.data(), count);
          }
          expect_same_bits(plain, want);
          expect_same_bits(want, got);
        }
  });
}

}  // namespace
}  // namespace ts::testing
