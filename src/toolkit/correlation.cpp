// SPDX-License-Identifier: MIT
// Pearson and Spearman correlation, and the running accumulators.
#include "tissuesteward/correlation.h"

#include "tissuesteward/arrays.h"
#include "tissuesteward/gamma_beta_erf.h"
#include "tissuesteward/rank.h"
#include "tissuesteward/sort.h"
#include "toolkit/detail/rounding.h"

using ts::detail::count_f;
using ts::detail::fabs_f;
using ts::detail::sqrt_d;
using ts::detail::sqrt_f;
using ts::detail::to_float;
using ts::detail::widen;

namespace {

// Keeps 1 - r and 1 + r away from zero in the significance of r (as in
// r_to_p).
constexpr double kCorrelationGuard = 1.0e-20;
// |zd| is divided by √2 before erfcc, √2 given to 8 digits as the level is
// defined; the double nearest √2 would change probd.
constexpr double kRootTwoAsDefined = 1.4142136;

struct Moments {
  float sxx = 0.0f, syy = 0.0f, sxy = 0.0f;
};

// Sums of squared and crossed deviations from the means, in single precision.
Moments deviation_moments(const float x[], const float y[], unsigned long n) {
  float ax = 0.0f;
  float ay = 0.0f;
  for (unsigned long j = 1; j <= n; ++j) {
    ax += x[j];
    ay += y[j];
  }
  ax /= count_f(n);
  ay /= count_f(n);
  Moments m;
  for (unsigned long j = 1; j <= n; ++j) {
    const float xt = x[j] - ax;
    const float yt = y[j] - ay;
    m.sxx += xt * xt;
    m.syy += yt * yt;
    m.sxy += xt * yt;
  }
  return m;
}

// One point into the six running accumulators, deviations taken from the
// running means after the point is added.
void accumulate_point(float x, float y, float &n, float &sumx, float &sumy, float &sxx, float &syy,
                      float &sxy) {
  n += 1.0f;
  sumx += x;
  sumy += y;
  const float dx = x - sumx / n;
  const float dy = y - sumy / n;
  sxx += dx * dx;
  syy += dy * dy;
  sxy += dx * dy;
}

// r from the moments in single precision; 0 when either spread is 0.
float single_precision_r(float sxx, float syy, float sxy) {
  const float den = sqrt_f(sxx * syy);
  return den > 0.0f ? sxy / den : 0.0f;
}

// A square that is exactly 0 for a zero difference.
float square(float v) { return v == 0.0f ? 0.0f : v * v; }

}  // namespace

void pearsn(float x[], float y[], unsigned long n, float *r, float * /*prob: not used*/,
            float * /*z: not used*/) {
  const Moments m = deviation_moments(x, y, n);
  *r = single_precision_r(m.sxx, m.syy, m.sxy);
}

void pearsn_prob(float x[], float y[], unsigned long n, float *r, float *prob,
                 float * /*z: not used*/) {
  const Moments m = deviation_moments(x, y, n);
  const float p = m.sxx * m.syy;
  *r = sqrt_f(p) > 0.0f ? to_float(widen(m.sxy) / sqrt_d(widen(p))) : 0.0f;
  const float df = count_f(n - 2);
  const double rr = widen(*r);
  const float t = to_float(
      rr * sqrt_d(widen(df) / ((1.0 - rr + kCorrelationGuard) * (1.0 + rr + kCorrelationGuard))));
  *prob = betai(0.5f * df, 0.5f, df / (t * t + df));
}

void pearsn_inc(float x, float y, float &n, float &sumx, float &sumy, float &sxx, float &syy,
                float &sxy, float *r) {
  accumulate_point(x, y, n, sumx, sumy, sxx, syy, sxy);
  *r = single_precision_r(sxx, syy, sxy);
}

void regr_inc(float x, float y, float &n, float &sumx, float &sumy, float &sxx, float &syy,
              float &sxy, float *a, float *b, float *ay) {
  accumulate_point(x, y, n, sumx, sumy, sxx, syy, sxy);
  *b = sxx > 0.0f ? sxy / sxx : 0.0f;
  const float mean_y = sumy / n;
  *ay = mean_y;
  *a = mean_y - (*b * sumx) / n;
}

void spear(float x[], float y[], unsigned long n, float *d, float *zd, float *probd, float *rs,
           float *probrs) {
  float *w1 = vector(1, static_cast<long>(n));
  float *w2 = vector(1, static_cast<long>(n));
  for (unsigned long j = 1; j <= n; ++j) {
    w1[j] = x[j];
    w2[j] = y[j];
  }
  // Rank each variable in turn, carrying the other along so pairs stay
  // aligned; sf and sg are the tie sums.
  float sf = 0.0f;
  float sg = 0.0f;
  sort2(n, w1, w2);
  crank(n, w1, &sf);
  sort2(n, w2, w1);
  crank(n, w2, &sg);

  *d = 0.0f;
  for (unsigned long j = 1; j <= n; ++j) *d = to_float(widen(*d) + widen(square(w1[j] - w2[j])));

  const float en = count_f(n);
  const float en3n = en * en * en - en;
  const float fac = to_float((1.0 - widen(sf / en3n)) * (1.0 - widen(sg / en3n)));
  const float en_plus_one = en + 1.0f;
  const float en_plus_one_squared = en_plus_one * en_plus_one;
  const float vard = to_float(widen(en) * ((widen(en) - 1.0) * widen(en)) *
                              widen(en_plus_one_squared) / 36.0 * widen(fac));
  if (vard == 0.0f || fac == 0.0f) {  // a constant variable
    *rs = 0.0f;
    *probrs = 0.0f;
  } else {
    const float ties = sf + sg;
    const float aved = to_float(widen(en3n) / 6.0 - widen(ties) / 12.0);
    *zd = to_float(widen(*d - aved) / sqrt_d(widen(vard)));
    *probd = erfcc(to_float(widen(fabs_f(*zd)) / kRootTwoAsDefined));
    *rs = to_float((1.0 - (6.0 / widen(en3n)) * (widen(*d) + widen(ties) / 12.0)) /
                   sqrt_d(widen(fac)));
  }
  free_vector(w2, 1, static_cast<long>(n));
  free_vector(w1, 1, static_cast<long>(n));
}
