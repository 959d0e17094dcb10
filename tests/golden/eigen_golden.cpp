// SPDX-License-Identifier: MIT
// Jacobi eigen-decomposition of symmetric matrices (diagonal, repeated
// eigenvalues, singular, badly scaled, up to 64×64; the lower triangle
// holds values that must be left alone) and the ordering of the results.
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "golden.h"
#include "tissuesteward/eigen.h"

namespace ts::testing {
namespace {

// Fills the upper triangle and diagonal; the lower triangle gets unrelated
// values that jacobi never reads.
using Upper = std::function<float(int i, int j)>;

void run_jacobi(Digest &d, int n, const Upper &upper, std::uint64_t seed) {
  Grid a(n, n), v(n, n);
  Vec values(1, n);
  Source src(seed);
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) a[i][j] = j >= i ? upper(i, j) : src.awkward();
  int nrot = -1;
  jacobi(a.p(), n, values.p(), v.p(), &nrot);
  d.value(nrot);
  values.digest(d);
  v.digest(d);
  a.digest(d);
}

Upper random_upper(std::uint64_t seed, int n, float scale = 1.0f) {
  auto table = std::make_shared<std::vector<float>>();
  Source src(seed);
  for (int k = 0; k < n * n; ++k) table->push_back(scale * src.signed_unit());
  return [table, n](int i, int j) {
    return (*table)[static_cast<std::size_t>((i - 1) * n + (j - 1))];
  };
}

const bool jacobi_cases = [] {
  Register("jacobi", "1x1", [](Digest &d) {
    run_jacobi(
        d, 1, [](int, int) { return -2.5f; }, 1400);
  });
  Register("jacobi", "2x2_one_rotation", [](Digest &d) {
    run_jacobi(
        d, 2, [](int i, int j) { return i == j ? 2.0f : 1.0f; }, 1401);
  });
  Register("jacobi", "diagonal_4", [](Digest &d) {
    run_jacobi(
        d, 4, [](int i, int j) { return i == j ? static_cast<float>(5 - 2 * i) : 0.0f; }, 1402);
  });
  for (int n : {3, 10, 30, 64})
    Register("jacobi", "random_" + std::to_string(n),
             [n](Digest &d) { run_jacobi(d, n, random_upper(1410 + n, n), 1411 + n); });
  Register("jacobi", "repeated_eigenvalues_8", [](Digest &d) {
    // 3·I + u·uᵀ: the eigenvalue 3 seven times over, and 3 + |u|².
    run_jacobi(
        d, 8,
        [](int i, int j) {
          return (i == j ? 3.0f : 0.0f) +
                 0.5f * static_cast<float>(i) * 0.25f * static_cast<float>(j);
        },
        1420);
  });
  Register("jacobi", "zero_5", [](Digest &d) {
    run_jacobi(
        d, 5, [](int, int) { return 0.0f; }, 1421);
  });
  Register("jacobi", "rank_one_6", [](Digest &d) {
    run_jacobi(
        d, 6, [](int i, int j) { return static_cast<float>(i) * static_cast<float>(j); }, 1422);
  });
  Register("jacobi", "hilbert_8", [](Digest &d) {
    run_jacobi(
        d, 8, [](int i, int j) { return 1.0f / static_cast<float>(i + j - 1); }, 1423);
  });
  Register("jacobi", "tiny_and_huge_scales", [](Digest &d) {
    run_jacobi(d, 7, random_upper(1424, 7, 1e-20f), 1425);
    run_jacobi(d, 7, random_upper(1426, 7, 1e20f), 1427);
  });
  Register("jacobi", "graded_10", [](Digest &d) {
    const Upper base = random_upper(1428, 10);
    run_jacobi(
        d, 10, [base](int i, int j) { return std::ldexp(base(i, j), -2 * (i + j)); }, 1429);
  });
  return true;
}();

void run_eigsrt(Digest &d, Vec &values, Grid &v, int n) {
  eigsrt(values.p(), v.p(), n);
  values.digest(d);
  v.digest(d);
}

const bool eigsrt_cases = [] {
  Register("eigsrt", "after_jacobi_12", [](Digest &d) {
    const int n = 12;
    Grid a(n, n), v(n, n);
    Vec values(1, n);
    const Upper upper = random_upper(1430, n);
    for (int i = 1; i <= n; ++i)
      for (int j = i; j <= n; ++j) a[i][j] = upper(i, j);
    int nrot = 0;
    jacobi(a.p(), n, values.p(), v.p(), &nrot);
    run_eigsrt(d, values, v, n);
  });
  const std::pair<const char *, std::vector<float>> lists[] = {
      {"one", {4.0f}},
      {"ascending_3", {1.0f, 3.0f, 2.0f}},
      {"equal_pair", {5.0f, 5.0f}},
      {"ties_and_signed_zeros", {0.0f, -0.0f, 2.0f, 2.0f, -1.0f, 0.0f, 2.0f}},
      {"nan_stays", {1.0f, NAN, 3.0f, 2.0f, NAN, -4.0f}},
      {"infinities", {-INFINITY, 1.0f, INFINITY, 0.5f}},
  };
  for (const auto &[name, list] : lists)
    Register("eigsrt", name, [list = list](Digest &d) {
      const int n = static_cast<int>(list.size());
      Vec values(1, n);
      Grid v(n, n);
      Source src(1431);
      for (int i = 1; i <= n; ++i) values[i] = list[static_cast<std::size_t>(i - 1)];
      v.fill([&src] { return src.signed_unit(); });
      run_eigsrt(d, values, v, n);
    });
  Register("eigsrt", "few_distinct_200", [](Digest &d) {
    const int n = 200;
    Vec values(1, n);
    Grid v(n, n);
    Source src(1432);
    values.fill([&src] { return static_cast<float>(src.below(9)) - 4.0f; });
    v.fill([&src] { return src.signed_unit(); });
    run_eigsrt(d, values, v, n);
  });
  return true;
}();

}  // namespace
}  // namespace ts::testing
