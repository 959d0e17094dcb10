// SPDX-License-Identifier: MIT
// Gauss-Jordan elimination (with and without right-hand sides, row
// exchanges, ties in pivot magnitude, ill-conditioned and badly scaled
// systems) and the re-spreading of a packed covariance matrix.
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "golden.h"
#include "tissuesteward/linsolve.h"

namespace ts::testing {
namespace {

// a[1..n][1..n] filled, then m right-hand sides (none: a null b, m = 0).
void run_gaussj(Digest &d, int n, int m, const std::function<void(Grid &)> &fill,
                std::uint64_t seed) {
  Grid a(n, n), b(n, m < 1 ? 1 : m);
  fill(a);
  Source src(seed);
  if (m > 0) {
    b.fill([&src] { return src.signed_unit(); });
    gaussj(a.p(), n, b.p(), m);
  } else {
    gaussj(a.p(), n, nullptr, m);
  }
  a.digest(d);
  b.digest(d);
}

std::function<void(Grid &)> uniform(std::uint64_t seed, float scale = 1.0f) {
  return [seed, scale](Grid &a) {
    Source src(seed);
    a.fill([&] { return scale * src.signed_unit(); });
  };
}

// Sylvester's construction: entries ±1, rows orthogonal, so every pivot
// search meets ties in magnitude.
void hadamard(Grid &a, int n) {
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      bool odd = false;
      for (unsigned bits = static_cast<unsigned>(i & j); bits != 0; bits >>= 1)
        odd ^= (bits & 1u) != 0;
      a[i + 1][j + 1] = odd ? -1.0f : 1.0f;
    }
}

const bool gaussj_cases = [] {
  Register("gaussj", "1x1", [](Digest &d) {
    run_gaussj(
        d, 1, 2, [](Grid &a) { a[1][1] = -4.0f; }, 1300);
  });
  Register("gaussj", "exchange_2x2", [](Digest &d) {
    run_gaussj(
        d, 2, 2, [](Grid &a) { a[1][1] = 0, a[1][2] = 1, a[2][1] = 1, a[2][2] = 0; }, 1301);
  });
  Register("gaussj", "identity_5", [](Digest &d) {
    run_gaussj(
        d, 5, 1,
        [](Grid &a) {
          for (int i = 1; i <= 5; ++i)
            for (int j = 1; j <= 5; ++j) a[i][j] = i == j ? 1.0f : 0.0f;
        },
        1302);
  });
  for (auto [n, m] : {std::pair{3, 1}, {10, 3}, {40, 0}, {100, 5}})
    Register("gaussj", "random_" + std::to_string(n) + "_rhs_" + std::to_string(m),
             [n = n, m = m](Digest &d) { run_gaussj(d, n, m, uniform(1310 + n), 1311 + n); });
  Register("gaussj", "hadamard_8_ties", [](Digest &d) {
    run_gaussj(
        d, 8, 2, [](Grid &a) { hadamard(a, 8); }, 1320);
  });
  Register("gaussj", "hilbert_8", [](Digest &d) {
    run_gaussj(
        d, 8, 2,
        [](Grid &a) {
          for (int i = 1; i <= 8; ++i)
            for (int j = 1; j <= 8; ++j) a[i][j] = 1.0f / static_cast<float>(i + j - 1);
        },
        1321);
  });
  Register("gaussj", "tiny_and_huge_scales", [](Digest &d) {
    run_gaussj(d, 6, 1, uniform(1322, 1e-30f), 1323);
    run_gaussj(d, 6, 1, uniform(1324, 1e30f), 1325);
  });
  Register("gaussj", "graded_rows_12", [](Digest &d) {
    run_gaussj(
        d, 12, 2,
        [](Grid &a) {
          uniform(1326)(a);
          for (int i = 1; i <= 12; ++i)
            for (int j = 1; j <= 12; ++j) a[i][j] = std::ldexp(a[i][j], 5 * i - 30);
        },
        1327);
  });
  return true;
}();

// A symmetric packed block of order mfit in covar[1..ma][1..ma] (the rest
// of the matrix holds other values, which must be cleared), then covsrt.
void run_covsrt(Digest &d, int ma, Cells<int> &flags, std::uint64_t seed) {
  int mfit = 0;
  for (int j = 1; j <= ma; ++j) mfit += flags[j] != 0;
  Source src(seed);
  Grid covar(ma, ma);
  covar.fill([&src] { return src.signed_unit(); });
  for (int i = 1; i <= mfit; ++i)
    for (int j = 1; j < i; ++j) covar[j][i] = covar[i][j];
  covsrt(covar.p(), ma, flags.p(), mfit);
  covar.digest(d);
  flags.digest(d);
}

const bool covsrt_cases = [] {
  const std::pair<const char *, std::vector<int>> patterns[] = {
      {"flags_1_0_1", {1, 0, 1}},      {"all_fitted_5", {1, 1, 1, 1, 1}},
      {"none_fitted_4", {0, 0, 0, 0}}, {"any_nonzero_counts_6", {2, 0, -1, 0, 0, 7}},
      {"last_held_4", {1, 1, 1, 0}},   {"first_held_4", {0, 1, 1, 1}},
  };
  for (const auto &[name, pattern] : patterns)
    Register("covsrt", name, [pattern = pattern](Digest &d) {
      const int ma = static_cast<int>(pattern.size());
      Cells<int> flags(1, ma);
      for (int j = 1; j <= ma; ++j) flags[j] = pattern[static_cast<std::size_t>(j - 1)];
      run_covsrt(d, ma, flags, 1330 + static_cast<std::uint64_t>(ma));
    });
  Register("covsrt", "random_flags_40", [](Digest &d) {
    Source src(1331);
    Cells<int> flags(1, 40);
    flags.fill([&src] { return static_cast<int>(src.below(3)) - 1; });
    run_covsrt(d, 40, flags, 1332);
  });
  return true;
}();

}  // namespace
}  // namespace ts::testing
