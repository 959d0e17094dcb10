// SPDX-License-Identifier: MIT
// Vector kernels of the SVD's Householder steps: the pointer table and the
// templates each target instantiates on its lane types (simd/vec.h).
#ifndef TISSUESTEWARD_SVD_KERNELS_H
#define TISSUESTEWARD_SVD_KERNELS_H

#include "toolkit/products_kernels.h"

namespace ts::simd {

struct SvdKernels {
  // y[t] = Σ_k a[t][k]·x[k] (k < m ascending, sum += product) for t < n.
  void (*row_dots)(const float *const *a, const float *x, float *y, int n, int m);
  // sums[t] = Σ a[k][ci]·a[k][j0 + t] over k = k0..k1 ascending, one float
  // sum from 0 per t < count: many columns' sums gathered in one walk down
  // the rows.
  void (*column_dots)(const float *const *a, int k0, int k1, int ci, int j0, int count, float *sums);
  // The same with the multipliers x[k] in place of a[k][ci]:
  // sums[t] = Σ x[k]·a[k][j0 + t] over k = k0..k1.
  void (*column_dots_by)(const float *const *a, int k0, int k1, const float *x, int j0, int count,
                         float *sums);
  // a[k][j0 + t] = a[k][j0 + t] + f[t]·a[k][ci] for k = k0..k1, t < count:
  // many columns' updates, row by row.
  void (*add_column_multiples)(float *const *a, int k0, int k1, int ci, int j0, int count,
                               const float *f);
  // row[t] = row[t] + s·e[t] for t < count.
  void (*add_row_multiple)(float *row, float s, const float *e, int count);
};

namespace generic {

// C vectors of sums held in registers down the whole walk; the multiplier
// of row k is x[k] (kByVector) or a[k][ci].
template <class T, int C, bool kByVector>
void column_dots_tile(const float *const *a, int k0, int k1, int ci, const float *x, int j,
                      float *sums) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  V acc[C];
  for (int c = 0; c < C; ++c) acc[c] = T::set1(0.0f);
  for (int k = k0; k <= k1; ++k) {
    const V xk = T::set1(kByVector ? x[k] : a[k][ci]);
    for (int c = 0; c < C; ++c) acc[c] = T::add(acc[c], T::mul(xk, T::load(a[k] + j + c * W)));
  }
  for (int c = 0; c < C; ++c) T::store(sums + c * W, acc[c]);
}

// 8 vectors of sums: each step's 8 adds are independent, enough to cover
// the add latency; 8 sums, the broadcast and a product fit 16 registers.
constexpr int kColumnDotVectors = 8;

template <class L, bool kByVector>
void column_dots_strip(const float *const *a, int k0, int k1, int ci, const float *x, int j0,
                       int count, float *sums) {
  using F = typename L::F;
  constexpr int C = kColumnDotVectors, W = F::kLanes;
  int t = 0;
  for (; t + C * W <= count; t += C * W)
    column_dots_tile<F, C, kByVector>(a, k0, k1, ci, x, j0 + t, sums + t);
  for (; t + W <= count; t += W) column_dots_tile<F, 1, kByVector>(a, k0, k1, ci, x, j0 + t, sums + t);
  for (; t < count; ++t)
    column_dots_tile<typename L::F1, 1, kByVector>(a, k0, k1, ci, x, j0 + t, sums + t);
}

template <class L>
void column_dots(const float *const *a, int k0, int k1, int ci, int j0, int count, float *sums) {
  column_dots_strip<L, false>(a, k0, k1, ci, nullptr, j0, count, sums);
}

template <class L>
void column_dots_by(const float *const *a, int k0, int k1, const float *x, int j0, int count,
                    float *sums) {
  column_dots_strip<L, true>(a, k0, k1, 0, x, j0, count, sums);
}

template <class T>
void add_multiple_lanes(float *row, typename T::V x, const float *f) {
  T::store(row, T::add(T::load(row), T::mul(T::load(f), x)));
}

template <class L>
void add_column_multiples(float *const *a, int k0, int k1, int ci, int j0, int count,
                          const float *f) {
  using F = typename L::F;
  using F1 = typename L::F1;
  for (int k = k0; k <= k1; ++k) {
    const float x = a[k][ci];
    const typename F::V xv = F::set1(x);
    float *row = a[k] + j0;
    int t = 0;
    for (; t + F::kLanes <= count; t += F::kLanes) add_multiple_lanes<F>(row + t, xv, f + t);
    for (; t < count; ++t) add_multiple_lanes<F1>(row + t, x, f + t);
  }
}

template <class T>
void add_row_multiple_lanes(float *row, typename T::V s, const float *e) {
  T::store(row, T::add(T::load(row), T::mul(s, T::load(e))));
}

template <class L>
void add_row_multiple(float *row, float s, const float *e, int count) {
  using F = typename L::F;
  const typename F::V sv = F::set1(s);
  int t = 0;
  for (; t + F::kLanes <= count; t += F::kLanes) add_row_multiple_lanes<F>(row + t, sv, e + t);
  for (; t < count; ++t) add_row_multiple_lanes<typename L::F1>(row + t, s, e + t);
}

}  // namespace generic

template <class L>
constexpr SvdKernels svd_kernels() {
  return SvdKernels{&generic::rows_times_vector<L, true, false>, &generic::column_dots<L>,
                    &generic::column_dots_by<L>, &generic::add_column_multiples<L>,
                    &generic::add_row_multiple<L>};
}

}  // namespace ts::simd

#endif
