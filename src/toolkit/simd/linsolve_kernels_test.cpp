// SPDX-License-Identifier: MIT
// Gauss-Jordan's elimination pass against the scalar kernels and against the
// plain steps, including the pivot candidate it gathers.
#include "support/simd_kernels.h"

namespace ts::testing {
namespace {

using namespace ts::simd;

// A 1-based matrix over rows 1..n, columns 1..cols, each row between two
// guard cells.
class Rows {
 public:
  Rows(int n, int cols) : cols_(cols), data_(static_cast<std::size_t>(n) * (cols + 2), kGuard) {
    rows_.push_back(nullptr);
    for (int r = 0; r < n; ++r)
      rows_.push_back(data_.data() + static_cast<std::size_t>(r) * (cols + 2));
  }
  Rows(const Rows &other) : Rows(static_cast<int>(other.rows_.size()) - 1, other.cols_) {
    data_ = other.data_;
  }
  Rows &operator=(const Rows &) = delete;
  float **p() { return rows_.data(); }
  float *operator[](int r) { return rows_[r]; }
  // The inside, row by row, then whether every guard still holds kGuard.
  std::vector<float> inside() const {
    std::vector<float> out;
    for (std::size_t r = 1; r < rows_.size(); ++r)
      out.insert(out.end(), rows_[r] + 1, rows_[r] + 1 + cols_);
    return out;
  }
  bool guards_intact() const {
    for (std::size_t r = 1; r < rows_.size(); ++r)
      if (bits(rows_[r][0]) != bits(kGuard) || bits(rows_[r][cols_ + 1]) != bits(kGuard))
        return false;
    return true;
  }

 private:
  static constexpr float kGuard = -1234.5f;
  int cols_;
  std::vector<float> data_;
  std::vector<float *> rows_;
};

// Pass c written out plainly on row r of a and b.
void plain_row(Rows &a, Rows &b, int n, int m, int c, int r) {
  const float f = a[r][c];
  a[r][c] = 0.0f;
  for (int l = 1; l <= n; ++l) a[r][l] = a[r][l] - a[c][l] * f;
  for (int l = 1; l <= m; ++l) b[r][l] = b[r][l] - b[c][l] * f;
}

// The search over rows and columns whose count is 0: largest magnitude, the
// last visited winning ties, NaNs never.
PivotCandidate plain_search(Rows &a, int n, const std::vector<int> &counts) {
  PivotCandidate out{0.0f, 0};
  for (int r = 1; r <= n; ++r)
    for (int l = 1; l <= n && counts[r] == 0; ++l)
      if (counts[l] == 0 && std::fabs(a[r][l]) >= out.largest) out = {std::fabs(a[r][l]), r};
  return out;
}

// Each kernel on the same inputs as the plain steps. c2: the second pivot
// column of a two-pass sweep, r the row of a one-row pass.
enum class Step { kSearchAfter, kPass, kTwoPasses, kOneRow };

// Every leftover width, pivot rows at both ends and inside, used columns
// among the lanes; awkward values (zeros, subnormals, infinities, NaNs) and
// values of few magnitudes, so that the largest ties across lanes, rows and
// the leftover columns. Candidates are compared after every step that
// returns them, rows only where the largest is above 0.
TEST(LinsolveKernels, PassesMatchScalarAndPlainSteps) {
  const float kFew[] = {1.0f, -2.0f, 0.5f, 2.0f, -0.0f, -1.0f, 0.0f};
  for_each_vector_target([&](const Kernels &ref, const Kernels &vec) {
    for (int n : kLaneSizes) {
      if (n == 0) continue;
      for (int kind = 0; kind < 2; ++kind)
        for (int c : {0, 1, n / 2 + 1, n})  // 0: no pass, the search alone
          for (Step step : {Step::kSearchAfter, Step::kPass, Step::kTwoPasses, Step::kOneRow}) {
            if (c == 0 && step != Step::kSearchAfter) continue;
            const int c2 = n + 1 - c, m = (n + c) % 3 == 0 ? 0 : n % 3 + c % 9;
            if (step == Step::kTwoPasses && c2 == c) continue;
            SCOPED_TRACE(::testing::Message()
                         << "n " << n << (kind == 0 ? " awkward" : " few") << ", c " << c << ", c2 "
                         << c2 << ", m " << m << ", step " << static_cast<int>(step));
            const std::uint64_t seed = 31u * n + 7u * c + 1000u * kind;
            const std::vector<float> values = awkward_floats(n * n + n * m, seed);
            Source pick(seed);
            Rows a(n, n), b(n, m);
            std::size_t next = 0;
            for (int r = 1; r <= n; ++r) {
              for (int l = 1; l <= n; ++l)
                a[r][l] = kind == 0 ? values[next++] : kFew[pick.below(7)];
              for (int l = 1; l <= m; ++l) b[r][l] = values[next++];
            }
            if (kind == 1 && n > 2) a[n - 1][n / 3 + 1] = from_bits(0x7fc00000u);
            std::vector<int> counts(n + 1, 0);
            for (int l = 1; l <= n; ++l) counts[l] = (l * 5 + n) % 3 == 0 ? 1 : 0;
            if (c > 0) counts[c] = 1;
            if (step == Step::kTwoPasses) {
              counts[c2] = 1;
              plain_row(a, b, n, m, c, c2);  // the second pivot row has taken pass c
            }
            const int one_row = c % n + 1;
            if (step == Step::kOneRow && one_row == c) continue;

            Rows after(a), after_b(b);
            if (c > 0)
              for (int r = 1; r <= n; ++r) {
                if (r == c || (step == Step::kTwoPasses && r == c2)) continue;
                if (step == Step::kOneRow && r != one_row) continue;
                plain_row(after, after_b, n, m, c, r);
                if (step == Step::kTwoPasses) plain_row(after, after_b, n, m, c2, r);
              }
            const PivotCandidate expected = plain_search(after, n, counts);
            const Rows &plain = step == Step::kSearchAfter ? a : after;
            const Rows &plain_b = step == Step::kSearchAfter ? b : after_b;

            const auto run = [&](const Kernels &k, Rows &x, Rows &y) {
              switch (step) {
                case Step::kSearchAfter:
                  return k.linsolve.largest_candidate(x.p(), n, c, counts.data());
                case Step::kPass:
                  return k.linsolve.eliminate_pass(x.p(), y.p(), n, m, c, counts.data());
                case Step::kTwoPasses:
                  return k.linsolve.eliminate_two_passes(x.p(), y.p(), n, m, c, c2, counts.data());
                case Step::kOneRow:
                  k.linsolve.eliminate_row(x.p(), y.p(), n, m, c, one_row, counts.data());
                  return expected;
              }
              return PivotCandidate{};
            };
            Rows want(a), got(a), want_b(b), got_b(b);
            const PivotCandidate r = run(ref, want, want_b);
            const PivotCandidate v = run(vec, got, got_b);
            expect_same_bits(plain.inside(), want.inside());
            expect_same_bits(plain_b.inside(), want_b.inside());
            expect_same_bits(want.inside(), got.inside());
            expect_same_bits(want_b.inside(), got_b.inside());
            EXPECT_TRUE(got.guards_intact() && got_b.guards_intact());
            EXPECT_EQ(expected.largest, r.largest);
            if (expected.largest > 0.0f) {
              EXPECT_EQ(expected.row, r.row);
            }
            EXPECT_EQ(r.largest, v.largest);
            EXPECT_EQ(r.row, v.row);
          }
    }
  });
}

// The pivot column within the chosen row: the last unused one holding the
// largest magnitude, for magnitudes held once, several times, in used
// columns only, or not at all.
TEST(LinsolveKernels, LastColumnHoldingMatchesPlainScan) {
  const float kFew[] = {1.0f, -2.0f, 0.5f, 2.0f, -0.0f, -1.0f, 0.0f};
  for_each_vector_target([&](const Kernels &ref, const Kernels &vec) {
    for (int n : kLaneSizes)
      for (int kind = 0; kind < 2; ++kind) {
        SCOPED_TRACE(::testing::Message() << "n " << n << (kind == 0 ? " awkward" : " few"));
        const std::vector<float> values = awkward_floats(n + 1, 17u * n + kind);
        Source pick(n + 100u * kind);
        std::vector<float> row(n + 1);
        std::vector<int> counts(n + 1);
        for (int l = 1; l <= n; ++l) {
          row[l] = kind == 0 ? values[l] : kFew[pick.below(7)];
          counts[l] = (l * 5 + n) % 3 == 0 ? 1 : 0;
        }
        std::vector<float> targets = {1.0f, 2.0f, 0.5f, 3.0f};
        for (int l = 1; l <= n; l += 3) targets.push_back(std::fabs(row[l]));
        for (float largest : targets) {
          if (!(largest > 0.0f)) continue;
          int want = 0;
          for (int l = n; l >= 1 && want == 0; --l)
            if (counts[l] == 0 && std::fabs(row[l]) == largest) want = l;
          EXPECT_EQ(want, ref.linsolve.last_column_holding(row.data(), n, counts.data(), largest))
              << largest;
          EXPECT_EQ(want, vec.linsolve.last_column_holding(row.data(), n, counts.data(), largest))
              << largest;
        }
      }
  });
}

TEST(LinsolveKernels, RowSwapMovesBits) {
  for_each_vector_target([](const Kernels &, const Kernels &vec) {
    for (int n : kLaneSizes) {
      const std::vector<float> x0 = awkward_floats(n + 2, 11u * n),
                               y0 = awkward_floats(n + 2, 13u * n);
      std::vector<float> x = x0, y = y0;
      vec.linsolve.swap_rows(x.data() + 1, y.data() + 1, n);
      for (int l = 0; l < n + 2; ++l) {
        const bool inside_rows = l >= 1 && l <= n;
        EXPECT_EQ(bits(inside_rows ? y0[l] : x0[l]), bits(x[l])) << n << " " << l;
        EXPECT_EQ(bits(inside_rows ? x0[l] : y0[l]), bits(y[l])) << n << " " << l;
      }
    }
  });
}

}  // namespace
}  // namespace ts::testing
