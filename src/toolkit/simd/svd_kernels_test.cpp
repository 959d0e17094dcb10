// SPDX-License-Identifier: MIT
// The Householder kernels of the SVD against the scalar kernels and the
// plain steps.
#include "toolkit/simd/kernel_test_support.h"

namespace ts::simd {
namespace {

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

// The QR sweeps' steps as svdcmp records them: chains along the columns
// (l, l+1), (l+1, l+2), ..., runs sharing a first column, sign changes
// (which may hit the column a run holds), and unrelated pairs, all on a
// rows × cols matrix (1-based, rows padded). The plain steps row by row,
// the scalar kernel and each target's must agree.
std::vector<GivensStep> sweep_steps(int cols, std::uint32_t state) {
  std::vector<GivensStep> steps;
  auto next = [&state](int below) {
    state = state * 1664525u + 1013904223u;
    return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(below));
  };
  auto rotation = [&](int p, int q) {
    const float c = 0.8f - static_cast<float>(next(5)) / 16.0f;
    steps.push_back({p, q, c, 0.6f + static_cast<float>(next(3)) / 8.0f});
  };
  while (steps.size() < 400) {
    const int l = 1 + next(cols - 1), k = l + 1 + next(cols - l);
    switch (next(4)) {
      case 0:  // a sweep
        for (int j = l; j < k; ++j) rotation(j, j + 1);
        break;
      case 1:  // chasing an entry out
        for (int i = l + 1; i <= k; ++i) rotation(l, i);
        break;
      case 2:  // sign changes, one of them on the column just rotated
        rotation(l, k);
        steps.push_back({next(2) == 0 ? l : k, 0, 0.0f, 0.0f});
        steps.push_back({1 + next(cols), 0, 0.0f, 0.0f});
        break;
      default:
        rotation(l, k);
    }
  }
  return steps;
}

TEST(SvdKernels, SweepStepsMatchScalarAndPlainSteps) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    // Rows around the block heights (up to 4 vectors of rows) and the rows
    // left over; columns past the widest block of each height.
    for (int rows : {1, 7, 9, 33, 77})
      for (int cols : {2, 3, 13, 300, 1030}) {
        SCOPED_TRACE(::testing::Message() << rows << " x " << cols);
        const std::vector<GivensStep> steps = sweep_steps(cols, 7u * rows + cols);
        Padded plain(rows, cols, 5u * rows + cols);
        Padded want = plain, got = plain;
        std::vector<float *> pr = plain.rows(), wr = want.rows(), gr = got.rows();
        for (int j = 1; j <= rows; ++j)
          for (const GivensStep &r : steps) {
            float &y = pr[j][r.p];
            if (r.q == 0) {
              y = -y;
              continue;
            }
            float &z = pr[j][r.q];
            const float y0 = y, z0 = z;
            y = y0 * r.c + z0 * r.s;
            z = z0 * r.c - y0 * r.s;
          }
        ref.svd.apply_steps(wr.data(), rows, cols, steps.data(), static_cast<int>(steps.size()));
        vec.svd.apply_steps(gr.data(), rows, cols, steps.data(), static_cast<int>(steps.size()));
        expect_same_bits(plain.data, want.data);
        expect_same_bits(want.data, got.data);
      }
  });
}

}  // namespace
}  // namespace ts::simd
