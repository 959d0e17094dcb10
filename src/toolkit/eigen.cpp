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
// The eigenvector matrix feeds nothing back into the sweep: its rotations
// are kept (16 KiB on the stack) and applied row block by row block when
// the store is full and at the end of each sweep. Each element still sees
// the same rotations in the same order.
constexpr int kPendingRotations = 1024;

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
  auto rotate_eigenvectors = [&] {
    kernels.rotate_rows(v, n, pending, pending_count);
    pending_count = 0;
  };

  for (int sweep = 1; sweep <= kMaxSweeps; ++sweep) {
    const float sum = upper_triangle_magnitude(a, n);
    if (sum == 0.0f) {
      free_vector(sweep_change, 1, n);
      free_vector(sweep_start, 1, n);
      return;
    }
    // n·n in 64 bits: equal to the int product wherever that does not overflow.
    const float threshold =
        sweep <= kLastThresholdSweep
            ? to_float(0.2 * widen(sum) / count_d(static_cast<long>(n) * n))
            : 0.0f;

    for (int p = 1; p <= n - 1; ++p) {
      for (int q = p + 1; q <= n; ++q) {
        const float g = kNegligibleScale * fabs_f(a[p][q]);
        if (sweep >= kFirstNegligibleSweep && negligible_against(g, d[p]) &&
            negligible_against(g, d[q])) {
          a[p][q] = 0.0f;
          continue;
        }
        if (!(fabs_f(a[p][q]) > threshold)) continue;

        const Rotation r = rotation_for(a[p][q], d[q] - d[p], g);
        const float shift = r.t * a[p][q];
        sweep_change[p] -= shift;
        sweep_change[q] += shift;
        d[p] -= shift;
        d[q] += shift;
        a[p][q] = 0.0f;
        for (int j = 1; j <= p - 1; ++j) rotate(a[j][p], a[j][q], r);
        for (int j = p + 1; j <= q - 1; ++j) rotate(a[p][j], a[j][q], r);
        if (q < n) kernels.rotate_pairs(a[p] + q + 1, a[q] + q + 1, r.s, r.tau, n - q);
        pending[pending_count++] = {p, q, r.s, r.tau};
        if (pending_count == kPendingRotations) rotate_eigenvectors();
        ++*nrot;
      }
    }

    rotate_eigenvectors();
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
