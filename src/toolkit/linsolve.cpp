// SPDX-License-Identifier: MIT
// Gauss-Jordan elimination with full pivoting; covariance re-ordering.
#include "tissuesteward/linsolve.h"

#include "tissuesteward/arrays.h"
#include "toolkit/detail/fatal.h"
#include "toolkit/detail/messages.h"
#include "toolkit/detail/rounding.h"
#include "toolkit/simd/kernels.h"

#include <utility>

namespace {

using ts::detail::fabs_f;

// Where the pivot of one elimination pass was found.
struct Pivot {
  int row = 0;
  int col = 0;
};

// Largest remaining element: rows whose own column is already a pivot column
// are skipped, as are used columns. Ties go to the element visited last, and
// a NaN never qualifies; a pass with no candidate at all (only NaN left) is
// reported rather than pivoting on an unset position.
Pivot find_pivot(float **a, int n, const int *use_count) {
  float largest = 0.0f;
  Pivot pivot;
  for (int r = 1; r <= n; ++r) {
    if (use_count[r] == 1) continue;
    for (int c = 1; c <= n; ++c) {
      if (use_count[c] == 0) {
        if (fabs_f(a[r][c]) >= largest) {
          largest = fabs_f(a[r][c]);
          pivot = {r, c};
        }
      } else if (use_count[c] > 1) {
        ts::detail::fatal(ts::msg::kGaussjSingular1);
      }
    }
  }
  if (pivot.row == 0) ts::detail::fatal(ts::msg::kGaussjSingular1);
  return pivot;
}

// The pivot the search above would find, given the largest magnitude among
// its candidates and the last row holding it, which the elimination
// gathered: the last column of that row that reaches it. With a largest of
// 0 (only zeros or NaNs left, or none gathered) the search itself runs,
// with its reports.
Pivot locate_pivot(float **a, int n, const int *use_count, float largest, int row) {
  if (largest > 0.0f) {
    const int c = ts::simd::kernels().linsolve.last_column_holding(a[row], n, use_count, largest);
    if (c != 0) return {row, c};
  }
  return find_pivot(a, n, use_count);
}

void swap_rows(float **a, int r1, int r2, int ncols) {
  ts::simd::kernels().linsolve.swap_rows(a[r1] + 1, a[r2] + 1, ncols);
}

void swap_columns(float **a, int c1, int c2, int nrows) {
  for (int r = 1; r <= nrows; ++r) std::swap(a[r][c1], a[r][c2]);
}

// Pass i's pivot p onto the diagonal and scaled: its column counted, its row
// exchanged with row p.col (in a and b) and recorded, the diagonal checked
// and replaced by 1, the row multiplied by the reciprocal. Setting the
// diagonal to 1 before scaling leaves 1/pivot in its place: this is how the
// inverse builds up in a's own storage.
void take_pivot(float **a, int n, float **b, int m, int i, Pivot p, int *use_count, int *pivot_row,
                int *pivot_col, const ts::simd::Kernels &kernels) {
  const int c = p.col;
  ++use_count[c];
  if (p.row != c) {
    swap_rows(a, p.row, c, n);
    if (m > 0) swap_rows(b, p.row, c, m);
  }
  pivot_row[i] = p.row;
  pivot_col[i] = c;
  if (a[c][c] == 0.0f) ts::detail::fatal(ts::msg::kGaussjSingular2);
  const float reciprocal = 1.0f / a[c][c];
  a[c][c] = 1.0f;
  kernels.products.scale_row(a[c] + 1, reciprocal, n);
  if (m > 0) kernels.products.scale_row(b[c] + 1, reciprocal, m);
}

}  // namespace

void gaussj(float **a, int n, float **b, int m) {
  int *use_count = ivector(1, n);
  int *pivot_row = ivector(1, n);
  int *pivot_col = ivector(1, n);
  for (int j = 1; j <= n; ++j) use_count[j] = 0;
  if (m <= 0) b = nullptr;

  // Passes go in pairs, each pair one sweep over the matrix: pass i's
  // pivot row is scaled; the candidates for pass i + 1 are gathered from
  // what pass i would leave in the rows the search visits, without writing
  // it; pass i goes to the row holding the largest alone, so that its
  // column can be found and it can become pass i + 1's pivot row; then every
  // other row takes both passes at once, and the sweep gathers the
  // candidates for pass i + 2. Every element sees the documented steps in
  // their order. When pass i + 1 would need the full search (only zeros and
  // NaNs left), pass i runs alone first, and the search sees its result.
  const ts::simd::Kernels &kernels = ts::simd::kernels();
  const ts::simd::LinsolveKernels &k = kernels.linsolve;
  Pivot p;
  if (n >= 1) {
    const ts::simd::PivotCandidate first = k.largest_candidate(a, n, 0, use_count);
    p = locate_pivot(a, n, use_count, first.largest, first.row);
  }
  for (int i = 1; i <= n;) {
    take_pivot(a, n, b, m, i, p, use_count, pivot_row, pivot_col, kernels);
    const int c1 = p.col;
    const ts::simd::PivotCandidate second =
        i < n ? k.largest_candidate(a, n, c1, use_count) : ts::simd::PivotCandidate{0.0f, 0};
    if (!(second.largest > 0.0f)) {
      const ts::simd::PivotCandidate next = k.eliminate_pass(a, b, n, m, c1, use_count);
      if (i < n) p = locate_pivot(a, n, use_count, next.largest, next.row);
      i += 1;
      continue;
    }
    k.eliminate_row(a, b, n, m, c1, second.row, use_count);
    p = locate_pivot(a, n, use_count, second.largest, second.row);
    take_pivot(a, n, b, m, i + 1, p, use_count, pivot_row, pivot_col, kernels);
    const int c2 = p.col;
    const ts::simd::PivotCandidate next = k.eliminate_two_passes(a, b, n, m, c1, c2, use_count);
    k.eliminate_row(a, b, n, m, c2, c1, use_count);
    if (i + 1 < n) p = locate_pivot(a, n, use_count, next.largest, next.row);
    i += 2;
  }

  // The row exchanges permuted the inverse's columns: undo them, last first.
  // The exchanges are composed once into the column each position takes its
  // element from (source), and each row is then permuted cycle by cycle,
  // every element moved once. The cycles are written out one after another
  // (walk), the last column of each negated, so that moving a row's
  // elements never waits on the index before. The work vectors are free by
  // now: use_count holds source, pivot_col marks visited columns, pivot_row
  // holds the walk.
  int *source = use_count;
  for (int j = 1; j <= n; ++j) source[j] = j;
  for (int l = n; l >= 1; --l) std::swap(source[pivot_row[l]], source[pivot_col[l]]);
  int *visited = pivot_col;
  int *walk = pivot_row;
  for (int j = 1; j <= n; ++j) visited[j] = 0;
  int walked = 0;
  for (int j = 1; j <= n; ++j) {
    if (visited[j] != 0 || source[j] == j) continue;
    for (int at = j;; at = source[at]) {
      visited[at] = 1;
      walk[++walked] = source[at] == j ? -at : at;
      if (source[at] == j) break;
    }
  }
  for (int r = 1; r <= n; ++r) {
    float *row = a[r];
    for (int w = 1; w <= walked;) {
      const int first = walk[w++];
      const float moved = row[first];
      int to = first;
      for (;;) {
        const int from = walk[w++];
        if (from < 0) {
          row[to] = row[-from];
          row[-from] = moved;
          break;
        }
        row[to] = row[from];
        to = from;
      }
    }
  }

  free_ivector(pivot_col, 1, n);
  free_ivector(pivot_row, 1, n);
  free_ivector(use_count, 1, n);
}

void covsrt(float **covar, int ma, int ia[], int mfit) {
  // A flag count above mfit would drive the target below row 1, one above ma
  // past row ma: refuse any mismatch before touching the matrix.
  int flagged = 0;
  for (int j = 1; j <= ma; ++j) flagged += ia[j] != 0 ? 1 : 0;
  if (flagged != mfit) ts::detail::fatalf(ts::msg::kCovsrtFlagCount, mfit, flagged, ma);

  for (int i = mfit + 1; i <= ma; ++i) {
    for (int j = 1; j <= i; ++j) covar[i][j] = covar[j][i] = 0.0f;
  }
  int k = mfit;
  for (int j = ma; j >= 1; --j) {
    if (ia[j] == 0) continue;
    swap_columns(covar, k, j, ma);
    swap_rows(covar, k, j, ma);
    --k;
  }
}
