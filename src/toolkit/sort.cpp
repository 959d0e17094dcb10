// SPDX-License-Identifier: MIT
// Quicksort with an explicit pair stack, its companion-carrying form, and
// heap sort.
#include "tissuesteward/sort.h"

#include "tissuesteward/arrays.h"
#include "toolkit/detail/fatal.h"
#include "toolkit/detail/messages.h"
#include "toolkit/detail/partition.h"
#include "toolkit/simd/kernels.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

using ts::detail::NoCompanion;

// Pending subarrays are kept as (lower, upper) pairs in a 1-based int stack.
constexpr int kSortStackSize = 60;
constexpr int kSort2StackSize = 50;
// A subarray l..ir with ir - l below this (at most seven elements) is
// finished by straight insertion.
constexpr unsigned long kInsertionSpan = 7;
// Stack entries are 32-bit, so no index may exceed this.
constexpr unsigned long kMaxStackedIndex = INT_MAX;

// Arrays longer than kInsertionSpan whose ascending order is unique bit for
// bit (no NaN, no equal values of different bits such as +0 and -0) go to
// the vector sort, which gives the bits every correct sort gives; it
// declines the rest, and they take the documented steps.
bool sorted_by_vector_kernel(unsigned long n, float arr[]) {
  return n > kInsertionSpan && ts::simd::kernels().sorting.sort_if_unique(arr + 1, n);
}

// sort2's companion values, moved as 32-bit patterns and never read as
// floats, so signalling NaNs and every other pattern come through unchanged.
class BitPatternCompanion {
 public:
  using Value = std::uint32_t;
  explicit BitPatternCompanion(float brr[]) : brr_(brr) {}
  Value load(unsigned long i) const {
    Value v;
    std::memcpy(&v, &brr_[i], sizeof v);
    return v;
  }
  void store(unsigned long i, Value v) const { std::memcpy(&brr_[i], &v, sizeof v); }
  void move(unsigned long from, unsigned long to) const { store(to, load(from)); }
  void exchange(unsigned long p, unsigned long q) const {
    const Value kept = load(p);
    store(p, load(q));
    store(q, kept);
  }

 private:
  float *brr_;
};

// Stack entries: the index cut to 32 bits when pushed, sign-extended when
// popped (lossless, since every index is at most kMaxStackedIndex).
int stacked(unsigned long index) { return static_cast<int>(static_cast<std::uint32_t>(index)); }
unsigned long unstacked(int entry) { return static_cast<unsigned long>(static_cast<long>(entry)); }

// Straight insertion of arr[l..ir]: each element moves down past every
// element not <= it, so equal keys keep their order.
template <class Companion>
void insertion_sort(float arr[], const Companion &carry, unsigned long l, unsigned long ir) {
  for (unsigned long j = l + 1; j <= ir; ++j) {
    const float a = arr[j];
    const auto b = carry.load(j);
    unsigned long slot = j;
    while (slot > l && !(arr[slot - 1] <= a)) {
      arr[slot] = arr[slot - 1];
      carry.move(slot - 1, slot);
      --slot;
    }
    arr[slot] = a;
    carry.store(slot, b);
  }
}

// Quicksort of arr[1..n]: partition, push the larger part, carry on with the
// smaller, so at most about log2(n) pairs are ever pending.
template <class Companion>
void quicksort(unsigned long n, float arr[], const Companion &carry, int stack_size,
               const char *routine, const char *overflow_message) {
  if (n == 0) return;
  if (n > kMaxStackedIndex)
    ts::detail::fatalf("%s: n=%lu exceeds the 32-bit index range", routine, n);
  int *stack = ivector(1, stack_size);
  int jstack = 0;
  unsigned long l = 1;
  unsigned long ir = n;
  for (;;) {
    if (ir - l < kInsertionSpan) {
      insertion_sort(arr, carry, l, ir);
      if (jstack == 0) break;
      ir = unstacked(stack[jstack]);
      l = unstacked(stack[jstack - 1]);
      jstack -= 2;
      continue;
    }
    const auto [i, j] = ts::detail::partition_median_of_three(arr, carry, l, ir);
    jstack += 2;
    if (jstack > stack_size) ts::detail::fatal(overflow_message);
    if (ir - i + 1 >= j - l) {  // right part at least as long: push it
      stack[jstack] = stacked(ir);
      stack[jstack - 1] = stacked(i);
      ir = j - 1;
    } else {
      stack[jstack] = stacked(j - 1);
      stack[jstack - 1] = stacked(l);
      l = i;
    }
  }
  free_ivector(stack, 1, stack_size);
}

}  // namespace

void sort(unsigned long n, float arr[]) {
  if (n <= kMaxStackedIndex && sorted_by_vector_kernel(n, arr)) return;
  quicksort(n, arr, NoCompanion{}, kSortStackSize, "sort", ts::msg::kSortStack);
}

void sort2(unsigned long n, float arr[], float brr[]) {
  quicksort(n, arr, BitPatternCompanion(brr), kSort2StackSize, "sort2", ts::msg::kSort2Stack);
}

void hpsort(unsigned long n, float ra[]) {
  if (n < 2 || sorted_by_vector_kernel(n, ra)) return;
  unsigned long l = (n >> 1) + 1;
  unsigned long ir = n;
  for (;;) {
    float rra;
    if (l > 1) {  // building the heap
      rra = ra[--l];
    } else {  // moving the top of the heap to the end
      rra = ra[ir];
      ra[ir] = ra[1];
      if (--ir == 1) {
        ra[1] = rra;
        return;
      }
    }
    // Sift rra down from l.
    unsigned long i = l;
    unsigned long j = l + l;
    while (j <= ir) {
      if (j < ir && ra[j] < ra[j + 1]) ++j;
      if (rra < ra[j]) {
        ra[i] = ra[j];
        i = j;
        j += j;
      } else {
        j = ir + 1;
      }
    }
    ra[i] = rra;
  }
}
