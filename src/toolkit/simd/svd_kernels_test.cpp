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
  Padded(int rows, int cols, std::uint32_t seed)
      : stride(cols + 2), data(awkward_floats((rows + 1) * stride, seed)) {
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

// The QR sweeps' steps as svdcmp keeps them: chains along the columns
// (l, l+1), (l+1, l+2), ..., fans sharing a first column, sign changes, and
// single rotations of any pair, on a rows × cols matrix (1-based, rows
// padded). The plain steps row by row, the scalar kernel and each target's
// must agree.
struct Steps {
  std::vector<StepRun> runs;
  std::vector<float> cs;
};

// Steps on columns lo..hi only.
Steps sweep_steps(int lo, int hi, std::uint64_t seed) {
  Steps steps;
  Source source(seed);
  auto next = [&source](int below) {
    return static_cast<int>(source.below(static_cast<unsigned long>(below)));
  };
  while (steps.cs.size() < 800) {
    const int l = lo + next(hi - lo), k = l + 1 + next(hi - l);
    const int kind = next(4);
    if (kind == 2) {
      steps.runs.push_back({StepRun::kNegate, lo + next(hi - lo + 1), 0, 0});
      continue;
    }
    // A chain or fan from (l, l+1) up to column k, or one rotation (l, k).
    steps.runs.push_back(kind == 0   ? StepRun{StepRun::kChain, l, l + 1, k - l}
                         : kind == 1 ? StepRun{StepRun::kFan, l, l + 1, k - l}
                                     : StepRun{StepRun::kChain, l, k, 1});
    for (int t = 0; t < steps.runs.back().count; ++t) {
      steps.cs.push_back(0.8f - static_cast<float>(next(5)) / 16.0f);
      steps.cs.push_back(0.6f + static_cast<float>(next(3)) / 8.0f);
    }
  }
  return steps;
}

void plain_steps(float *row, const Steps &steps) {
  const float *cs = steps.cs.data();
  for (const StepRun &run : steps.runs) {
    int y_at = run.p;
    if (run.kind == StepRun::kNegate) row[y_at] = -row[y_at];
    for (int t = 0; t < run.count; ++t, cs += 2) {
      float &y = row[y_at], &z = row[run.q + t];
      const float y0 = y, z0 = z;
      y = y0 * cs[0] + z0 * cs[1];
      z = z0 * cs[0] - y0 * cs[1];
      if (run.kind == StepRun::kChain) y_at = run.q + t;
    }
  }
}

TEST(SvdKernels, SweepStepsMatchScalarAndPlainSteps) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    // Rows around the block heights (up to 4 vectors of rows) and the rows
    // left over; columns past the widest block of each height; steps on all
    // columns, and on a window of them.
    for (int rows : {1, 7, 9, 33, 77})
      for (int cols : {2, 3, 13, 300, 1030})
        for (int lo : {1, 1 + cols / 2}) {
          if (lo == cols) continue;
          SCOPED_TRACE(::testing::Message() << rows << " x " << cols << " from column " << lo);
          const Steps steps = sweep_steps(lo, cols, 7u * rows + cols + lo);
          const int run_count = static_cast<int>(steps.runs.size());
          Padded plain(rows, cols, 5u * rows + cols);
          Padded want = plain, got = plain;
          std::vector<float *> pr = plain.rows(), wr = want.rows(), gr = got.rows();
          for (int j = 1; j <= rows; ++j) plain_steps(pr[j], steps);
          ref.svd.apply_steps(wr.data(), rows, steps.runs.data(), run_count, steps.cs.data());
          vec.svd.apply_steps(gr.data(), rows, steps.runs.data(), run_count, steps.cs.data());
          expect_same_bits(plain.data, want.data);
          expect_same_bits(want.data, got.data);
        }
  });
}

}  // namespace
}  // namespace ts::testing
