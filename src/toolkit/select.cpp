// SPDX-License-Identifier: MIT
// Selection of the k-th smallest value by repeated partitioning, and ranking.
#include "tissuesteward/select.h"

#include "toolkit/detail/fatal.h"
#include "toolkit/detail/partition.h"
#include "toolkit/detail/rounding.h"

namespace {

// The k-th smallest of arr[1..n]: partition, then keep only the side that
// holds position k, until at most two elements are left.
template <class T>
T select_kth(unsigned long k, unsigned long n, T arr[], const char *routine) {
  if (k < 1 || k > n) ts::detail::fatalf("%s: k=%lu outside 1..%lu", routine, k, n);
  unsigned long l = 1;
  unsigned long ir = n;
  for (;;) {
    if (ir <= l + 1) {
      if (ir == l + 1 && arr[ir] < arr[l]) {
        const T kept = arr[l];
        arr[l] = arr[ir];
        arr[ir] = kept;
      }
      return arr[k];
    }
    const auto [i, j] =
        ts::detail::partition_median_of_three(arr, ts::detail::NoCompanion{}, l, ir);
    // When j == k both happen: the range empties and arr[k] is the pivot.
    if (j >= k) ir = j - 1;
    if (j <= k) l = i;
  }
}

}  // namespace

float select(unsigned long k, unsigned long n, float arr[]) {
  return select_kth(k, n, arr, "select");
}

unsigned short select_ushort(unsigned long k, unsigned long n, unsigned short arr[]) {
  return select_kth(k, n, arr, "select_ushort");
}

void crank(unsigned long n, float w[], float *s) {
  using ts::detail::count_f;
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
    const float rank = ts::detail::to_float(0.5 * ts::detail::count_d(j + jt - 1));
    for (unsigned long m = j; m < jt; ++m) w[m] = rank;
    const float t = count_f(jt - j);
    *s += (t * t) * t - t;  // single precision
    j = jt;
  }
  if (j == n) w[n] = count_f(n);  // the last element stood alone
}
