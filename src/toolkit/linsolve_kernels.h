// SPDX-License-Identifier: MIT
// Vector kernels of Gauss-Jordan elimination: the pointer table and the
// templates each target instantiates on its lane types (simd/vec.h).
#ifndef TISSUESTEWARD_LINSOLVE_KERNELS_H
#define TISSUESTEWARD_LINSOLVE_KERNELS_H

namespace ts::simd {

struct LinsolveKernels {
  // row[l] = row[l] - pivot[l]·f for l < count, elementwise in float.
  void (*eliminate)(float *row, const float *pivot, float f, int count);
  // The same, and returns the largest |row[l]| after the update over the
  // columns whose counts[l] is 0, NaNs ignored; +0 if there is none (and
  // possibly +0 when every such element is a NaN or a column is in use).
  float (*eliminate_and_find_largest)(float *row, const float *pivot, float f, const int *counts,
                                      int count);
};

namespace generic {

// One block of T::kLanes columns at l; `largest` gathers the magnitudes.
template <class T, bool kFindLargest>
void eliminate_lanes(float *row, const float *pivot, typename T::V f, const int *counts, int l,
                     typename T::V &largest) {
  const typename T::V updated = T::sub(T::load(row + l), T::mul(T::load(pivot + l), f));
  T::store(row + l, updated);
  if (kFindLargest) largest = T::max(T::magnitude_where_zero(updated, counts + l), largest);
}

template <class L, bool kFindLargest>
float eliminate_row(float *row, const float *pivot, float f, const int *counts, int count) {
  using F = typename L::F;
  using F1 = typename L::F1;
  const typename F::V fv = F::set1(f);
  typename F::V largest = F::set1(0.0f);
  float largest1 = 0.0f;
  int l = 0;
  for (; l + F::kLanes <= count; l += F::kLanes)
    eliminate_lanes<F, kFindLargest>(row, pivot, fv, counts, l, largest);
  for (; l < count; ++l) eliminate_lanes<F1, kFindLargest>(row, pivot, f, counts, l, largest1);
  if (!kFindLargest) return 0.0f;
  float lanes[F::kLanes];
  F::store(lanes, largest);
  for (int k = 0; k < F::kLanes; ++k) largest1 = F1::max(lanes[k], largest1);
  return largest1;
}

template <class L>
void eliminate(float *row, const float *pivot, float f, int count) {
  eliminate_row<L, false>(row, pivot, f, nullptr, count);
}

}  // namespace generic

template <class L>
constexpr LinsolveKernels linsolve_kernels() {
  return LinsolveKernels{&generic::eliminate<L>, &generic::eliminate_row<L, true>};
}

}  // namespace ts::simd

#endif
