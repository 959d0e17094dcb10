// SPDX-License-Identifier: MIT
// Dense products, transpose, diagonal scaling and copies between index bases.
// Inputs are zero-based with a guard ring, so the cells just outside each
// range (and, for copy_matrix, the unused row and column 0 or n) are digested too.
#include <string>
#include <tuple>

#include "golden.h"
#include "tissuesteward/products.h"

namespace ts::testing {
namespace {

std::string dims(int a, int b) { return std::to_string(a) + "x" + std::to_string(b); }
std::string dims(int a, int b, int c) { return dims(a, b) + "x" + std::to_string(c); }

// Zero-based rows 0..n-1, columns 0..m-1.
struct Zero : Grid {
  Zero(int n, int m) : Grid(0, n - 1, 0, m - 1) {}
};

auto unit_values(Source &src) {
  return [&src] { return src.signed_unit(); };
}
auto awkward_values(Source &src) {
  return [&src] { return src.mixed(-20, 20); };
}

void run_matrix_matrix(Digest &d, int n, int p, int m, bool awkward, std::uint64_t seed) {
  Source src(seed);
  Zero a(n, p), b(p, m), z(n, m);
  if (awkward) {
    a.fill(awkward_values(src));
    b.fill(awkward_values(src));
  } else {
    a.fill(unit_values(src));
    b.fill(unit_values(src));
  }
  matrix_matrix_mult(a.p(), b.p(), z.p(), n, p, m);
  z.digest(d);
  a.digest(d);
  b.digest(d);
}

const bool matrix_matrix_cases = [] {
  for (auto [n, p, m] : {std::tuple{1, 1, 1}, {3, 4, 5}, {17, 13, 9}, {64, 64, 64}, {96, 33, 120}})
    Register("matrix_matrix_mult", "random_" + dims(n, p, m),
             [n = n, p = p, m = m](Digest &d) { run_matrix_matrix(d, n, p, m, false, 11); });
  Register("matrix_matrix_mult", "awkward_9x7x11",
           [](Digest &d) { run_matrix_matrix(d, 9, 7, 11, true, 12); });
  Register("matrix_matrix_mult", "inner_0_zeroes_output",
           [](Digest &d) { run_matrix_matrix(d, 4, 0, 3, false, 13); });
  Register("matrix_matrix_mult", "no_rows_or_columns", [](Digest &d) {
    run_matrix_matrix(d, 0, 3, 4, false, 14);
    run_matrix_matrix(d, 3, 4, 0, false, 15);
  });
  return true;
}();

const Register matrix_matrix_example("matrix_matrix_mult", "2x2_small_integers", [](Digest &d) {
  Zero a(2, 2), b(2, 2), z(2, 2);
  a[0][0] = 1, a[0][1] = 2, a[1][0] = 3, a[1][1] = 4;
  b[0][0] = 5, b[0][1] = 6, b[1][0] = 7, b[1][1] = 8;
  matrix_matrix_mult(a.p(), b.p(), z.p(), 2, 2, 2);
  z.digest(d);
});

// A·Aᵀ through either entry point; fast_ also gets a B that must stay as it is.
void run_gram(Digest &d, int n, int m, bool awkward, bool fast, std::uint64_t seed) {
  Source src(seed);
  Zero a(n, m), z(n, n), b(3, 5);
  if (awkward)
    a.fill(awkward_values(src));
  else
    a.fill(unit_values(src));
  b.fill(unit_values(src));
  if (fast) {
    for (int flags = 0; flags < 4; ++flags) {
      Zero zf(n, n);
      fast_matrix_matrix_mult(a.p(), b.p(), zf.p(), n, 1 + flags, m, flags & 1, flags & 2);
      zf.digest(d);
    }
    b.digest(d);
  } else {
    transposematrix_matrix_mult(a.p(), z.p(), n, m);
    z.digest(d);
  }
  a.digest(d);
}

const bool gram_cases = [] {
  for (bool fast : {false, true}) {
    const char *routine = fast ? "fast_matrix_matrix_mult" : "transposematrix_matrix_mult";
    for (auto [n, m] : {std::pair{1, 1}, {2, 3}, {5, 3}, {33, 17}, {64, 128}})
      Register(routine, "random_" + dims(n, m),
               [n = n, m = m, fast](Digest &d) { run_gram(d, n, m, false, fast, 21); });
    Register(routine, "awkward_12x9", [fast](Digest &d) { run_gram(d, 12, 9, true, fast, 22); });
    Register(routine, "no_columns_gives_zeros",
             [fast](Digest &d) { run_gram(d, 4, 0, false, fast, 23); });
    Register(routine, "no_rows", [fast](Digest &d) { run_gram(d, 0, 4, false, fast, 24); });
  }
  return true;
}();

void run_matrix_vector(Digest &d, int n, int m, bool awkward, std::uint64_t seed) {
  Source src(seed);
  Zero a(n, m);
  Vec x(0, m - 1), y(0, n - 1);
  if (awkward) {
    a.fill(awkward_values(src));
    x.fill(awkward_values(src));
  } else {
    a.fill(unit_values(src));
    x.fill(unit_values(src));
  }
  matrix_vector_mult(a.p(), x.p(), y.p(), n, m);
  y.digest(d);
  x.digest(d);
  a.digest(d);
}

const bool matrix_vector_cases = [] {
  for (auto [n, m] : {std::pair{1, 1}, {4, 7}, {100, 37}, {256, 256}})
    Register("matrix_vector_mult", "random_" + dims(n, m),
             [n = n, m = m](Digest &d) { run_matrix_vector(d, n, m, false, 31); });
  Register("matrix_vector_mult", "awkward_15x13",
           [](Digest &d) { run_matrix_vector(d, 15, 13, true, 32); });
  Register("matrix_vector_mult", "no_columns_gives_zeros",
           [](Digest &d) { run_matrix_vector(d, 5, 0, false, 33); });
  return true;
}();

void run_dot(Digest &d, int n, bool awkward, std::uint64_t seed) {
  Source src(seed);
  Vec x(0, n < 0 ? -1 : n - 1), y(0, n < 0 ? -1 : n - 1);
  if (awkward) {
    x.fill(awkward_values(src));
    y.fill(awkward_values(src));
  } else {
    x.fill(unit_values(src));
    y.fill(unit_values(src));
  }
  d.value(vector_vector_mult(x.p(), y.p(), n));
  x.digest(d);
  y.digest(d);
}

const bool dot_cases = [] {
  for (int n : {0, 1, 5, 1000, 100000})
    Register("vector_vector_mult", "random_" + std::to_string(n),
             [n](Digest &d) { run_dot(d, n, false, 41); });
  Register("vector_vector_mult", "negative_count", [](Digest &d) { run_dot(d, -3, false, 42); });
  Register("vector_vector_mult", "awkward_64", [](Digest &d) { run_dot(d, 64, true, 43); });
  Register("vector_vector_mult", "overflow_and_cancellation", [](Digest &d) {
    // 1e30·1e30 overflows to +inf; a later -inf term makes the sum NaN.
    Vec x(0, 3), y(0, 3);
    const float xs[] = {1e30f, 1.0f, -1e30f, 2.0f};
    const float ys[] = {1e30f, 1e-30f, 1e30f, -0.0f};
    for (int i = 0; i < 4; ++i) x[i] = xs[i], y[i] = ys[i];
    for (int n = 1; n <= 4; ++n) d.value(vector_vector_mult(x.p(), y.p(), n));
  });
  return true;
}();

void run_transpose(Digest &d, int n, int m, bool awkward, std::uint64_t seed) {
  Source src(seed);
  Zero a(n, m), b(m, n);
  if (awkward)
    a.fill(awkward_values(src));
  else
    a.fill(unit_values(src));
  matrix_transpose(a.p(), b.p(), n, m);
  b.digest(d);
  a.digest(d);
}

const bool transpose_cases = [] {
  for (auto [n, m] : {std::pair{1, 1}, {3, 5}, {64, 48}})
    Register("matrix_transpose", "random_" + dims(n, m),
             [n = n, m = m](Digest &d) { run_transpose(d, n, m, false, 51); });
  Register("matrix_transpose", "awkward_7x6", [](Digest &d) { run_transpose(d, 7, 6, true, 52); });
  return true;
}();

void run_diagonal(Digest &d, int n, int m, bool awkward, std::uint64_t seed) {
  Source src(seed);
  Zero a(n, m);
  Vec diag(0, n - 1);
  if (awkward) {
    a.fill(awkward_values(src));
    diag.fill(awkward_values(src));
  } else {
    a.fill(unit_values(src));
    diag.fill(unit_values(src));
  }
  diagmatrix_matrix_mult(diag.p(), a.p(), n, m);
  a.digest(d);
  diag.digest(d);
}

const bool diagonal_cases = [] {
  for (auto [n, m] : {std::pair{1, 1}, {4, 9}, {128, 100}})
    Register("diagmatrix_matrix_mult", "random_" + dims(n, m),
             [n = n, m = m](Digest &d) { run_diagonal(d, n, m, false, 61); });
  Register("diagmatrix_matrix_mult", "awkward_11x8",
           [](Digest &d) { run_diagonal(d, 11, 8, true, 62); });
  Register("diagmatrix_matrix_mult", "infinite_and_nan_scales", [](Digest &d) {
    Source src(63);
    Zero a(4, 3);
    Vec diag(0, 3);
    a.fill(unit_values(src));
    a[1][1] = 0.0f;
    a[3][0] = -0.0f;
    const float scales[] = {INFINITY, -INFINITY, NAN, 0.0f};
    for (int i = 0; i < 4; ++i) diag[i] = scales[i];
    diagmatrix_matrix_mult(diag.p(), a.p(), 4, 3);
    a.digest(d);
  });
  return true;
}();

// Source and destination cover rows and columns 0..n and 0..m, so each mode's
// unused row and column are there to be seen. Values include NaN payloads
// and a signalling NaN: the copy is bit for bit.
void run_copy(Digest &d, int n, int m, int mode, std::uint64_t seed) {
  Source src(seed);
  Grid from(0, n, 0, m), to(0, n, 0, m);
  from.fill([&src] {
    switch (src.below(8)) {
      case 0:
        return from_bits(0x7f800001u);  // signalling NaN
      case 1:
        return from_bits(0xffc01234u);  // negative quiet NaN with a payload
      case 2:
        return src.awkward();
      default:
        return src.signed_unit();
    }
  });
  copy_matrix(from.p(), to.p(), n, m, mode);
  to.digest_bits(d);
  from.digest_bits(d);
}

const bool copy_cases = [] {
  for (int mode : {0, 1, 2, 3, 4, -1, 7})
    for (auto [n, m] : {std::pair{1, 1}, {3, 4}, {20, 13}})
      Register("copy_matrix",
               "mode_" + (mode < 0 ? "minus" + std::to_string(-mode) : std::to_string(mode)) + "_" +
                   dims(n, m),
               [n = n, m = m, mode](Digest &d) { run_copy(d, n, m, mode, 70 + mode); });
  return true;
}();

}  // namespace
}  // namespace ts::testing
