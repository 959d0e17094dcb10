// SPDX-License-Identifier: MIT
// Ranks of a sorted array, ties by their mean rank.
#include "tissuesteward/rank.h"

#include "toolkit/detail/rounding.h"

void crank(unsigned long n, float w[], float *s) {
  using ts::detail::count_d;
  using ts::detail::count_f;
  using ts::detail::to_float;
  *s = 0.0f;
  unsigned long j = 1;
  while (j < n) {
    if (w[j + 1] != w[j]) {
      w[j] = count_f(j);
      ++j;
      continue;
    }
    unsigned long jt = j + 1;  // one past the run of values equal to w[j]
    while (jt <= n && w[jt] == w[j]) ++jt;
    const float rank = to_float(0.5 * count_d(j + jt - 1));
    for (unsigned long m = j; m < jt; ++m) w[m] = rank;
    const float t = count_f(jt - j);
    *s += (t * t) * t - t;  // single precision
    j = jt;
  }
  if (j == n) w[n] = count_f(n);  // the last element stood alone
}
