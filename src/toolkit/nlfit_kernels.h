// SPDX-License-Identifier: MIT
// Vector kernels of the Levenberg-Marquardt normal equations: the pointer
// table and the templates each target instantiates on its lane types
// (simd/vec.h).
#ifndef TISSUESTEWARD_NLFIT_KERNELS_H
#define TISSUESTEWARD_NLFIT_KERNELS_H

#include "toolkit/svd_kernels.h"  // add_row_multiple_lanes: row + wt·d, as here

namespace ts::simd {

struct NlfitKernels {
  // One data point's terms, over the fitted parameters' derivatives
  // d[0..mfit-1]: for j = 1..mfit, with wt = d[j-1]·sig2i,
  //   alpha[j][k] = alpha[j][k] + wt·d[k-1] for k = 1..j, and
  //   beta[j] = beta[j] + dy·wt.
  // Elements alpha[j][k] with j < k <= mfit may change too: the caller
  // overwrites that triangle from the lower one.
  void (*add_point)(float *const *alpha, float *beta, const float *d, float sig2i, float dy,
                    int mfit);
};

namespace generic {

// beta first, a vector of parameters at a time; then row j's sums, in
// whole vectors from column 1 up to column j, past it while the vector
// stays within column mfit (those upper elements are scratch), and one by
// one where it would not. wt is taken afresh for each, the same float.
template <class T>
void add_gradient_lanes(float *beta, const float *d, typename T::V sig2i, typename T::V dy) {
  const typename T::V wt = T::mul(T::load(d), sig2i);
  T::store(beta, T::add(T::load(beta), T::mul(dy, wt)));
}

template <class L>
void add_point(float *const *alpha, float *beta, const float *d, float sig2i, float dy, int mfit) {
  using F = typename L::F;
  using F1 = typename L::F1;
  constexpr int W = F::kLanes;
  int j = 0;
  for (; j + W <= mfit; j += W)
    add_gradient_lanes<F>(beta + 1 + j, d + j, F::set1(sig2i), F::set1(dy));
  for (; j < mfit; ++j) add_gradient_lanes<F1>(beta + 1 + j, d + j, sig2i, dy);
  for (j = 1; j <= mfit; ++j) {
    const float wt = F1::mul(F1::load(d + j - 1), sig2i);
    const typename F::V wtv = F::set1(wt);
    float *row = alpha[j] + 1;
    int k = 0;
    for (; k < j && k + W <= mfit; k += W) add_row_multiple_lanes<F>(row + k, wtv, d + k);
    for (; k < j; ++k) add_row_multiple_lanes<F1>(row + k, wt, d + k);
  }
}

}  // namespace generic

template <class L>
constexpr NlfitKernels nlfit_kernels() {
  return NlfitKernels{&generic::add_point<L>};
}

}  // namespace ts::simd

#endif
