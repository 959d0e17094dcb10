// SPDX-License-Identifier: MIT
// Vector kernels of Gauss-Jordan elimination: the pointer table and the
// templates each target instantiates on its lane types (simd/vec.h, with the
// pivot search's own lane operations in linsolve_lanes.h).
#ifndef TISSUESTEWARD_LINSOLVE_KERNELS_H
#define TISSUESTEWARD_LINSOLVE_KERNELS_H

namespace ts::simd {

// What the next pivot search would find: the largest candidate magnitude
// (+0 when there is none, or only zeros and NaNs) and the last row holding
// it.
struct PivotCandidate {
  float largest;
  int row;
};

struct LinsolveKernels {
  // One elimination pass about the (already scaled) pivot row c of a (rows
  // and columns 1..n) and b (rows 1..n, columns 1..m; not read when m <= 0):
  // for every row r != c, f = a[r][c], a[r][c] = 0, then a[r][l] -=
  // a[c][l]·f for l = 1..n and b[r][l] -= b[c][l]·f for l = 1..m, each a
  // float product and then a float difference. Returns the candidates the
  // next pivot search would see: rows r and columns l with counts[r] and
  // counts[l] 0 (NaNs never count); the row is meaningful only when the
  // largest is above 0.
  PivotCandidate (*eliminate_pass)(float *const *a, float *const *b, int n, int m, int c,
                                   const int *counts);
  // The same candidates in a as it stands, nothing written.
  PivotCandidate (*largest_candidate)(float *const *a, int n, const int *counts);
  // Exchanges x[l] and y[l] for l < count, as bit patterns.
  void (*swap_rows)(float *x, float *y, int count);
};

// The pivot search's lane operations on the float traits F, specialised per
// target in linsolve_lanes.h; each is one bit operation or comparison per
// lane:
//   unused_mask(counts): the bits 0x7fffffff in lanes whose counts[lane] is
//     0, all zeros in the others (reads F::kLanes ints);
//   magnitude(x, mask): x & mask, bitwise (|x| with the sign bit cleared, a
//     NaN staying a NaN, where mask is 0x7fffffff; +0 where it is 0);
//   raise_where_ge(x, best, tag, t): in lanes where x >= best (an ordered
//     comparison: never true for a NaN) best takes x and tag takes t; the
//     other lanes keep both.
template <class F>
struct PivotLanes;

namespace generic {

// Per lane, the largest magnitude folded in so far and the row (exact as a
// float) that last reached it. Each lane stands for a set of columns, the
// sets together covering every column (they may overlap): the largest over
// the lanes is then the largest of all, and among the lanes holding it the
// latest tag is the last row holding it.
template <class L>
struct PivotTracker {
  typename L::F::V best;
  typename L::F::V tag;
};

// b_row[l] -= b_pivot[l]·f for l < m.
template <class L>
void eliminate_values(float *row, const float *pivot, float f, int m) {
  using F = typename L::F;
  const typename F::V fv = F::set1(f);
  int l = 0;
  for (; l + F::kLanes <= m; l += F::kLanes)
    F::store(row + l, F::sub(F::load(row + l), F::mul(F::load(pivot + l), fv)));
  for (; l < m; ++l) row[l] = row[l] - pivot[l] * f;
}

// The rows rows[0..kRows-1] (ascending, none of them c), kRows at once so
// that each vector of the pivot row and of the column mask is loaded once
// for all of them and their chains overlap. With kEliminate each row is
// reduced by the pivot row c first (in b too); without, c is not used. Then
// each row's per-lane largest magnitude over unused columns is folded into
// `t`, rows in ascending order, so that `t` keeps the last row reaching
// each lane's largest. A row that is not a candidate (counts[row] != 0)
// folds in +0, which can only tag lanes whose largest is 0.
template <class L, int kRows, bool kEliminate>
[[gnu::always_inline]] inline void eliminate_rows(float *const *a, float *const *b, const int *rows,
                                                  int c, int n, int m, const int *counts,
                                                  PivotTracker<L> &t) {
  using F = typename L::F;
  using F1 = typename L::F1;
  using P = PivotLanes<F>;
  using P1 = PivotLanes<F1>;
  using V = typename F::V;
  const int *col_counts = counts + 1;
  const float *pivot = kEliminate ? a[c] + 1 : nullptr;
  // One record per row (rather than an array per field, whose zeroing the
  // compiler turns into a memset call).
  struct RowState {
    float *row;
    float f;
    V fv;
    V largest;
    float largest1;
  } s[kRows];
  for (int g = 0; g < kRows; ++g) {
    float *row = a[rows[g]] + 1;
    const float f = kEliminate ? row[c - 1] : 0.0f;
    s[g] = RowState{row, f, F::set1(f), F::set1(0.0f), 0.0f};
  }
  int l = 0;
  for (; l + F::kLanes <= n; l += F::kLanes) {
    const V p = kEliminate ? F::load(pivot + l) : F::set1(0.0f);
    const V mask = P::unused_mask(col_counts + l);
    for (int g = 0; g < kRows; ++g) {
      V u = F::load(s[g].row + l);
      if (kEliminate) {
        u = F::sub(u, F::mul(p, s[g].fv));
        F::store(s[g].row + l, u);
      }
      s[g].largest = F::max(P::magnitude(u, mask), s[g].largest);
    }
  }
  for (; l < n; ++l) {
    const float mask = P1::unused_mask(col_counts + l);
    for (int g = 0; g < kRows; ++g) {
      float u = s[g].row[l];
      if (kEliminate) {
        u = F1::sub(u, F1::mul(pivot[l], s[g].f));
        s[g].row[l] = u;
      }
      s[g].largest1 = F1::max(P1::magnitude(u, mask), s[g].largest1);
    }
  }
  // Column c was cleared before its update: 0 - a[c][c]·f. The loops above
  // worked on f itself there (a used column, so outside the search), and
  // this store replaces that. Clearing first instead would put a 4-byte
  // store right before the vector load over it, which the processor cannot
  // forward: a stall on every row.
  if (kEliminate)
    for (int g = 0; g < kRows; ++g) s[g].row[c - 1] = F1::sub(0.0f, F1::mul(pivot[c - 1], s[g].f));
  if (kEliminate && m > 0) {
    const float *bc = b[c] + 1;
    for (int g = 0; g < kRows; ++g) eliminate_values<L>(b[rows[g]] + 1, bc, s[g].f, m);
  }
  for (int g = 0; g < kRows; ++g) {
    // The leftover columns' largest joins every lane (see PivotTracker).
    if (n % F::kLanes != 0) s[g].largest = F::max(F::set1(s[g].largest1), s[g].largest);
    const float candidate = P1::unused_mask(counts + rows[g]);
    P::raise_where_ge(P::magnitude(s[g].largest, F::set1(candidate)), t.best, t.tag,
                      F::set1(static_cast<float>(rows[g])));
  }
}

// Rows go in groups of four: with the pivot vector, the mask and the four
// factors and running maxima that is 11 of the 16 vector registers, and
// four independent product-difference chains cover the latency.
constexpr int kRowGroup = 4;

// Every row but c (none when c is 0) through eliminate_rows, in ascending
// order; then the largest over the lanes and, among the lanes holding it,
// the latest row.
template <class L, bool kEliminate>
PivotCandidate pass_over_rows(float *const *a, float *const *b, int n, int m, int c,
                              const int *counts) {
  using F = typename L::F;
  PivotTracker<L> t{F::set1(0.0f), F::set1(0.0f)};
  int rows[kRowGroup];
  int grouped = 0;
  for (int r = 1; r <= n; ++r) {
    if (r == c) continue;
    rows[grouped++] = r;
    if (grouped == kRowGroup) {
      eliminate_rows<L, kRowGroup, kEliminate>(a, b, rows, c, n, m, counts, t);
      grouped = 0;
    }
  }
  for (int k = 0; k < grouped; ++k)
    eliminate_rows<L, 1, kEliminate>(a, b, rows + k, c, n, m, counts, t);

  float best[F::kLanes];
  float tag[F::kLanes];
  F::store(best, t.best);
  F::store(tag, t.tag);
  PivotCandidate out{0.0f, 0};
  for (int k = 0; k < F::kLanes; ++k) {
    const int row = static_cast<int>(tag[k]);
    if (best[k] > out.largest || (best[k] == out.largest && row > out.row)) out = {best[k], row};
  }
  return out;
}

template <class L>
PivotCandidate eliminate_pass(float *const *a, float *const *b, int n, int m, int c,
                              const int *counts) {
  return pass_over_rows<L, true>(a, b, n, m, c, counts);
}

template <class L>
PivotCandidate largest_candidate(float *const *a, int n, const int *counts) {
  return pass_over_rows<L, false>(a, nullptr, n, 0, 0, counts);
}

template <class L>
void swap_rows(float *x, float *y, int count) {
  using F = typename L::F;
  int l = 0;
  for (; l + F::kLanes <= count; l += F::kLanes) {
    const typename F::V u = F::load(x + l);
    F::store(x + l, F::load(y + l));
    F::store(y + l, u);
  }
  for (; l < count; ++l) {
    const float u = x[l];
    x[l] = y[l];
    y[l] = u;
  }
}

}  // namespace generic

template <class L>
constexpr LinsolveKernels linsolve_kernels() {
  return LinsolveKernels{&generic::eliminate_pass<L>, &generic::largest_candidate<L>,
                         &generic::swap_rows<L>};
}

}  // namespace ts::simd

#endif
