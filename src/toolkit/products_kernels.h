// Vector kernels of the dense products: the pointer table the products use,
// and the templates each target instantiates on its lane types (simd/vec.h).
#ifndef TISSUESTEWARD_PRODUCTS_KERNELS_H
#define TISSUESTEWARD_PRODUCTS_KERNELS_H

namespace ts::simd {

struct ProductsKernels {
  // row[0..count-1] *= d, elementwise in float.
  void (*scale_row)(float *row, float d, int count);
};

// Kernel templates: L is a target's Lanes (L::F floats, L::D doubles).
namespace generic {

template <class L>
void scale_row(float *row, float d, int count) {
  using F = typename L::F;
  const typename F::V dv = F::set1(d);
  int j = 0;
  for (; j + F::kLanes <= count; j += F::kLanes) F::store(row + j, F::mul(F::load(row + j), dv));
  for (; j < count; ++j) row[j] = row[j] * d;
}

}  // namespace generic

template <class L>
constexpr ProductsKernels products_kernels() {
  return ProductsKernels{&generic::scale_row<L>};
}

}  // namespace ts::simd

#endif
