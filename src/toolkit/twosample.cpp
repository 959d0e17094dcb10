// SPDX-License-Identifier: MIT
// Two-sample t and Kolmogorov-Smirnov statistics.
#include "tissuesteward/twosample.h"

#include "tissuesteward/sort.h"
#include "toolkit/detail/rounding.h"

#include <limits>

using ts::detail::count_d;
using ts::detail::count_f;
using ts::detail::exp_d;
using ts::detail::fabs_f;
using ts::detail::sqrt_d;
using ts::detail::to_float;
using ts::detail::widen;

namespace {

// Q_KS series: stop when a term is this small against the previous term's
// magnitude, or against the running sum; give up after kMaxTerms terms.
constexpr double kTermToPrevious = 0.001;
constexpr double kTermToSum = 1.0e-8;
constexpr unsigned long kMaxTerms = 100;

}  // namespace

void avevar(float data[], unsigned long n, float *ave, float *var) {
  float &mean = *ave;
  float &v = *var;
  mean = 0.0f;
  for (unsigned long j = 1; j <= n; ++j) mean += data[j];
  mean /= count_f(n);
  float ep = 0.0f;  // sum of deviations: the mean's rounding error
  v = 0.0f;
  for (unsigned long j = 1; j <= n; ++j) {
    const float s = data[j] - mean;
    ep += s;
    v += s * s;
  }
  v = (v - ep * ep / count_f(n)) / count_f(n - 1);
}

void tutest(float data1[], unsigned long n1, float data2[], unsigned long n2, float *t,
            float * /*prob: not used*/) {
  float mean1, var1, mean2, var2;
  avevar(data1, n1, &mean1, &var1);
  avevar(data2, n2, &mean2, &var2);
  if (var1 == 0.0f && var2 == 0.0f) {
    *t = 0.0f;
    return;
  }
  const float difference = mean1 - mean2;
  const float spread = var1 / count_f(n1) + var2 / count_f(n2);
  *t = to_float(widen(difference) / sqrt_d(widen(spread)));
}

void ttest(float data1[], unsigned long n1, float data2[], unsigned long n2, float *t,
           float * /*prob: not used*/) {
  float mean1, var1, mean2, var2;
  avevar(data1, n1, &mean1, &var1);
  avevar(data2, n2, &mean2, &var2);
  const float pooled = (count_f(n1 - 1) * var1 + count_f(n2 - 1) * var2) / count_f(n1 + n2 - 2);
  if (pooled == 0.0f) {
    *t = 0.0f;
    return;
  }
  const float difference = mean1 - mean2;
  *t =
      to_float(widen(difference) / sqrt_d(widen(pooled) * (1.0 / count_d(n1) + 1.0 / count_d(n2))));
}

void kstwo(float data1[], unsigned long n1, float data2[], unsigned long n2, float *d,
           float * /*prob: not used*/) {
  sort(n1, data1);
  sort(n2, data2);
  float &distance = *d;
  distance = 0.0f;
  float f1 = 0.0f;  // fraction of sample 1 at or below the current value
  float f2 = 0.0f;
  unsigned long j1 = 1;
  unsigned long j2 = 1;
  while (j1 <= n1 && j2 <= n2) {
    const float d1 = data1[j1];
    const float d2 = data2[j2];
    if (!(d1 <= d2) && !(d2 <= d1)) {  // a NaN: neither cursor could move
      distance = std::numeric_limits<float>::quiet_NaN();
      return;
    }
    if (d1 <= d2) f1 = count_f(j1++) / count_f(n1);
    if (d2 <= d1) f2 = count_f(j2++) / count_f(n2);  // a tie advances both
    const float gap = fabs_f(f2 - f1);
    if (gap > distance) distance = gap;
  }
}

float probks(float alam) {
  const float a2 = to_float(widen(alam) * (widen(alam) * -2.0));
  float fac = 2.0f;
  float sum = 0.0f;
  float previous = 0.0f;  // magnitude of the previous term
  for (unsigned long j = 1; j <= kMaxTerms; ++j) {
    const float jf = count_f(j);
    const float term = to_float(widen(fac) * exp_d(widen(jf * (a2 * jf))));
    sum += term;
    const double magnitude = widen(fabs_f(term));
    if (magnitude <= kTermToPrevious * widen(previous) || magnitude <= kTermToSum * widen(sum))
      return sum;
    fac = -fac;
    previous = fabs_f(term);
  }
  return 1.0f;
}
