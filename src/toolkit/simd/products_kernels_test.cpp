// SPDX-License-Identifier: MIT
// The dense products' kernels against the scalar kernels.
#include "support/simd_kernels.h"

#include <limits>

namespace ts::testing {
namespace {

using namespace ts::simd;

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

// A rows × cols matrix over one buffer, rows padded and the first element
// misaligned, so that every kernel sees unaligned rows and its writes
// outside the range show up in the buffer. The input is awkward only in a
// few places: long sums of awkward values are all NaN.
struct Block {
  Block(int rows, int cols, std::uint32_t seed)
      : stride(cols + 3), data(awkward_floats(1 + rows * stride, seed)) {
    for (std::size_t e = 0; e < data.size(); ++e)
      if (e % 29 != 0 && !std::isfinite(data[e])) data[e] = 0.5f + static_cast<float>(e % 7);
    point_rows(rows);
  }
  Block(const Block &other) : stride(other.stride), data(other.data) {
    point_rows(static_cast<int>(other.row.size()));
  }
  void point_rows(int rows) {
    for (int i = 0; i < rows; ++i) row.push_back(data.data() + 1 + i * stride);
  }
  int stride;
  std::vector<float> data;
  std::vector<float *> row;
};

// The documented steps written out plainly, for the scalar kernels (which
// share their templates with the vector kernels, so that comparing the two
// cannot find a fault in the blocking or the tails).
template <class Term>
float plain_sum(int count, Term term) {
  float sum = 0.0f;
  for (int k = 0; k < count; ++k) {
    const float product = term(k);
    sum += product;
  }
  return sum;
}

void plain_products(const Block &a, const Block &b, Block &z, Block &t, std::vector<float> &y,
                    int n, int p, int m) {
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < m; ++j)
      z.row[i][j] = plain_sum(p, [&](int k) { return a.row[i][k] * b.row[k][j]; });
  for (int i = 0; i < n; ++i)
    for (int k = 0; k < p; ++k) t.row[k][i] = a.row[i][k];
  for (int i = 0; i < n; ++i) {
    y[1 + i] = 0.0f;
    for (int k = 0; k < p; ++k) {
      const float product = a.row[i][k] * b.data[k];
      y[1 + i] = product + y[1 + i];
    }
  }
}

// The kernels that write a matrix, each with the scalar kernel's writes.
TEST(ProductsKernels, MatrixKernelsMatchScalar) {
  // Around the tile heights (6, 8 rows), vector widths, the column windows
  // (96 or 128 columns) and the depth blocks (256, with a last block shorter
  // than the rows B is fetched ahead).
  const int kRows[] = {1, 3, 6, 7, 8, 9, 13, 17};
  const int kDepths[] = {0, 1, 5, 8, 17, 259, 300};
  const int kCols[] = {1, 7, 8, 16, 25, 49, 67, 100, 131};
  for_each_vector_target([&](const Kernels &ref, const Kernels &vec) {
    for (int n : kRows)
      for (int p : kDepths)
        for (int m : kCols) {
          SCOPED_TRACE(::testing::Message() << n << " x " << p << " x " << m);
          const Block a(n, p, 11u * n + p), b(p, m, 13u * m + p), at(p, n, 3u);
          Block want(n, m, 5u), got = want;
          ref.products.matrix_matrix(a.row.data(), b.row.data(), want.row.data(), n, p, m);
          vec.products.matrix_matrix(a.row.data(), b.row.data(), got.row.data(), n, p, m);
          expect_same_bits(want.data, got.data);

          Block want_t(p, n, 5u), got_t = want_t;
          ref.products.transpose(a.row.data(), want_t.row.data(), n, p);
          vec.products.transpose(a.row.data(), got_t.row.data(), n, p);
          for (std::size_t e = 0; e < want_t.data.size(); ++e)
            ASSERT_EQ(bits(want_t.data[e]), bits(got_t.data[e]));

          // y = A·x with x the first row of b's buffer.
          std::vector<float> y_want(n + 2, 9.0f), y_got = y_want;
          ref.products.matrix_vector(a.row.data(), b.data.data(), y_want.data() + 1, n, p);
          vec.products.matrix_vector(a.row.data(), b.data.data(), y_got.data() + 1, n, p);
          expect_same_bits(y_want, y_got);

          if (&vec != table_of(kSse2)) continue;  // once per shape is enough
          Block plain(n, m, 5u), plain_t(p, n, 5u);
          std::vector<float> plain_y(n + 2, 9.0f);
          plain_products(a, b, plain, plain_t, plain_y, n, p, m);
          expect_same_bits(plain.data, want.data);
          expect_same_bits(plain_t.data, want_t.data);
          expect_same_bits(plain_y, y_want);
        }
    // A·Aᵀ: the lower triangle as the scalar kernel computes it, nothing
    // written outside the n × n block.
    for (int n : {1, 3, 8, 9, 13, 17, 30})
      for (int m : kDepths) {
        SCOPED_TRACE(::testing::Message() << n << " x " << m);
        const Block a(n, m, 17u * n + m);
        Block want(n, n, 5u), got = want;
        ref.products.lower_row_products(a.row.data(), want.row.data(), n, m);
        vec.products.lower_row_products(a.row.data(), got.row.data(), n, m);
        Block plain = want;
        for (int i = 0; i < n; ++i)
          for (int j = 0; j < n; ++j) {
            if (j > i)
              got.row[i][j] = want.row[i][j];
            else
              plain.row[i][j] = plain_sum(m, [&](int k) { return a.row[i][k] * a.row[j][k]; });
          }
        expect_same_bits(want.data, got.data);
        expect_same_bits(plain.data, want.data);
      }
  });
}

}  // namespace
}  // namespace ts::testing
