// SPDX-License-Identifier: MIT
// Vector kernels of the SVD's Householder steps: the pointer table and the
// templates each target instantiates on its lane types (simd/vec.h).
#ifndef TISSUESTEWARD_SVD_KERNELS_H
#define TISSUESTEWARD_SVD_KERNELS_H

#include "toolkit/eigen_kernels.h"
#include "toolkit/products_kernels.h"

namespace ts::simd {

// A run of the QR sweeps' steps on the columns of U or V. Rotation t of a
// run takes the pair (y, z) of columns (y_t, q + t) to (y·c + z·s, z·c - y·s),
// with y_0 = p; in a chain y_(t+1) = q + t (a sweep: (l, l+1), (l+1, l+2),
// ...), in a fan y_(t+1) = p (the chase of an entry: (p, p+1), (p, p+2),
// ...). A sign change of column p has no rotations.
struct StepRun {
  enum Kind { kChain, kFan, kNegate };
  Kind kind;
  int p;
  int q;
  int count;
};

struct SvdKernels {
  // y[t] = Σ_k a[t][k]·x[k] (k < m ascending, sum += product) for t < n.
  void (*row_dots)(const float *const *a, const float *x, float *y, int n, int m);
  // sums[t] = Σ a[k][ci]·a[k][j0 + t] over k = k0..k1 ascending, one float
  // sum from 0 per t < count: many columns' sums gathered in one walk down
  // the rows.
  void (*column_dots)(const float *const *a, int k0, int k1, int ci, int j0, int count,
                      float *sums);
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
  // For every row j = 1..rows of a (1-based), the runs of the QR sweeps'
  // steps in order, the rotations' (c, s) pairs one after another in cs.
  // Rows are independent: they are taken in blocks held transposed on the
  // stack (at most 32 KiB), the columns the runs touch only.
  void (*apply_steps)(float *const *a, int rows, const StepRun *runs, int run_count,
                      const float *cs);
};

namespace generic {

// C vectors of sums held in registers down the whole walk; the multiplier
// of row k is x[k] (kByVector) or a[k][ci]. Vector c covers the columns
// from j + c·W, except the last, which covers those from `last_at`: a
// leftover block ends its last vector at the strip's end, overlapping the
// one before (an overlapped column's sum is taken twice, the same float).
template <class T, int C, bool kByVector>
void column_dots_tile(const float *const *a, int k0, int k1, int ci, const float *x, int j,
                      int last_at, float *sums) {
  using V = typename T::V;
  constexpr int W = T::kLanes;
  int at[C];
  for (int c = 0; c < C; ++c) at[c] = c + 1 < C ? j + c * W : last_at;
  V acc[C];
  for (int c = 0; c < C; ++c) acc[c] = T::set1(0.0f);
  for (int k = k0; k <= k1; ++k) {
    const V xk = T::set1(kByVector ? x[k] : a[k][ci]);
    for (int c = 0; c < C; ++c) acc[c] = T::add(acc[c], T::mul(xk, T::load(a[k] + at[c])));
  }
  for (int c = 0; c < C; ++c) T::store(sums + (at[c] - j), acc[c]);
}

// 8 vectors of sums: each step's 8 adds are independent, enough to cover
// the add latency; 8 sums, the broadcast and a product fit 16 registers.
constexpr int kColumnDotVectors = 8;

// The leftover columns of a strip, [j, j + count) with count < C·W, in one
// walk with as many independent sums as there are vectors (or, below one
// vector, columns): not one walk per vector, each a chain of dependent adds.
template <class T, int C, bool kByVector>
void column_dots_rest(const float *const *a, int k0, int k1, int ci, const float *x, int j,
                      int count, float *sums) {
  constexpr int W = T::kLanes;
  if constexpr (C > 1) {
    if ((C - 1) * W >= count) {
      column_dots_rest<T, C - 1, kByVector>(a, k0, k1, ci, x, j, count, sums);
      return;
    }
  }
  column_dots_tile<T, C, kByVector>(a, k0, k1, ci, x, j, j + count - W, sums);
}

template <class L, bool kByVector>
void column_dots_strip(const float *const *a, int k0, int k1, int ci, const float *x, int j0,
                       int count, float *sums) {
  using F = typename L::F;
  using F1 = typename L::F1;
  constexpr int C = kColumnDotVectors, W = F::kLanes;
  int t = 0;
  for (; t + C * W <= count; t += C * W)
    column_dots_tile<F, C, kByVector>(a, k0, k1, ci, x, j0 + t, j0 + t + (C - 1) * W, sums + t);
  if (count - t >= W)
    column_dots_rest<F, C, kByVector>(a, k0, k1, ci, x, j0 + t, count - t, sums + t);
  else if (count > t)
    column_dots_rest<F1, W - 1 < 1 ? 1 : W - 1, kByVector>(a, k0, k1, ci, x, j0 + t, count - t,
                                                           sums + t);
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

// --- the QR sweeps' steps on U and V ------------------------------------------
//
// A sweep's rotations chain along the columns, (l, l+1), (l+1, l+2), ...,
// and the rotations that chase a superdiagonal entry out all share one
// column: every rotation but the first of a run reads a column its
// predecessor wrote. Held transposed, a column of R·W rows is R vectors;
// the column the next rotation reads again stays in registers instead of
// going through memory (whose store-to-load latency would otherwise sit on
// the chain), and R independent vectors per rotation hide the arithmetic's
// latency.

// The columns of a block from column `first` on: column c is R vectors of
// W rows at block + (c - first)·R·W.
template <class T, int R>
struct HeldColumn {
  typename T::V v[R];
  void load(const float *column) {
    for (int i = 0; i < R; ++i) v[i] = T::load(column + i * T::kLanes);
  }
  void store(float *column) const {
    for (int i = 0; i < R; ++i) T::store(column + i * T::kLanes, v[i]);
  }
};

template <class T, int R>
void run_steps(float *block, int first, const StepRun *runs, int run_count, const float *cs) {
  constexpr int S = R * T::kLanes;
  using V = typename T::V;
  for (int k = 0; k < run_count; ++k) {
    const StepRun run = runs[k];
    int y_at = run.p;
    HeldColumn<T, R> y;
    y.load(block + (y_at - first) * S);
    if (run.kind == StepRun::kNegate) {
      for (int i = 0; i < R; ++i) y.v[i] = T::neg(y.v[i]);
    }
    for (int t = 0; t < run.count; ++t, cs += 2) {
      float *pz = block + (run.q + t - first) * S;
      HeldColumn<T, R> z;
      z.load(pz);
      const V c = T::set1(cs[0]), s = T::set1(cs[1]);
      for (int i = 0; i < R; ++i) {
        const V y0 = y.v[i], z0 = z.v[i];
        y.v[i] = T::add(T::mul(y0, c), T::mul(z0, s));
        z.v[i] = T::sub(T::mul(z0, c), T::mul(y0, s));
      }
      if (run.kind == StepRun::kChain) {  // the second column goes on
        y.store(block + (y_at - first) * S);
        y = z;
        y_at = run.q + t;
      } else {  // the first column goes on
        z.store(pz);
      }
    }
    y.store(block + (y_at - first) * S);
  }
}

// Rows j..j+R·W-1, columns first..last, between a and the block, either
// way (kToBlock): R groups of W rows, each group's column c at
// block + (c - first)·R·W + g·W for group g. Moves bits only.
template <class T, class T1, int R, bool kToBlock>
void move_rows(float *const *a, int j, int first, int last, float *block) {
  constexpr int W = T::kLanes;
  for (int i = 0; i < R; ++i)
    move_block<T, T1, kToBlock, R * W>(a, j + i * W, first, last, first - W + 1, block + i * W);
}

// Rows from j on in blocks of R·W while a whole block fits; returns the
// first row left.
// The columns the runs touch: first..last.
struct ColumnRange {
  int first;
  int last;
};

template <class T, class T1, int R>
int apply_steps_blocks(float *const *a, int j, int rows, ColumnRange touched, const StepRun *runs,
                       int run_count, const float *cs, float *block) {
  constexpr int S = R * T::kLanes;
  if ((touched.last - touched.first + 1) * S > kMaxBlockFloats) return j;
  for (; j + S - 1 <= rows; j += S) {
    move_rows<T, T1, R, true>(a, j, touched.first, touched.last, block);
    run_steps<T, R>(block, touched.first, runs, run_count, cs);
    move_rows<T, T1, R, false>(a, j, touched.first, touched.last, block);
  }
  return j;
}

// Only the columns the runs touch move: late in the sweeps, when the
// bidiagonal has shrunk, that is a narrow window of U and V.
template <class L>
void apply_steps(float *const *a, int rows, const StepRun *runs, int run_count, const float *cs) {
  using T = typename L::FT;
  using T1 = typename L::F1;
  if (run_count == 0) return;
  ColumnRange touched{runs[0].p, runs[0].p};
  for (int k = 0; k < run_count; ++k) {
    const StepRun &run = runs[k];
    const int last = run.count > 0 ? run.q + run.count - 1 : run.p;
    touched.first = touched.first < run.p ? touched.first : run.p;
    touched.last = touched.last > last ? touched.last : last;
  }
  float block[kMaxBlockFloats];
  int j = apply_steps_blocks<T, T1, 4>(a, 1, rows, touched, runs, run_count, cs, block);
  j = apply_steps_blocks<T, T1, 2>(a, j, rows, touched, runs, run_count, cs, block);
  j = apply_steps_blocks<T, T1, 1>(a, j, rows, touched, runs, run_count, cs, block);
  for (; j <= rows; ++j)  // a row: a 1-wide block
    run_steps<T1, 1>(a[j] + touched.first, touched.first, runs, run_count, cs);
}

}  // namespace generic

template <class L>
constexpr SvdKernels svd_kernels() {
  return SvdKernels{&generic::rows_times_vector<L, true, false>,
                    &generic::column_dots<L>,
                    &generic::column_dots_by<L>,
                    &generic::add_column_multiples<L>,
                    &generic::add_row_multiple<L>,
                    &generic::apply_steps<L>};
}

}  // namespace ts::simd

#endif
