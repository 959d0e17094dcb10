// SPDX-License-Identifier: MIT
// The median-of-three partition step shared by the quicksorts and the
// selection routines.
#ifndef TISSUESTEWARD_DETAIL_PARTITION_H
#define TISSUESTEWARD_DETAIL_PARTITION_H

namespace ts::detail {

// What travels with the keys while they are rearranged: nothing.
struct NoCompanion {
  struct Value {};
  Value load(unsigned long) const { return {}; }
  void store(unsigned long, Value) const {}
  void move(unsigned long, unsigned long) const {}
  void exchange(unsigned long, unsigned long) const {}
};

struct PartitionEnds {
  unsigned long i;  // first index of the part at or above the pivot
  unsigned long j;  // final place of the pivot; the lower part ends at j - 1
};

// Partitions arr[l..ir], ir - l >= 2, around the median of arr[l], arr[mid]
// and arr[ir]; every exchange is repeated in the companion. The pivot is
// parked at l + 1 and the outer two, ordered around it, stop both scans, so
// neither leaves l..ir (NaN included: a scan stops where its relation fails).
// Afterwards arr[l..j-1] <= pivot = arr[j] <= arr[i..ir]; elements equal to
// the pivot stop both scans and are exchanged.
template <class T, class Companion>
PartitionEnds partition_median_of_three(T arr[], const Companion &carry, unsigned long l,
                                        unsigned long ir) {
  auto exchange = [&](unsigned long p, unsigned long q) {
    const T kept = arr[p];
    arr[p] = arr[q];
    arr[q] = kept;
    carry.exchange(p, q);
  };
  exchange((l + ir) >> 1, l + 1);
  if (arr[l] > arr[ir]) exchange(l, ir);
  if (arr[l + 1] > arr[ir]) exchange(l + 1, ir);
  if (arr[l] > arr[l + 1]) exchange(l, l + 1);

  const T a = arr[l + 1];
  const auto b = carry.load(l + 1);
  unsigned long i = l + 1;
  unsigned long j = ir;
  for (;;) {
    do ++i;
    while (arr[i] < a);
    do --j;
    while (arr[j] > a);
    if (j < i) break;
    exchange(i, j);
  }
  arr[l + 1] = arr[j];
  arr[j] = a;
  carry.move(j, l + 1);
  carry.store(j, b);
  return {i, j};
}

}  // namespace ts::detail

#endif
