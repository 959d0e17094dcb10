// SPDX-License-Identifier: MIT
// Vector kernels of the dense products: the pointer table the products use,
// and the templates each target instantiates on its lane types (simd/vec.h).
//
// Every sum is the documented one: a float accumulator that starts at 0 and
// adds its products, each rounded to float, in ascending k. The kernels only
// work on several sums at once, one vector lane (or register) per output
// element. A sum interrupted after a block of k is stored in its output and
// taken up again from there, which is the same float.
#ifndef TISSUESTEWARD_PRODUCTS_KERNELS_H
#define TISSUESTEWARD_PRODUCTS_KERNELS_H

namespace ts::simd {

struct ProductsKernels {
  // row[0..count-1] *= d, elementwise in float.
  void (*scale_row)(float *row, float d, int count);
  // z[i][j] = Σ_k a[i][k]·b[k][j] for i < n, j < m, k < p (0 when p <= 0).
  void (*matrix_matrix)(const float *const *a, const float *const *b, float *const *z, int n, int p,
                        int m);
  // z[i][j] = Σ_k a[i][k]·a[j][k] (k < m) for every j <= i < n. Some z[i][j]
  // with i < j < n are written too, with the same sums.
  void (*lower_row_products)(const float *const *a, float *const *z, int n, int m);
  // y[i] = Σ_j a[i][j]·x[j] for i < n, j < m.
  void (*matrix_vector)(const float *const *a, const float *x, float *y, int n, int m);
  // b[j][i] = a[i][j] for i < n, j < m, as bit patterns.
  void (*transpose)(const float *const *a, float *const *b, int n, int m);
};

// Kernel templates: L is a target's Lanes (L::F floats, L::D doubles, L::F1
// one float, L::FT the vectors that have a transpose).
namespace generic {

template <class L>
void scale_row(float *row, float d, int count) {
  using F = typename L::F;
  const typename F::V dv = F::set1(d);
  int j = 0;
  for (; j + F::kLanes <= count; j += F::kLanes) F::store(row + j, F::mul(F::load(row + j), dv));
  for (; j < count; ++j) row[j] = row[j] * d;
}

// --- Z = A·B ---------------------------------------------------------------
// A tile reads a piece of every row of B in its depth block, one row stride
// apart, and each piece (64 bytes with 8 lanes) mostly straddles two cache
// lines. Left to the hardware those lines arrive late; the full tiles fetch
// the lines of the piece kProductAhead rows ahead instead, for one pointer
// load and two (four with 16 lanes) fetches per step. Of 4, 8 and 16 rows
// ahead, 16 measured best on AVX2 at 256 and at 1024 (with other work on the
// machine, so that the second-level cache is not always warm).
constexpr int kProductAhead = 16;

// Fetches the cache lines of row[0..count-1]; nothing else happens.
template <class T>
void fetch_ahead(const float *row, int count) {
  for (int e = 0; e < count; e += 16) __builtin_prefetch(row + e);
  __builtin_prefetch(row + count - 1);
}

// One step k of a tile: broadcast A[i + r][k], times the C vectors of B's
// row k at j, added to the running sums (product first, sum second).
template <class T, int R, int C>
void product_step(const float *const *a, const float *b_row, typename T::V (&acc)[R][C], int i,
                  int j, int k) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  V bk[C];
  for (int c = 0; c < C; ++c) bk[c] = T::load(b_row + j + c * W);
  for (int r = 0; r < R; ++r) {
    const V ak = T::set1(a[i + r][k]);
    for (int c = 0; c < C; ++c) acc[r][c] = T::add(acc[r][c], T::mul(ak, bk[c]));
  }
}

// An R × (C vectors) tile of Z held in registers while k runs over
// [k0, k1): each step broadcasts R elements of A's column k and multiplies
// them by C vectors of B's row k. The tile starts from 0 when k0 is 0 and
// from what Z holds otherwise.
template <class T, int R, int C>
void product_tile(const float *const *a, const float *const *b, float *const *z, int i, int j,
                  int k0, int k1) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  V acc[R][C];
  for (int r = 0; r < R; ++r)
    for (int c = 0; c < C; ++c) acc[r][c] = k0 == 0 ? T::set1(0.0f) : T::load(z[i + r] + j + c * W);
  int k = k0;
  // Only full tiles fetch ahead: the narrow ones at the right edge do too
  // little per step to pay for it.
  if (C > 1)
    for (; k + kProductAhead < k1; ++k) {
      fetch_ahead<T>(b[k + kProductAhead] + j, C * W);
      product_step<T, R, C>(a, b[k], acc, i, j, k);
    }
  for (; k < k1; ++k) product_step<T, R, C>(a, b[k], acc, i, j, k);
  for (int r = 0; r < R; ++r)
    for (int c = 0; c < C; ++c) T::store(z[i + r] + j + c * W, acc[r][c]);
}

// Rows [i, i + R) of Z, columns [j0, j1): C vectors at a time, then one
// vector, then one column.
template <class L, int R, int C>
void product_rows(const float *const *a, const float *const *b, float *const *z, int i, int j0,
                  int j1, int k0, int k1) {
  using F = typename L::F;
  constexpr int W = F::kLanes;
  int j = j0;
  for (; j + C * W <= j1; j += C * W) product_tile<F, R, C>(a, b, z, i, j, k0, k1);
  for (; j + W <= j1; j += W) product_tile<F, R, 1>(a, b, z, i, j, k0, k1);
  for (; j < j1; ++j) product_tile<typename L::F1, R, 1>(a, b, z, i, j, k0, k1);
}

// Tile shapes: R rows × C vectors of running sums, plus C vectors of B's
// row, a broadcast and a product must fit the register file. 16 registers
// (SSE2, AVX2): 6 × 2 takes all 16 (12 sums); the adds of 12 independent
// sums never wait on each other. 32 registers (AVX-512): 8 × 3, 29 of them.
template <class F>
constexpr int kProductRows = F::kLanes == 16 ? 8 : 6;
template <class F>
constexpr int kProductVectors = F::kLanes == 16 ? 3 : 2;
// Blocking: k runs in blocks of kProductDepth and the columns in windows of
// about kProductWidth (whole tiles), so the block of B a window reads
// (256 × 128 floats, 128 KiB) stays in the second-level cache. For each
// block the rows of A pass R at a time (the last few R / 2 at a time, then
// one), and the R × 256 elements of A a row of tiles broadcasts stay in the
// first-level cache while the tiles walk across the window.
constexpr int kProductDepth = 256;
constexpr int kProductWidth = 128;

template <class L>
void matrix_matrix(const float *const *a, const float *const *b, float *const *z, int n, int p,
                   int m) {
  using F = typename L::F;
  constexpr int R = kProductRows<F>, C = kProductVectors<F>;
  constexpr int kWindow = kProductWidth / (C * F::kLanes) * (C * F::kLanes);
  if (p <= 0) {
    for (int i = 0; i < n; ++i)
      for (int j = 0; j < m; ++j) z[i][j] = 0.0f;
    return;
  }
  for (int j0 = 0; j0 < m; j0 += kWindow) {
    const int j1 = m - j0 > kWindow ? j0 + kWindow : m;
    for (int k0 = 0; k0 < p; k0 += kProductDepth) {
      const int k1 = p - k0 > kProductDepth ? k0 + kProductDepth : p;
      int i = 0;
      for (; i + R <= n; i += R) product_rows<L, R, C>(a, b, z, i, j0, j1, k0, k1);
      for (; i + R / 2 <= n; i += R / 2) product_rows<L, R / 2, C>(a, b, z, i, j0, j1, k0, k1);
      for (; i < n; ++i) product_rows<L, 1, C>(a, b, z, i, j0, j1, k0, k1);
    }
  }
}

// --- dot products of rows ---------------------------------------------------
// out[r][w] = Σ_k left[r][k]·right[w][k] over k < count, for r < R and the
// T::kLanes rows `right` points to. The right rows are read in square blocks
// and transposed in registers, so that lane w carries right[w][k]; each left
// element is broadcast. Leftover k (fewer than a block) are gathered one
// column at a time. The operands of each product and of each addition keep
// the order of the routine's own steps (which decides the NaN a two-NaN
// operation passes on): kRightFirst forms right·left, kProductFirst adds
// product + sum.
template <bool kRightFirst, bool kProductFirst, class T>
typename T::V dot_step(typename T::V sum, typename T::V left, typename T::V right) {
  const typename T::V product = kRightFirst ? T::mul(right, left) : T::mul(left, right);
  return kProductFirst ? T::add(product, sum) : T::add(sum, product);
}

template <class T, int R, bool kRightFirst = false, bool kProductFirst = false>
void row_dot_tile(const float *const *left, const float *const *right, int count,
                  float *const *out) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  V acc[R];
  for (int r = 0; r < R; ++r) acc[r] = T::set1(0.0f);
  int k = 0;
  for (; k + W <= count; k += W) {
    V block[W];
    for (int w = 0; w < W; ++w) block[w] = T::load(right[w] + k);
    T::transpose(block);  // block[kk] lane w = right[w][k + kk]
    for (int kk = 0; kk < W; ++kk)
      for (int r = 0; r < R; ++r)
        acc[r] =
            dot_step<kRightFirst, kProductFirst, T>(acc[r], T::set1(left[r][k + kk]), block[kk]);
  }
  for (; k < count; ++k) {
    float column[W];
    for (int w = 0; w < W; ++w) column[w] = right[w][k];
    const V rk = T::load(column);
    for (int r = 0; r < R; ++r)
      acc[r] = dot_step<kRightFirst, kProductFirst, T>(acc[r], T::set1(left[r][k]), rk);
  }
  for (int r = 0; r < R; ++r) T::store(out[r], acc[r]);
}

// 6 broadcast rows: 6 sums, an 8-vector transposed block and the broadcast
// fill 15 of 16 registers.
constexpr int kRowDotRows = 6;

// Columns [j, j + T::kLanes) of every row i >= j of Z = A·Aᵀ: rows
// kRowDotRows at a time, the last few half as many, then one (each tile
// transposes the same blocks of A, so short tiles are costly).
template <class T>
void lower_row_products_strip(const float *const *a, float *const *z, int n, int m, int j) {
  constexpr int R = kRowDotRows;
  float *out[R];
  int i = j;
  for (; i + R <= n; i += R) {
    for (int r = 0; r < R; ++r) out[r] = z[i + r] + j;
    row_dot_tile<T, R>(a + i, a + j, m, out);
  }
  for (; i + R / 2 <= n; i += R / 2) {
    for (int r = 0; r < R / 2; ++r) out[r] = z[i + r] + j;
    row_dot_tile<T, R / 2>(a + i, a + j, m, out);
  }
  for (; i < n; ++i) {
    out[0] = z[i] + j;
    row_dot_tile<T, 1>(a + i, a + j, m, out);
  }
}

template <class L>
void lower_row_products(const float *const *a, float *const *z, int n, int m) {
  using T = typename L::FT;
  int j = 0;
  for (; j + T::kLanes <= n; j += T::kLanes) lower_row_products_strip<T>(a, z, n, m, j);
  for (; j < n; ++j) lower_row_products_strip<typename L::F1>(a, z, n, m, j);
}

// y[i] = Σ_j a[i][j]·x[j]: rows of A in blocks, x broadcast; the products
// and additions in the operand order the flags give (see row_dot_tile).
template <class L, bool kRightFirst, bool kProductFirst>
void rows_times_vector(const float *const *a, const float *x, float *y, int n, int m) {
  using T = typename L::FT;
  const float *const left[1] = {x};
  int i = 0;
  for (; i + T::kLanes <= n; i += T::kLanes) {
    float *const out[1] = {y + i};
    row_dot_tile<T, 1, kRightFirst, kProductFirst>(left, a + i, m, out);
  }
  for (; i < n; ++i) {
    float *const out[1] = {y + i};
    row_dot_tile<typename L::F1, 1, kRightFirst, kProductFirst>(left, a + i, m, out);
  }
}

// y[i] = a[i][j]·x[j] + y[i], as matrix_vector_mult's steps have it.
template <class L>
void matrix_vector(const float *const *a, const float *x, float *y, int n, int m) {
  rows_times_vector<L, true, true>(a, x, y, n, m);
}

// --- transpose --------------------------------------------------------------
// Rows [i, i + W) of A, columns [j0, j1), into B: square blocks through
// registers, then leftover columns one by one.
template <class T, class T1>
void transpose_rows(const float *const *a, float *const *b, int i, int j0, int j1) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  int j = j0;
  for (; j + W <= j1; j += W) {
    V block[W];
    for (int w = 0; w < W; ++w) block[w] = T::load(a[i + w] + j);
    T::transpose(block);
    for (int w = 0; w < W; ++w) T::store(b[j + w] + i, block[w]);
  }
  for (; j < j1; ++j)
    for (int w = 0; w < W; ++w) T1::store(b[j] + i + w, T1::load(a[i + w] + j));
}

template <class L>
void transpose(const float *const *a, float *const *b, int n, int m) {
  using T = typename L::FT;
  using T1 = typename L::F1;
  int i = 0;
  for (; i + T::kLanes <= n; i += T::kLanes) transpose_rows<T, T1>(a, b, i, 0, m);
  for (; i < n; ++i) transpose_rows<T1, T1>(a, b, i, 0, m);
}

}  // namespace generic

template <class L>
constexpr ProductsKernels products_kernels() {
  return ProductsKernels{&generic::scale_row<L>, &generic::matrix_matrix<L>,
                         &generic::lower_row_products<L>, &generic::matrix_vector<L>,
                         &generic::transpose<L>};
}

}  // namespace ts::simd

#endif
