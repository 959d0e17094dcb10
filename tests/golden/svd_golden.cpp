// SPDX-License-Identifier: MIT
// SVD: the hypotenuse, the decomposition itself on well-conditioned,
// ill-conditioned, rank-deficient, tiny, huge and non-finite matrices of
// every shape, and the solver, covariance and pseudo-inverse built on it.
#include <functional>
#include <string>
#include <utility>

#include "golden.h"
#include "tissuesteward/svd.h"

namespace ts::testing {
namespace {

using Fill = std::function<void(Grid &, int m, int n)>;

std::string dims(int m, int n) { return std::to_string(m) + "x" + std::to_string(n); }

void uniform(Grid &a, int m, int n, std::uint64_t seed) {
  Source src(seed);
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) a[i][j] = src.signed_unit();
}

// Rank r: the product of an m × r and an r × n factor.
void low_rank(Grid &a, int m, int n, int r, std::uint64_t seed) {
  Source src(seed);
  Grid left(m, r), right(r, n);
  left.fill([&src] { return src.signed_unit(); });
  right.fill([&src] { return src.signed_unit(); });
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) {
      float s = 0.0f;
      for (int k = 1; k <= r; ++k) s += left[i][k] * right[k][j];
      a[i][j] = s;
    }
}

void hilbert(Grid &a, int m, int n) {
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) a[i][j] = 1.0f / static_cast<float>(i + j - 1);
}

// The shapes and contents svdcmp is run on; the other routines reuse some.
const std::pair<std::string, std::pair<std::pair<int, int>, Fill>> kMatrices[] = {
    {"1x1_minus5", {{1, 1}, [](Grid &a, int, int) { a[1][1] = -5.0f; }}},
    {"diag_3_minus2",
     {{2, 2}, [](Grid &a, int, int) { a[1][1] = 3, a[1][2] = 0, a[2][1] = 0, a[2][2] = -2; }}},
    {"diag_1_5",
     {{2, 2}, [](Grid &a, int, int) { a[1][1] = 1, a[1][2] = 0, a[2][1] = 0, a[2][2] = 5; }}},
    {"random_3x3", {{3, 3}, [](Grid &a, int m, int n) { uniform(a, m, n, 101); }}},
    {"random_16x16", {{16, 16}, [](Grid &a, int m, int n) { uniform(a, m, n, 102); }}},
    {"random_128x128", {{128, 128}, [](Grid &a, int m, int n) { uniform(a, m, n, 103); }}},
    {"tall_5x3", {{5, 3}, [](Grid &a, int m, int n) { uniform(a, m, n, 104); }}},
    {"tall_40x25", {{40, 25}, [](Grid &a, int m, int n) { uniform(a, m, n, 105); }}},
    {"tall_200x60", {{200, 60}, [](Grid &a, int m, int n) { uniform(a, m, n, 106); }}},
    {"wide_3x5", {{3, 5}, [](Grid &a, int m, int n) { uniform(a, m, n, 107); }}},
    {"wide_10x30", {{10, 30}, [](Grid &a, int m, int n) { uniform(a, m, n, 108); }}},
    {"rank_3_of_8x8", {{8, 8}, [](Grid &a, int m, int n) { low_rank(a, m, n, 3, 109); }}},
    {"rank_5_of_30x20", {{30, 20}, [](Grid &a, int m, int n) { low_rank(a, m, n, 5, 110); }}},
    {"equal_columns_6x4",
     {{6, 4},
      [](Grid &a, int m, int n) {
        uniform(a, m, n, 111);
        for (int i = 1; i <= m; ++i) a[i][3] = a[i][1];
      }}},
    {"hilbert_10x10", {{10, 10}, [](Grid &a, int m, int n) { hilbert(a, m, n); }}},
    {"graded_12x12",
     {{12, 12},
      [](Grid &a, int m, int n) {
        uniform(a, m, n, 112);
        for (int i = 1; i <= m; ++i)
          for (int j = 1; j <= n; ++j) a[i][j] = std::ldexp(a[i][j], -3 * j);
      }}},
    {"tiny_entries_4x3",
     {{4, 3},
      [](Grid &a, int m, int n) {
        uniform(a, m, n, 113);
        for (int i = 1; i <= m; ++i)
          for (int j = 1; j <= n; ++j) a[i][j] *= 1e-8f;
      }}},
    {"huge_entries_5x5",
     {{5, 5},
      [](Grid &a, int m, int n) {
        uniform(a, m, n, 114);
        for (int i = 1; i <= m; ++i)
          for (int j = 1; j <= n; ++j) a[i][j] *= 1e30f;
      }}},
    {"zero_4x4",
     {{4, 4},
      [](Grid &a, int m, int n) {
        a.fill([] { return 0.0f; });
        (void)m, (void)n;
      }}},
    {"awkward_9x7",
     {{9, 7},
      [](Grid &a, int, int) {
        Source src(115);
        a.fill([&src] { return src.mixed(-10, 10); });
      }}},
    {"nan_entry_4x4",
     {{4, 4},
      [](Grid &a, int m, int n) {
        uniform(a, m, n, 116);
        a[2][3] = NAN;
      }}},
};

const bool svdcmp_cases = [] {
  for (const auto &[name, shape_and_fill] : kMatrices) {
    const auto shape = shape_and_fill.first;
    const Fill fill = shape_and_fill.second;
    Register("svdcmp", name, [shape, fill](Digest &d) {
      const auto [m, n] = shape;
      Grid a(m, n), v(n, n);
      Vec w(1, n);
      fill(a, m, n);
      svdcmp(a.p(), m, n, w.p(), v.p());
      a.digest(d);
      w.digest(d);
      v.digest(d);
    });
  }
  return true;
}();

const Register pythag_table("pythag", "table", [](Digest &d) {
  const float values[] = {0.0f,     -0.0f,     1.0f,      -1.0f,     3.0f,    -4.0f, 1e30f,
                          -1e30f,   1e-30f,    0x1p-149f, 0x1p-126f, 3.4e38f, 1e19f, 1e-20f,
                          INFINITY, -INFINITY, NAN,       0.5f,      2.0f,    7.0f};
  for (float a : values)
    for (float b : values) d.value(pythag(a, b));
});

const Register pythag_random("pythag", "scaled_pairs", [](Digest &d) {
  Source src(120);
  for (int i = 0; i < 20000; ++i) {
    const float a = src.scaled(-140, 120), b = src.scaled(-140, 120);
    d.value(pythag(a, b));
  }
});

// Decomposes a filled m × n matrix, zeroes the listed singular values, then
// solves for b (or in place, x = b, when m == n and alias is set).
void run_svbksb(Digest &d, int m, int n, const Fill &fill, std::uint64_t seed,
                std::initializer_list<int> zeroed, bool alias) {
  Grid u(m, n), v(n, n);
  Vec w(1, n), b(1, m), x(1, n);
  fill(u, m, n);
  svdcmp(u.p(), m, n, w.p(), v.p());
  for (int j : zeroed) w[j] = 0.0f;
  Source src(seed);
  b.fill([&src] { return src.signed_unit(); });
  if (alias) {
    svbksb(u.p(), w.p(), v.p(), m, n, b.p(), b.p());
    b.digest(d);
  } else {
    svbksb(u.p(), w.p(), v.p(), m, n, b.p(), x.p());
    x.digest(d);
    b.digest(d);
  }
  u.digest(d);
  w.digest(d);
  v.digest(d);
}

Fill random_fill(std::uint64_t seed) {
  return [seed](Grid &a, int m, int n) { uniform(a, m, n, seed); };
}

const bool svbksb_cases = [] {
  Register("svbksb", "identity_factors", [](Digest &d) {
    Grid u(2, 2), v(2, 2);
    Vec w(1, 2), b(1, 2), x(1, 2);
    u[1][1] = v[1][1] = u[2][2] = v[2][2] = 1.0f;
    u[1][2] = v[1][2] = u[2][1] = v[2][1] = 0.0f;
    w[1] = 2.0f, w[2] = 4.0f, b[1] = b[2] = 1.0f;
    svbksb(u.p(), w.p(), v.p(), 2, 2, b.p(), x.p());
    x.digest(d);
  });
  Register("svbksb", "random_1x1",
           [](Digest &d) { run_svbksb(d, 1, 1, random_fill(130), 131, {}, false); });
  Register("svbksb", "random_6x4",
           [](Digest &d) { run_svbksb(d, 6, 4, random_fill(132), 133, {}, false); });
  Register("svbksb", "random_30x30",
           [](Digest &d) { run_svbksb(d, 30, 30, random_fill(134), 135, {}, false); });
  Register("svbksb", "random_128x64",
           [](Digest &d) { run_svbksb(d, 128, 64, random_fill(136), 137, {}, false); });
  Register("svbksb", "zeroed_values_20x12", [](Digest &d) {
    run_svbksb(d, 20, 12, random_fill(138), 139, {2, 7, 12}, false);
  });
  Register("svbksb", "in_place_30x30",
           [](Digest &d) { run_svbksb(d, 30, 30, random_fill(134), 135, {}, true); });
  Register("svbksb", "rank_5_of_30x20", [](Digest &d) {
    run_svbksb(
        d, 30, 20, [](Grid &a, int m, int n) { low_rank(a, m, n, 5, 110); }, 140, {}, false);
  });
  return true;
}();

void run_svdvar(Digest &d, int p, std::uint64_t seed, std::initializer_list<int> zeroed) {
  Grid a(p, p), v(p, p), cvm(p, p);
  Vec w(1, p);
  uniform(a, p, p, seed);
  svdcmp(a.p(), p, p, w.p(), v.p());
  for (int j : zeroed) w[j] = 0.0f;
  svdvar(v.p(), p, w.p(), cvm.p());
  cvm.digest(d);
  v.digest(d);
  w.digest(d);
}

const bool svdvar_cases = [] {
  Register("svdvar", "identity_w_2_0", [](Digest &d) {
    Grid v(2, 2), cvm(2, 2);
    Vec w(1, 2);
    v[1][1] = v[2][2] = 1.0f;
    v[1][2] = v[2][1] = 0.0f;
    w[1] = 2.0f, w[2] = 0.0f;
    svdvar(v.p(), 2, w.p(), cvm.p());
    cvm.digest(d);
  });
  Register("svdvar", "random_1", [](Digest &d) { run_svdvar(d, 1, 150, {}); });
  Register("svdvar", "random_4", [](Digest &d) { run_svdvar(d, 4, 151, {}); });
  Register("svdvar", "random_20", [](Digest &d) { run_svdvar(d, 20, 152, {}); });
  Register("svdvar", "random_64", [](Digest &d) { run_svdvar(d, 64, 153, {}); });
  Register("svdvar", "zeroed_values_9", [](Digest &d) { run_svdvar(d, 9, 154, {1, 5, 9}); });
  return true;
}();

// Zero-based n × n input; the result goes to a separate matrix, or back into
// the input when in_place is set.
void run_inverse(Digest &d, int n, const std::function<void(Grid &)> &fill, bool in_place) {
  Grid a(0, n - 1, 0, n - 1), r(0, n - 1, 0, n - 1);
  fill(a);
  if (in_place) {
    d.value(getInverseMatrixUsingSVD(a.p(), a.p(), n));
    a.digest(d);
  } else {
    d.value(getInverseMatrixUsingSVD(a.p(), r.p(), n));
    r.digest(d);
    a.digest(d);
  }
}

std::function<void(Grid &)> zero_based(const Fill &fill, int n) {
  // The fills above are one-based; shift through a one-based scratch grid.
  return [fill, n](Grid &a) {
    Grid one(n, n);
    fill(one, n, n);
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < n; ++j) a[i][j] = one[i + 1][j + 1];
  };
}

const bool inverse_cases = [] {
  Register("getInverseMatrixUsingSVD", "diag_2_4", [](Digest &d) {
    run_inverse(
        d, 2, [](Grid &a) { a[0][0] = 2, a[0][1] = 0, a[1][0] = 0, a[1][1] = 4; }, false);
  });
  Register("getInverseMatrixUsingSVD", "ones_2x2_drops_one_value", [](Digest &d) {
    run_inverse(
        d, 2, [](Grid &a) { a.fill([] { return 1.0f; }); }, false);
  });
  Register("getInverseMatrixUsingSVD", "1x1_minus3", [](Digest &d) {
    run_inverse(
        d, 1, [](Grid &a) { a[0][0] = -3.0f; }, false);
  });
  for (int n : {8, 32, 128})
    Register("getInverseMatrixUsingSVD", "random_" + dims(n, n),
             [n](Digest &d) { run_inverse(d, n, zero_based(random_fill(160 + n), n), false); });
  Register("getInverseMatrixUsingSVD", "in_place_16x16",
           [](Digest &d) { run_inverse(d, 16, zero_based(random_fill(161), 16), true); });
  Register("getInverseMatrixUsingSVD", "zero_3x3", [](Digest &d) {
    run_inverse(
        d, 3, [](Grid &a) { a.fill([] { return 0.0f; }); }, false);
  });
  Register("getInverseMatrixUsingSVD", "rank_4_of_10x10", [](Digest &d) {
    run_inverse(d, 10, zero_based([](Grid &a, int m, int n) { low_rank(a, m, n, 4, 162); }, 10),
                false);
  });
  Register("getInverseMatrixUsingSVD", "hilbert_8x8", [](Digest &d) {
    run_inverse(d, 8, zero_based([](Grid &a, int m, int n) { hilbert(a, m, n); }, 8), false);
  });
  Register("getInverseMatrixUsingSVD", "nan_entry_3x3", [](Digest &d) {
    run_inverse(
        d, 3,
        [](Grid &a) {
          Source src(163);
          a.fill([&src] { return src.signed_unit(); });
          a[1][1] = NAN;
        },
        false);
  });
  return true;
}();

}  // namespace
}  // namespace ts::testing
