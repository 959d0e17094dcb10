// SPDX-License-Identifier: MIT
// Selection of the k-th smallest value by repeated partitioning.
#include "tissuesteward/select.h"

#include "toolkit/detail/fatal.h"
#include "toolkit/detail/partition.h"

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
