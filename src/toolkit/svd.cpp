// SPDX-License-Identifier: MIT
// Singular value decomposition and its uses: solving, covariance, inversion.
//
// svdcmp reduces A to upper bidiagonal form by Householder reflections,
// accumulates the right- and left-hand transformations into V and U, and
// diagonalises the bidiagonal by implicit-shift QR sweeps. Two choices set
// it apart from the textbook scheme: an entry is negligible when its
// magnitude is below a fixed absolute tolerance (not one relative to the
// matrix norm), and a singular value that needs its 100th sweep is recorded
// in NoConvergenceInSVD instead of ending the process.
#include "tissuesteward/svd.h"

#include "tissuesteward/arrays.h"
#include "tissuesteward/products.h"
#include "toolkit/detail/rounding.h"
#include "toolkit/simd/kernels.h"

#include <algorithm>
#include <cmath>
#include <limits>

using ts::detail::fabs_f;
using ts::detail::rounded_hypot_with_one;
using ts::detail::sqrt_d;
using ts::detail::to_float;
using ts::detail::widen;

namespace {

// Set by svdcmp when some singular value reaches its last sweep; cleared on
// entry. Read by getInverseMatrixUsingSVD right after its own decomposition.
bool NoConvergenceInSVD = false;

// An entry of magnitude below this counts as zero; NaN never does.
constexpr float kNegligible = 1e-6f;
// QR sweeps allowed per singular value.
constexpr int kMaxSweeps = 100;

bool negligible(float x) { return fabs_f(x) < kNegligible; }

// |magnitude| carrying the sign of x (+ for x >= 0, - for x < 0 or NaN).
float with_sign_of(float magnitude, float x) {
  return x >= 0.0f ? fabs_f(magnitude) : -fabs_f(magnitude);
}

// -sign(f)·√s with the root of the float sum taken in double, rounded once.
float householder_root(float s, float f) {
  return to_float(-with_sign_of(1.0f, f) * sqrt_d(widen(s)));
}

// The QR sweeps' rotations and sign changes of the columns of U or V read
// only w and e, and nothing reads U or V during the sweeps: the steps are
// kept, as runs (a sweep's chain, a chase's fan) and their (c, s) pairs,
// and applied row block by row block, rows in registers instead of walks
// down the columns, when the store is full and when the sweeps end. Each
// element sees the same steps in the same order. 14 KiB each for U and V.
constexpr int kKeptPairs = 1536;
constexpr int kKeptRuns = 128;
// Columns or rows whose sums the Householder steps take together (4 KiB of
// sums and 8 KiB of row pointers on the stack).
constexpr int kStrip = 1024;
// Rows the Householder row step takes together: their sums, then their
// updates, while the rows are in cache.
constexpr int kRowBlock = 16;

class KeptColumnSteps {
 public:
  using StepRun = ts::simd::StepRun;
  KeptColumnSteps(float **a, int rows) : a_(a), rows_(rows) {}
  // Columns (p, q) over rows 1..rows: (y, z) -> (y·c + z·s, z·c - y·s).
  void rotate(int p, int q, float c, float s) {
    if (pair_count_ == kKeptPairs) apply();
    StepRun *last = run_count_ > 0 ? &runs_[run_count_ - 1] : nullptr;
    const bool next_q =
        last != nullptr && last->kind != StepRun::kNegate && q == last->q + last->count;
    const bool as_chain = next_q && p == last->q + last->count - 1;
    const bool as_fan = next_q && p == last->p;
    if (as_chain && (last->kind == StepRun::kChain || last->count == 1)) {
      last->kind = StepRun::kChain;
    } else if (as_fan && (last->kind == StepRun::kFan || last->count == 1)) {
      last->kind = StepRun::kFan;
    } else {
      last = open({StepRun::kChain, p, q, 0});
    }
    ++last->count;
    pairs_[2 * pair_count_] = c;
    pairs_[2 * pair_count_ + 1] = s;
    ++pair_count_;
  }
  // Column p over rows 1..rows changes sign.
  void negate(int p) { open({StepRun::kNegate, p, 0, 0}); }
  void apply() {
    if (run_count_ > 0) ts::simd::kernels().svd.apply_steps(a_, rows_, runs_, run_count_, pairs_);
    run_count_ = 0;
    pair_count_ = 0;
  }

 private:
  StepRun *open(StepRun run) {
    if (run_count_ == kKeptRuns) apply();
    runs_[run_count_] = run;
    return &runs_[run_count_++];
  }
  float **a_;
  int rows_;
  int run_count_ = 0, pair_count_ = 0;
  StepRun runs_[kKeptRuns];
  float pairs_[2 * kKeptPairs];
};

// Whether row[from..to] holds only finite values.
bool all_finite(const float row[], int from, int to) {
  for (int k = from; k <= to; ++k)
    if (!std::isfinite(row[k])) return false;
  return true;
}

// Whether column j's update in the accumulation of U takes its multiple as
// stated, f = ratio·(1/w[i]) in float: always, unless that overflows from
// finite operands (w[i] below about 2.9e-39), when f·a[k][i] is taken in
// double, dividing by w[i] itself.
bool regular_multiple(float ratio, float reciprocal, float wi) {
  return std::isfinite(ratio * reciprocal) || !std::isfinite(ratio) || !std::isfinite(wi);
}

// Householder reduction of a[1..m][1..n] to upper bidiagonal form: the
// diagonal goes to w, the superdiagonal to e[2..n] (e[1] = 0); the
// reflections stay in a for the accumulation steps.
void reduce_to_bidiagonal(float **a, int m, int n, float w[], float e[]) {
  const ts::simd::SvdKernels &svd_kernels = ts::simd::kernels().svd;
  float g = 0.0f;
  float scale = 0.0f;
  for (int i = 1; i <= n; ++i) {
    const int l = i + 1;
    const int width = n - l + 1;  // columns l..n
    e[i] = scale * g;
    g = 0.0f;
    float s = 0.0f;
    scale = 0.0f;
    // Column j's update (f[j]·column i added to it) reads only columns i and
    // j and writes only column j, so rows can take it one at a time. When
    // every column's f fits one strip, each row takes it just before the row
    // step below reads and writes that row (a block of rows at a time, while
    // it is in cache); otherwise it is done here, strip by strip.
    float f_all[kStrip];
    bool rows_deferred = false;
    if (i <= m) {  // column i, rows i..m
      for (int k = i; k <= m; ++k) scale += fabs_f(a[k][i]);
      if (scale != 0.0f) {
        for (int k = i; k <= m; ++k) {
          a[k][i] /= scale;
          s += a[k][i] * a[k][i];
        }
        float f = a[i][i];
        g = householder_root(s, f);
        const float h = f * g - s;
        a[i][i] = f - g;
        // Column j's sum reads only columns i and j: the sums of a strip of
        // columns are taken together down the rows (each in ascending k).
        rows_deferred = width > 0 && width <= kStrip;
        for (int j0 = l; j0 <= n; j0 += kStrip) {
          const int count = std::min(kStrip, n - j0 + 1);
          svd_kernels.column_dots(a, i, m, i, j0, count, f_all);
          for (int t = 0; t < count; ++t) f_all[t] = f_all[t] / h;  // f = s / h
          if (!rows_deferred) svd_kernels.add_column_multiples(a, i, m, i, j0, count, f_all);
        }
        if (rows_deferred) svd_kernels.add_column_multiples(a, i, i, i, l, width, f_all);
      }
    }
    const float column_scale = scale;
    w[i] = scale * g;
    g = 0.0f;
    s = 0.0f;
    scale = 0.0f;
    if (i <= m && i != n) {  // row i, columns l..n
      for (int k = l; k <= n; ++k) scale += fabs_f(a[i][k]);
      if (scale != 0.0f) {
        for (int k = l; k <= n; ++k) {
          a[i][k] /= scale;
          s += a[i][k] * a[i][k];
        }
        const float f = a[i][l];
        g = householder_root(s, f);
        const float h = f * g - s;
        a[i][l] = f - g;
        for (int k = l; k <= n; ++k) e[k] = a[i][k] / h;
      }
    }
    // Row j's sum reads only rows i and j, its update writes only row j: a
    // block of rows' sums, then their updates.
    const bool row_step = scale != 0.0f;
    for (int j0 = l; j0 <= m && (row_step || rows_deferred); j0 += kRowBlock) {
      const int count = std::min(kRowBlock, m - j0 + 1);
      if (rows_deferred)
        svd_kernels.add_column_multiples(a, j0, j0 + count - 1, i, l, width, f_all);
      if (!row_step) continue;
      const float *rows[kRowBlock];
      float s_block[kRowBlock];
      for (int t = 0; t < count; ++t) rows[t] = a[j0 + t] + l;
      svd_kernels.row_dots(rows, a[i] + l, s_block, count, width);
      for (int t = 0; t < count; ++t)
        svd_kernels.add_row_multiple(a[j0 + t] + l, s_block[t], e + l, width);
    }
    if (column_scale != 0.0f)
      for (int k = i; k <= m; ++k) a[k][i] *= column_scale;
    if (row_step)
      for (int k = l; k <= n; ++k) a[i][k] *= scale;
  }
}

// V = product of the row reflections left in a, built from the last one back.
void accumulate_right(float **a, int n, const float e[], float **v) {
  const ts::simd::SvdKernels &svd_kernels = ts::simd::kernels().svd;
  float g = 0.0f;
  int l = n + 1;
  for (int i = n; i >= 1; --i) {
    if (i < n) {
      if (g != 0.0f) {
        // Two divisions rather than one by a product, which could underflow.
        bool finite = true;
        for (int j = l; j <= n; ++j) {
          v[j][i] = (a[i][j] / a[i][l]) / g;
          finite = finite && std::isfinite(v[j][i]);
        }
        // A subnormal g (from a row of subnormal entries) sends the quotient
        // past single precision while s·v[k][i] is of order one: keep the
        // ratio in column i and divide by g in double, within the product.
        const bool by_ratio = !finite && all_finite(a[i], l, n) && std::isfinite(g);
        if (by_ratio) {
          for (int j = l; j <= n; ++j) v[j][i] = a[i][j] / a[i][l];
          for (int j = l; j <= n; ++j) {
            float s = 0.0f;
            for (int k = l; k <= n; ++k) s += a[i][k] * v[k][j];
            for (int k = l; k <= n; ++k)
              v[k][j] += to_float(widen(s) * (widen(v[k][i]) / widen(g)));
          }
        } else {
          // Column j's sum and update touch only columns i and j of v: a
          // strip's sums down the rows, then its updates row by row.
          for (int j0 = l; j0 <= n; j0 += kStrip) {
            const int count = std::min(kStrip, n - j0 + 1);
            float s_strip[kStrip];
            svd_kernels.column_dots_by(v, l, n, a[i], j0, count, s_strip);
            svd_kernels.add_column_multiples(v, l, n, i, j0, count, s_strip);
          }
        }
      }
      for (int j = l; j <= n; ++j) {
        v[i][j] = 0.0f;
        v[j][i] = 0.0f;
      }
    }
    v[i][i] = 1.0f;
    g = e[i];
    l = i;
  }
}

// U (in a) = product of the column reflections left in a.
void accumulate_left(float **a, int m, int n, const float w[]) {
  const ts::simd::SvdKernels &svd_kernels = ts::simd::kernels().svd;
  for (int i = std::min(m, n); i >= 1; --i) {
    const int l = i + 1;
    float g = w[i];
    for (int j = l; j <= n; ++j) a[i][j] = 0.0f;
    if (g != 0.0f) {
      const float wi = g;
      g = 1.0f / g;
      // Below about 2.9e-39 the reciprocal of w[i] overflows, and f with it,
      // though f·a[k][i] is of order one: such a step is taken in double,
      // dividing by w[i] itself.
      const bool by_division = !std::isfinite(g) && std::isfinite(wi);
      // As in the reduction: a strip of columns' sums down the rows, then
      // the strip's updates row by row.
      for (int j0 = l; j0 <= n; j0 += kStrip) {
        const int count = std::min(kStrip, n - j0 + 1);
        float f_strip[kStrip];
        svd_kernels.column_dots(a, l, m, i, j0, count, f_strip);
        bool all_regular = true;  // every f of the strip as stated
        for (int t = 0; t < count; ++t) {
          const float ratio = f_strip[t] / a[i][i];
          f_strip[t] = ratio;
          all_regular = all_regular && regular_multiple(ratio, g, wi);
        }
        if (all_regular) {
          for (int t = 0; t < count; ++t) f_strip[t] = f_strip[t] * g;
          svd_kernels.add_column_multiples(a, i, m, i, j0, count, f_strip);
          continue;
        }
        for (int t = 0; t < count; ++t) {
          const float ratio = f_strip[t];
          if (regular_multiple(ratio, g, wi)) {
            float f = ratio * g;
            svd_kernels.add_column_multiples(a, i, m, i, j0 + t, 1, &f);
          } else {
            const double fd = widen(ratio) / widen(wi);
            for (int k = i; k <= m; ++k) a[k][j0 + t] += to_float(fd * widen(a[k][i]));
          }
        }
      }
      for (int j = i; j <= m; ++j)
        a[j][i] = by_division ? to_float(widen(a[j][i]) / widen(wi)) : a[j][i] * g;
    } else {
      for (int j = i; j <= m; ++j) a[j][i] = 0.0f;
    }
    a[i][i] += 1.0f;
  }
}

// c = p / r and s = q / r, taken as products with 1/r. Below about 2.9e-39
// (a subnormal r) the reciprocal overflows while both quotients are at most
// 1 in magnitude: they are then divided out directly.
void rotation_by_reciprocal(float p, float q, float r, float &c, float &s) {
  const float reciprocal = 1.0f / r;
  if (std::isfinite(reciprocal) || !std::isfinite(r)) {
    c = p * reciprocal;
    s = q * reciprocal;
  } else {
    c = p / r;
    s = q / r;
  }
}

// The first rotation's f for a QR sweep over w[l..k], e[l+1..k]: with
// x = w[l], y = w[k-1], z = w[k], g = e[k-1], h = e[k], it is (x² - μ) / x
// for the shift μ, the eigenvalue of the bottom 2 × 2 block of BᵀB nearer
// to z² + h².
float shifted_start(float x, float y, float z, float g, float h) {
  const float ratio = ((y - z) * (y + z) + (g - h) * (g + h)) / ((h + h) * y);
  const float t = with_sign_of(pythag(ratio, 1.0f), ratio);
  const float square_difference = (x - z) * (x + z);
  const float f = to_float(
      (widen(square_difference) + widen(h) * (widen(y) / (widen(ratio) + widen(t)) - widen(h))) /
      widen(x));
  const bool inputs_finite = std::isfinite(x) && std::isfinite(y) && std::isfinite(z) &&
                             std::isfinite(g) && std::isfinite(h);
  if (std::isfinite(f) || !inputs_finite) return f;
  // Squares of entries beyond about 1.8e19 overflow single precision and
  // the float steps above give inf or NaN where the shift is finite: take
  // them in double. If even the result lies beyond single precision (a tiny
  // x under a huge h, as when an absolute tolerance waits for x to vanish),
  // sweep without a shift (μ = 0, f = x): still an exact orthogonal step,
  // where an infinite f would turn every rotation into NaN.
  const double xd = widen(x), yd = widen(y), zd = widen(z), gd = widen(g), hd = widen(h);
  const double ratio_d = ((yd - zd) * (yd + zd) + (gd - hd) * (gd + hd)) / ((hd + hd) * yd);
  const double root = rounded_hypot_with_one(ratio_d);
  const double t_d = ratio_d >= 0.0 ? root : -root;
  const float f_d = to_float(((xd - zd) * (xd + zd) + hd * (yd / (ratio_d + t_d) - hd)) / xd);
  return std::isfinite(f_d) ? f_d : x;
}

// Diagonalises the bidiagonal (w, e) by QR sweeps, applying the rotations to
// the columns of U (a, m rows) and V (n rows).
void diagonalise(float **a, int m, int n, float w[], float e[], float **v) {
  KeptColumnSteps u_steps(a, m), v_steps(v, n);
  for (int k = n; k >= 1; --k) {
    for (int sweep = 1; sweep <= kMaxSweeps; ++sweep) {
      // Split: search down from k for the first l with e[l] negligible, or
      // with w[l-1] negligible (then e[l] is chased out first). e[1] is
      // always 0, so w[0] is never needed.
      int l = k;
      bool cancel = false;
      for (; l > 1; --l) {
        if (negligible(e[l])) break;
        if (negligible(w[l - 1])) {
          cancel = true;
          break;
        }
      }
      if (cancel) {
        const int p = l - 1;
        float c = 0.0f;
        float s = 1.0f;
        for (int i = l; i <= k; ++i) {
          const float f = s * e[i];
          e[i] = c * e[i];
          if (negligible(f)) break;
          const float g = w[i];
          const float h = pythag(f, g);
          w[i] = h;
          rotation_by_reciprocal(g, -f, h, c, s);
          u_steps.rotate(p, i, c, s);
        }
      }
      const float z = w[k];
      if (l == k) {  // converged: make it non-negative
        if (z < 0.0f) {
          w[k] = -z;
          v_steps.negate(k);
        }
        break;
      }
      if (sweep == kMaxSweeps) NoConvergenceInSVD = true;
      float x = w[l];
      const int last = k - 1;
      float f = shifted_start(x, w[last], z, e[last], e[k]);
      float c = 1.0f;
      float s = 1.0f;
      for (int j = l; j <= last; ++j) {
        const int i = j + 1;
        float g = e[i];
        float y = w[i];
        float h = s * g;
        g = c * g;
        float r = pythag(f, h);
        e[j] = r;
        c = f / r;
        s = h / r;
        f = x * c + g * s;
        g = g * c - x * s;
        h = y * s;
        y = y * c;
        v_steps.rotate(j, i, c, s);
        r = pythag(f, h);
        w[j] = r;
        if (r != 0.0f) rotation_by_reciprocal(f, h, r, c, s);  // else c and s stay
        f = c * g + s * y;
        x = c * y - s * g;
        u_steps.rotate(j, i, c, s);
      }
      e[l] = 0.0f;
      e[k] = f;
      w[k] = x;
    }
  }
  u_steps.apply();
  v_steps.apply();
}

}  // namespace

float pythag(float a, float b) {
  const float p = fabs_f(a);
  const float q = fabs_f(b);
  // Non-finite input as hypot has it: an infinity wins over a NaN, and a NaN
  // is never lost (the scaled forms below give inf/inf or drop p when q = 0).
  if (std::isinf(p) || std::isinf(q)) return std::numeric_limits<float>::infinity();
  // larger · √(1 + r²), r = smaller / larger; r² in float, the rest in double.
  auto scaled_root = [](float larger, float smaller) {
    const float r = smaller / larger;
    const float r_squared = r * r;
    return larger * to_float(sqrt_d(1.0 + widen(r_squared)));
  };
  if (p > q) return scaled_root(p, q);
  if (q == 0.0f) return p;  // 0, or a NaN in a
  return scaled_root(q, p);
}

void svdcmp(float **a, int m, int n, float w[], float **v) {
  NoConvergenceInSVD = false;
  float *e = vector(1, n);
  reduce_to_bidiagonal(a, m, n, w, e);
  accumulate_right(a, n, e, v);
  accumulate_left(a, m, n, w);
  diagonalise(a, m, n, w, e, v);
  free_vector(e, 1, n);
}

void svbksb(float **u, float w[], float **v, int m, int n, float b[], float x[]) {
  float *t = vector(1, n);
  for (int j = 1; j <= n; ++j) {
    float s = 0.0f;
    if (w[j] != 0.0f) {
      for (int i = 1; i <= m; ++i) s += u[i][j] * b[i];
      s /= w[j];
    }
    t[j] = s;
  }
  for (int j = 1; j <= n; ++j) {
    float s = 0.0f;
    for (int k = 1; k <= n; ++k) s += v[j][k] * t[k];
    x[j] = s;
  }
  free_vector(t, 1, n);
}

void svdvar(float **v, int p, float w[], float **cvm) {
  float *q = vector(1, p);
  for (int i = 1; i <= p; ++i) {
    q[i] = 0.0f;
    if (w[i] != 0.0f) q[i] = 1.0f / (w[i] * w[i]);
  }
  for (int i = 1; i <= p; ++i) {
    for (int j = 1; j <= i; ++j) {
      float s = 0.0f;
      for (int k = 1; k <= p; ++k) s += v[i][k] * v[j][k] * q[k];
      cvm[i][j] = s;
      cvm[j][i] = s;
    }
  }
  free_vector(q, 1, p);
}

int getInverseMatrixUsingSVD(float **a, float **r, int n) {
  float **u = matrix(1, n, 1, n);
  float **v = matrix(1, n, 1, n);
  float *w = vector(1, n);
  float **t = matrix(0, n - 1, 0, n - 1);
  float **p = matrix(0, n - 1, 0, n - 1);
  float **e = matrix(0, n - 1, 0, n - 1);

  copy_matrix(a, u, n, n, 2);
  svdcmp(u, n, n, w, v);
  if (NoConvergenceInSVD) {
    // An unconverged value may be left negative; count it by its magnitude
    // and turn its column of V with it, as a converged one would have been,
    // so that V·diag(w)·Uᵀ keeps describing the same matrix.
    for (int i = 1; i <= n; ++i) {
      if (w[i] < 0.0f) {
        w[i] = -w[i];
        for (int j = 1; j <= n; ++j) v[j][i] = -v[j][i];
      }
    }
  }
  float largest = 0.0f;
  for (int i = 1; i <= n; ++i)
    if (w[i] > largest) largest = w[i];  // a NaN is passed over
  const float threshold = to_float(widen(largest) * 1e-6);
  for (int j = 1; j <= n; ++j) {
    // Values below the threshold are dropped, and so is every zero: with a
    // zero largest value the threshold is 0 and 1/0 would fill r with inf.
    if (threshold > w[j] || w[j] == 0.0f)
      w[j] = 0.0f;
    else
      w[j] = 1.0f / w[j];
  }

  copy_matrix(u, e, n, n, 3);
  matrix_transpose(e, t, n, n);            // t = Uᵀ
  diagmatrix_matrix_mult(&w[1], t, n, n);  // row j of t times w[j+1]
  copy_matrix(v, e, n, n, 3);
  copy_matrix(e, p, n, n, 0);  // p = V
  matrix_matrix_mult(p, t, r, n, n, n);

  free_matrix(t, 0, n - 1, 0, n - 1);
  free_matrix(p, 0, n - 1, 0, n - 1);
  free_matrix(e, 0, n - 1, 0, n - 1);
  free_matrix(v, 1, n, 1, n);
  free_matrix(u, 1, n, 1, n);
  free_vector(w, 1, n);
  return 1;
}
