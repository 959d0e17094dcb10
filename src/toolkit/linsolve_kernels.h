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

// Pass c below is one elimination pass about the (already scaled) pivot row
// c of a (rows and columns 1..n) and b (rows 1..n, columns 1..m; not read
// when m <= 0): on row r, f = a[r][c], a[r][c] = 0, then a[r][l] -=
// a[c][l]·f for l = 1..n and b[r][l] -= b[c][l]·f for l = 1..m, each a float
// product and then a float difference. The candidates a kernel returns are
// those the next pivot search would see in its result: rows r and columns l
// with counts[r] and counts[l] 0 (NaNs never count); the row is meaningful
// only when the largest is above 0. Every pivot column passed must already
// be counted (counts[c] != 0).
struct LinsolveKernels {
  // Pass c on every row but c.
  PivotCandidate (*eliminate_pass)(float *const *a, float *const *b, int n, int m, int c,
                                   const int *counts);
  // Pass c on row r (r != c) alone.
  void (*eliminate_row)(float *const *a, float *const *b, int n, int m, int c, int r,
                        const int *counts);
  // The candidates after pass c (after none when c is 0), nothing written.
  PivotCandidate (*largest_candidate)(float *const *a, int n, int c, const int *counts);
  // Pass c1, then pass c2, on every row but c1 and c2, each element seeing
  // the steps in that order: one sweep instead of two. Row c2 must have
  // taken pass c1 already; rows c1 and c2 are not touched.
  PivotCandidate (*eliminate_two_passes)(float *const *a, float *const *b, int n, int m, int c1,
                                         int c2, const int *counts);
  // Exchanges x[l] and y[l] for l < count, as bit patterns.
  void (*swap_rows)(float *x, float *y, int count);
  // The last column l (1..n) with counts[l] 0 and |row[l]| == largest, or 0
  // if there is none.
  int (*last_column_holding)(const float *row, int n, const int *counts, float largest);
};

// The pivot search's lane operations on the float traits F, specialised per
// target in linsolve_lanes.h; each is one bit operation or comparison per
// lane:
//   unused_mask(counts): the bits 0x7fffffff in lanes whose counts[lane] is
//     0, all zeros in the others (reads F::kLanes ints);
//   magnitude(x, mask): x & mask, bitwise (|x| with the sign bit cleared, a
//     NaN staying a NaN, where mask is 0x7fffffff; +0 where it is 0);
//   holding(x, mask, largest): lane k's bit (bit k) set where
//     magnitude(x, mask) == largest (an ordered comparison), others clear;
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

// The rows rows[0..kRows-1] (ascending, none of them a pivot row), kRows at
// once so that each vector of the pivot rows and of the column mask is
// loaded once for all of them and their chains overlap. Each row takes
// kPasses passes (none, c1, or c1 then c2), written back when kStore; then
// its per-lane largest magnitude over unused columns is folded into `t`,
// rows in ascending order, so that `t` keeps the last row reaching each
// lane's largest. A row that is not a candidate (counts[row] != 0) folds in
// +0, which can only tag lanes whose largest is 0.
template <class L, int kRows, int kPasses, bool kStore>
[[gnu::always_inline]] inline void reduce_rows(float *const *a, float *const *b, const int *rows,
                                               int c1, int c2, int n, int m, const int *counts,
                                               PivotTracker<L> &t) {
  using F = typename L::F;
  using F1 = typename L::F1;
  using P = PivotLanes<F>;
  using P1 = PivotLanes<F1>;
  using V = typename F::V;
  const int *col_counts = counts + 1;
  const float *p1 = kPasses >= 1 ? a[c1] + 1 : nullptr;
  const float *p2 = kPasses >= 2 ? a[c2] + 1 : nullptr;
  // One record per row (rather than an array per field, whose zeroing the
  // compiler turns into a memset call). f1, f2: the factors of the passes,
  // f2 being what pass c1 leaves in column c2.
  struct RowState {
    float *row;
    float f1;
    float f2;
    V fv1;
    V fv2;
    V largest;
    float largest1;
  } s[kRows];
  for (int g = 0; g < kRows; ++g) {
    float *row = a[rows[g]] + 1;
    const float f1 = kPasses >= 1 ? row[c1 - 1] : 0.0f;
    const float f2 = kPasses >= 2 ? F1::sub(row[c2 - 1], F1::mul(p1[c2 - 1], f1)) : 0.0f;
    s[g] = RowState{row, f1, f2, F::set1(f1), F::set1(f2), F::set1(0.0f), 0.0f};
  }
  int l = 0;
  for (; l + F::kLanes <= n; l += F::kLanes) {
    const V v1 = kPasses >= 1 ? F::load(p1 + l) : F::set1(0.0f);
    const V v2 = kPasses >= 2 ? F::load(p2 + l) : F::set1(0.0f);
    const V mask = P::unused_mask(col_counts + l);
    for (int g = 0; g < kRows; ++g) {
      V u = F::load(s[g].row + l);
      if (kPasses >= 1) u = F::sub(u, F::mul(v1, s[g].fv1));
      if (kPasses >= 2) u = F::sub(u, F::mul(v2, s[g].fv2));
      if (kStore) F::store(s[g].row + l, u);
      s[g].largest = F::max(P::magnitude(u, mask), s[g].largest);
    }
  }
  for (; l < n; ++l) {
    const float mask = P1::unused_mask(col_counts + l);
    for (int g = 0; g < kRows; ++g) {
      float u = s[g].row[l];
      if (kPasses >= 1) u = F1::sub(u, F1::mul(p1[l], s[g].f1));
      if (kPasses >= 2) u = F1::sub(u, F1::mul(p2[l], s[g].f2));
      if (kStore) s[g].row[l] = u;
      s[g].largest1 = F1::max(P1::magnitude(u, mask), s[g].largest1);
    }
  }
  // A pass clears its pivot column before the update: 0 - pivot·f there.
  // The loops above worked on what the column held instead (a used column,
  // so outside the search), and these stores replace that. Clearing first
  // would put a 4-byte store right before the vector load over it, which
  // the processor cannot forward: a stall on every row.
  if (kStore && kPasses >= 1)
    for (int g = 0; g < kRows; ++g) {
      float z = F1::sub(0.0f, F1::mul(p1[c1 - 1], s[g].f1));
      if (kPasses >= 2) {
        z = F1::sub(z, F1::mul(p2[c1 - 1], s[g].f2));
        s[g].row[c2 - 1] = F1::sub(0.0f, F1::mul(p2[c2 - 1], s[g].f2));
      }
      s[g].row[c1 - 1] = z;
    }
  if (kStore && kPasses >= 1 && m > 0) {
    const float *q1 = b[c1] + 1;
    const float *q2 = kPasses >= 2 ? b[c2] + 1 : nullptr;
    float *brow[kRows];
    for (int g = 0; g < kRows; ++g) brow[g] = b[rows[g]] + 1;
    int j = 0;
    for (; j + F::kLanes <= m; j += F::kLanes) {
      const V w1 = F::load(q1 + j);
      const V w2 = kPasses >= 2 ? F::load(q2 + j) : w1;
      for (int g = 0; g < kRows; ++g) {
        V u = F::sub(F::load(brow[g] + j), F::mul(w1, s[g].fv1));
        if (kPasses >= 2) u = F::sub(u, F::mul(w2, s[g].fv2));
        F::store(brow[g] + j, u);
      }
    }
    for (; j < m; ++j)
      for (int g = 0; g < kRows; ++g) {
        float u = F1::sub(brow[g][j], F1::mul(q1[j], s[g].f1));
        if (kPasses >= 2) u = F1::sub(u, F1::mul(q2[j], s[g].f2));
        brow[g][j] = u;
      }
  }
  for (int g = 0; g < kRows; ++g) {
    // The leftover columns' largest joins every lane (see PivotTracker).
    if (n % F::kLanes != 0) s[g].largest = F::max(F::set1(s[g].largest1), s[g].largest);
    const float candidate = P1::unused_mask(counts + rows[g]);
    P::raise_where_ge(P::magnitude(s[g].largest, F::set1(candidate)), t.best, t.tag,
                      F::set1(static_cast<float>(rows[g])));
  }
}

// Rows go in groups of four: with one pass that is the pivot vector, the
// mask and four factors and running maxima, 11 of the 16 vector registers,
// and four independent chains cover the latency. With two passes the eight
// factors no longer all fit, but measured on AVX2, four rows still beat two,
// three, five or six: the shared loads weigh more than the reloaded factors.
constexpr int kRowGroup = 4;

// The rows r = first..last but c1 and c2 through reduce_rows, in ascending
// order (only those with counts[r] == 0 when candidates_only), and the
// candidates they leave: the largest over the lanes and, among the lanes
// holding it, the latest row.
template <class L, int kPasses, bool kStore>
PivotCandidate reduce_row_range(float *const *a, float *const *b, int first, int last, int n, int m,
                                int c1, int c2, const int *counts, bool candidates_only) {
  using F = typename L::F;
  constexpr int kGroup = kRowGroup;
  PivotTracker<L> t{F::set1(0.0f), F::set1(0.0f)};
  int rows[kGroup];
  int grouped = 0;
  for (int r = first; r <= last; ++r) {
    // Written unconditionally and kept or not by the count, which has no
    // pattern a branch could predict.
    rows[grouped] = r;
    const bool skip = (candidates_only & (counts[r] != 0)) | (r == c1) | (r == c2);
    grouped += skip ? 0 : 1;
    if (grouped == kGroup) {
      reduce_rows<L, kGroup, kPasses, kStore>(a, b, rows, c1, c2, n, m, counts, t);
      grouped = 0;
    }
  }
  for (int k = 0; k < grouped; ++k)
    reduce_rows<L, 1, kPasses, kStore>(a, b, rows + k, c1, c2, n, m, counts, t);

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
  return reduce_row_range<L, 1, true>(a, b, 1, n, n, m, c, 0, counts, false);
}

template <class L>
void eliminate_row(float *const *a, float *const *b, int n, int m, int c, int r,
                   const int *counts) {
  reduce_row_range<L, 1, true>(a, b, r, r, n, m, c, 0, counts, false);
}

template <class L>
PivotCandidate largest_candidate(float *const *a, int n, int c, const int *counts) {
  return c == 0 ? reduce_row_range<L, 0, false>(a, nullptr, 1, n, n, 0, 0, 0, counts, true)
                : reduce_row_range<L, 1, false>(a, nullptr, 1, n, n, 0, c, 0, counts, true);
}

template <class L>
PivotCandidate eliminate_two_passes(float *const *a, float *const *b, int n, int m, int c1, int c2,
                                    const int *counts) {
  return reduce_row_range<L, 2, true>(a, b, 1, n, n, m, c1, c2, counts, false);
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

template <class L>
int last_column_holding(const float *row, int n, const int *counts, float largest) {
  using F = typename L::F;
  using F1 = typename L::F1;
  using P = PivotLanes<F>;
  using P1 = PivotLanes<F1>;
  const int vectors_end = n / F::kLanes * F::kLanes;
  for (int l = n; l > vectors_end; --l)
    if (P1::holding(row[l], P1::unused_mask(counts + l), largest) != 0) return l;
  const typename F::V target = F::set1(largest);
  for (int l = vectors_end - F::kLanes; l >= 0; l -= F::kLanes) {
    const unsigned lanes = P::holding(F::load(row + 1 + l), P::unused_mask(counts + 1 + l), target);
    if (lanes != 0) return l + 1 + (31 - __builtin_clz(lanes));
  }
  return 0;
}

}  // namespace generic

template <class L>
constexpr LinsolveKernels linsolve_kernels() {
  return LinsolveKernels{&generic::eliminate_pass<L>,    &generic::eliminate_row<L>,
                         &generic::largest_candidate<L>, &generic::eliminate_two_passes<L>,
                         &generic::swap_rows<L>,         &generic::last_column_holding<L>};
}

}  // namespace ts::simd

#endif
