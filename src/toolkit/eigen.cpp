// SPDX-License-Identifier: MIT
// Cyclic Jacobi eigen-decomposition and eigen ordering.
#include "tissuesteward/eigen.h"

#include "tissuesteward/arrays.h"
#include "toolkit/detail/fatal.h"
#include "toolkit/detail/messages.h"
#include "toolkit/detail/rounding.h"
#include "toolkit/simd/kernels.h"

#include <utility>

namespace {

using ts::detail::count_d;
using ts::detail::fabs_d;
using ts::detail::fabs_f;
using ts::detail::sqrt_d;
using ts::detail::to_float;
using ts::detail::widen;

constexpr int kMaxSweeps = 50;
// Sweeps 1..3 skip elements at or below a threshold; from sweep 5 on,
// elements negligible against both diagonal entries are simply zeroed.
constexpr int kLastThresholdSweep = 3;
constexpr int kFirstNegligibleSweep = 5;
constexpr float kNegligibleScale = 100.0f;
// The rotations of one pivot p (q = p+1..n in turn) each need, to be
// chosen, only [p][q], the diagonal and what the rotations before them did
// to rows p and q right of q. So only those row segments are rotated at
// once; the rest of each rotation is kept (24 KiB on the stack) for later:
// - the pairs ([p][j], [j][q]) for p < j < q, when p's rotations end;
// - the column segments above p (rows 1..p-1 of columns p and q) and the
//   eigenvector matrix, when the sweep ends or the store is full: later
//   pivots' rotations neither read nor write those elements in between.
// So each element still sees the same rotations, with the same values, in
// the same order, and all the kept work runs along rows, a vector of rows
// at a time. With the rows the kernels hold (at most 32 KiB) the call stays
// under 64 KiB of stack.
constexpr int kPendingRotations = 1536;

// True when adding g leaves |x| unchanged in single precision.
bool negligible_against(float g, float x) { return fabs_f(x) + g == fabs_f(x); }

// The rotation that annihilates the element apq of the 2×2 block with
// diagonal (d_p, d_q), as sine s and tau = s / (1 + c), and the tangent t.
struct Rotation {
  float t;
  float s;
  float tau;
};

Rotation rotation_for(float apq, float h, float g) {
  float t;
  if (negligible_against(g, h)) {
    t = apq / h;
  } else {
    const float theta = to_float(0.5 * widen(h) / widen(apq));
    t = to_float(1.0 / (fabs_d(widen(theta)) + sqrt_d(1.0 + widen(theta * theta))));
    if (theta < 0.0f) t = -t;
  }
  const float c = to_float(1.0 / sqrt_d(widen(t * t + 1.0f)));
  const float s = t * c;
  const float tau = to_float(widen(s) / (1.0 + widen(c)));
  return {t, s, tau};
}

// (x, y) <- (x - s(y + x·tau), y + s(x - y·tau)), from the old values.
void rotate(float &x, float &y, const Rotation &r) {
  const float g = x;
  const float h = y;
  x = g - r.s * (h + g * r.tau);
  y = h + r.s * (g - h * r.tau);
}

// What the step at an upper element does: leave it, zero it as negligible,
// or rotate.
enum class Step { kLeave, kZero, kRotate };
struct Choice {
  Step step;
  Rotation r;
};

Choice choose(float apq, float dp, float dq, int sweep, float threshold) {
  const float g = kNegligibleScale * fabs_f(apq);
  if (sweep >= kFirstNegligibleSweep && negligible_against(g, dp) && negligible_against(g, dq))
    return {Step::kZero, {}};
  if (!(fabs_f(apq) > threshold)) return {Step::kLeave, {}};
  return {Step::kRotate, rotation_for(apq, dq - dp, g)};
}

float upper_triangle_magnitude(float **a, int n) {
  float sum = 0.0f;
  for (int p = 1; p <= n - 1; ++p) {
    for (int q = p + 1; q <= n; ++q) sum += fabs_f(a[p][q]);
  }
  return sum;
}

}  // namespace

void jacobi(float **a, int n, float d[], float **v, int *nrot) {
  float *sweep_start = vector(1, n);   // eigenvalues as of the last sweep's end
  float *sweep_change = vector(1, n);  // change of each diagonal entry this sweep
  for (int p = 1; p <= n; ++p) {
    for (int q = 1; q <= n; ++q) v[p][q] = 0.0f;
    v[p][p] = 1.0f;
  }
  for (int p = 1; p <= n; ++p) {
    sweep_start[p] = d[p] = a[p][p];
    sweep_change[p] = 0.0f;
  }
  *nrot = 0;
  const ts::simd::EigenKernels &kernels = ts::simd::kernels().eigen;
  ts::simd::PlaneRotation pending[kPendingRotations];
  int pending_count = 0;
  int pivot_start = 0;  // the current pivot's first kept rotation
  auto finish_pivot = [&](int p) {
    kernels.rotate_pivot_rows(a, p + 1, n - 1, n, a[p], pending + pivot_start,
                              pending_count - pivot_start);
    pivot_start = pending_count;
  };
  auto finish_kept = [&] {
    if (pending_count == 0) return;
    kernels.rotate_rows(a, 1, pending[pending_count - 1].p - 1, n, true, pending, pending_count);
    kernels.rotate_rows(v, 1, n, n, false, pending, pending_count);
    pending_count = pivot_start = 0;
  };

  for (int sweep = 1; sweep <= kMaxSweeps; ++sweep) {
    const float sum = upper_triangle_magnitude(a, n);
    if (sum == 0.0f) {
      free_vector(sweep_change, 1, n);
      free_vector(sweep_start, 1, n);
      return;
    }
    // n·n in 64 bits: equal to the int product wherever that does not overflow.
    const float threshold = sweep <= kLastThresholdSweep
                                ? to_float(0.2 * widen(sum) / count_d(static_cast<long>(n) * n))
                                : 0.0f;

    for (int p = 1; p <= n - 1; ++p) {
      // Each rotation does its pair at q + 1 first, then the choice at
      // q + 1 is made (a chain of divisions and roots), and only then the
      // rest of the rotation's row segments, which that choice does not
      // wait for: the processor overlaps the two.
      Choice next = choose(a[p][p + 1], d[p], d[p + 1], sweep, threshold);
      for (int q = p + 1; q <= n; ++q) {
        const Choice now = next;
        const Rotation &r = now.r;
        if (now.step == Step::kZero) a[p][q] = 0.0f;
        if (now.step == Step::kRotate) {
          const float shift = r.t * a[p][q];
          sweep_change[p] -= shift;
          sweep_change[q] += shift;
          d[p] -= shift;
          d[q] += shift;
          a[p][q] = 0.0f;
          if (q < n) rotate(a[p][q + 1], a[q][q + 1], r);
        }
        if (q < n) next = choose(a[p][q + 1], d[p], d[q + 1], sweep, threshold);
        if (now.step != Step::kRotate) continue;
        if (q + 1 < n) kernels.rotate_pairs(a[p] + q + 2, a[q] + q + 2, r.s, r.tau, n - q - 1);
        pending[pending_count++] = {p, q, r.s, r.tau};
        if (pending_count == kPendingRotations) {
          finish_pivot(p);
          finish_kept();
        }
        ++*nrot;
      }
      finish_pivot(p);
    }
    finish_kept();

    for (int p = 1; p <= n; ++p) {
      sweep_start[p] += sweep_change[p];
      d[p] = sweep_start[p];
      sweep_change[p] = 0.0f;
    }
  }
  ts::detail::fatal(ts::msg::kJacobiTooManyIterations);
}

void eigsrt(float d[], float **v, int n) {
  for (int i = 1; i <= n - 1; ++i) {
    int k = i;
    float largest = d[i];
    for (int j = i + 1; j <= n; ++j) {
      if (d[j] >= largest) {
        k = j;
        largest = d[j];
      }
    }
    if (k == i) continue;
    std::swap(d[i], d[k]);
    for (int r = 1; r <= n; ++r) std::swap(v[r][i], v[r][k]);
  }
}
