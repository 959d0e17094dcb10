// SPDX-License-Identifier: MIT
// One data point's normal-equation terms: the kernels against the scalar
// kernel and against the plain steps, on the lower triangle and the
// gradient; nothing outside the fitted square may change.
#include "support/simd_kernels.h"

namespace ts::testing {
namespace {

using namespace ts::simd;

TEST(NlfitKernels, PointTermsMatchScalarAndPlainSteps) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    for (int mfit : kLaneSizes) {
      SCOPED_TRACE(::testing::Message() << "mfit " << mfit);
      const int width = mfit + 3;  // columns 1..mfit, then two never touched
      // Derivatives past mfit are there to be misread, and would show.
      const std::vector<float> d = awkward_floats(mfit + 16, 11u * mfit + 1);
      const std::vector<float> start = awkward_floats((mfit + 1) * width + mfit + 1, 7u * mfit);
      std::vector<float> plain = start, want = start, got = start;
      auto rows = [&](std::vector<float> &m) {
        std::vector<float *> r(mfit + 1);
        for (int j = 1; j <= mfit; ++j) r[j] = m.data() + j * width;
        return r;
      };
      // beta lives in row 0 (beta[1..mfit]).
      for (const float sig2i : {0.25f, 3.0f})
        for (const float dy : {-1.5f, 0.0f}) {
          std::vector<float *> pr = rows(plain);
          for (int j = 1; j <= mfit; ++j) {
            const float wt = d[j - 1] * sig2i;
            for (int k = 1; k <= j; ++k) pr[j][k] += wt * d[k - 1];
            plain[j] += dy * wt;
          }
          ref.nlfit.add_point(rows(want).data(), want.data(), d.data(), sig2i, dy, mfit);
          vec.nlfit.add_point(rows(got).data(), got.data(), d.data(), sig2i, dy, mfit);
        }
      expect_same_bits(plain, want);
      // The vector kernel may also write the upper triangle of the fitted
      // square (scratch for the caller): compare everything else.
      for (int j = 1; j <= mfit; ++j)
        for (int k = j + 1; k <= mfit; ++k) got[j * width + k] = want[j * width + k];
      expect_same_bits(want, got);
    }
  });
}

}  // namespace
}  // namespace ts::testing
