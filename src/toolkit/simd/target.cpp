// SPDX-License-Identifier: MIT
// One target's kernel table. This file is compiled once per target, with
// that target's instruction-set flags and TS_SIMD_NS naming it.
#include "toolkit/simd/kernels.h"
#include "toolkit/simd/vec.h"

namespace ts::simd::TS_SIMD_NS {

const Kernels kernel_table = {
    products_kernels<Lanes>(), fft_kernels<Lanes>(),   sort_kernels<SortLanes>(),
    linsolve_kernels<Lanes>(), eigen_kernels<Lanes>(), svd_kernels<Lanes>(),
    nlfit_kernels<Lanes>(),
};

}  // namespace ts::simd::TS_SIMD_NS
