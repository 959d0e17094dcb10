// SPDX-License-Identifier: MIT
// The Householder kernels of the SVD against the scalar kernels and the
// plain steps.
#include "support/simd_kernels.h"

namespace ts::testing {
namespace {

using namespace ts::simd;

// A rows × cols matrix over one padded buffer, mostly ordinary values (long
// sums of awkward ones are all NaN).
struct Padded {
  Padded(int rows, int cols, std::uint32_t seed) : stride(cols + 2), data(awkward_floats((rows + 1) * stride, seed)) {
    for (std::size_t e = 0; e < data.size(); ++e)
      if (e % 23 != 0 && !std::isfinite(data[e])) data[e] = 1.25f - static_cast<float>(e % 5);
  }
  std::vector<float *> rows() {
    std::vector<float *> r;
    for (std::size_t j = 0; j * stride < data.size(); ++j) r.push_back(data.data() + j * stride);
    return r;
  }
  int stride;
  std::vector<float> data;
};

TEST(SvdKernels, HouseholderStepsMatchScalarAndPlainSteps) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    for (int rows : {1, 2, 9, 40})
      for (int cols : kLaneSizes) {
        if (cols < 2) continue;
        SCOPED_TRACE(::testing::Message() << rows << " x " << cols);
        const Padded input(rows, cols, 31u * rows + cols);
        const int k0 = rows > 1 ? 2 : 1, ci = 1, j0 = 2, count = cols - 1;
        std::vector<float> plain_sums(count), want_sums(count), got_sums(count);
        Padded plain = input, want = input, got = input;
        std::vector<float *> pr = plain.rows(), wr = want.rows(), gr = got.rows();
        for (int t = 0; t < count; ++t) {
          float s = 0.0f;
          for (int k = k0; k <= rows; ++k) s += pr[k][ci] * pr[k][j0 + t];
          plain_sums[t] = s;
        }
        ref.svd.column_dots(wr.data(), k0, rows, ci, j0, count, want_sums.data());
        vec.svd.column_dots(gr.data(), k0, rows, ci, j0, count, got_sums.data());
        expect_same_bits(plain_sums, want_sums);
        expect_same_bits(want_sums, got_sums);

        // Multipliers from a vector: row 0 of the buffer.
        std::vector<float> plain_by(count), want_by(count), got_by(count);
        for (int t = 0; t < count; ++t)
          for (int k = k0; k <= rows; ++k) plain_by[t] += pr[0][k] * pr[k][j0 + t];
        ref.svd.column_dots_by(wr.data(), k0, rows, wr[0], j0, count, want_by.data());
        vec.svd.column_dots_by(gr.data(), k0, rows, gr[0], j0, count, got_by.data());
        expect_same_bits(plain_by, want_by);
        expect_same_bits(want_by, got_by);

        for (int k = 1; k <= rows; ++k)
          for (int t = 0; t < count; ++t) pr[k][j0 + t] += plain_sums[t] * pr[k][ci];
        ref.svd.add_column_multiples(wr.data(), 1, rows, ci, j0, count, want_sums.data());
        vec.svd.add_column_multiples(gr.data(), 1, rows, ci, j0, count, want_sums.data());
        expect_same_bits(plain.data, want.data);
        expect_same_bits(want.data, got.data);

        // Row dot products with row 1 over columns 2.., then row updates.
        std::vector<const float *> right;
        for (int k = 1; k <= rows; ++k) right.push_back(pr[k] + 2);
        std::vector<float> plain_dots(rows), want_dots(rows), got_dots(rows);
        for (int t = 0; t < rows; ++t)
          for (int k = 0; k < count; ++k) plain_dots[t] += right[t][k] * pr[1][2 + k];
        ref.svd.row_dots(right.data(), pr[1] + 2, want_dots.data(), rows, count);
        vec.svd.row_dots(right.data(), pr[1] + 2, got_dots.data(), rows, count);
        expect_same_bits(plain_dots, want_dots);
        expect_same_bits(want_dots, got_dots);

        std::vector<float> plain_row(pr[rows] + 1, pr[rows] + 1 + cols), want_row = plain_row,
            got_row = plain_row;
        for (int t = 0; t < cols; ++t) plain_row[t] += want_dots[0] * pr[1][1 + t];
        ref.svd.add_row_multiple(want_row.data(), want_dots[0], pr[1] + 1, cols);
        vec.svd.add_row_multiple(got_row.data(), want_dots[0], pr[1] + 1, cols);
        expect_same_bits(plain_row, want_row);
        expect_same_bits(want_row, got_row);
      }
  });
}

}  // namespace
}  // namespace ts::testing
