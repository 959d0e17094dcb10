// SPDX-License-Identifier: MIT
// The table of vector kernels, one per target, and the choice between them.
//
// A family file calls `ts::simd::kernels().products.scale_row(...)`: it never
// names a target. Each family's part of the table is declared in its
// <family>_kernels.h beside the templates the targets instantiate.
#ifndef TISSUESTEWARD_SIMD_KERNELS_H
#define TISSUESTEWARD_SIMD_KERNELS_H

#include "toolkit/eigen_kernels.h"
#include "toolkit/fft_kernels.h"
#include "toolkit/linsolve_kernels.h"
#include "toolkit/nlfit_kernels.h"
#include "toolkit/products_kernels.h"
#include "toolkit/simd/cpu.h"
#include "toolkit/sort_kernels.h"
#include "toolkit/svd_kernels.h"

namespace ts::simd {

struct Kernels {
  ProductsKernels products;
  FftKernels fft;
  SortKernels sorting;
  LinsolveKernels linsolve;
  EigenKernels eigen;
  SvdKernels svd;
  NlfitKernels nlfit;
};

// The target this process runs, decided at the first call and kept: the
// best the machine has, capped by the environment variable TISSUESTEWARD_SIMD
// (scalar, sse2, avx2 or avx512). A cap the machine lacks falls back to the
// best it has; an unknown value is reported on one line of stderr and
// ignored.
Target active_target();

// The kernels of the active target.
const Kernels &kernels();

// Each target's table, filled at compile time in simd/target.cpp.
namespace scalar {
extern const Kernels kernel_table;
}
namespace sse2 {
extern const Kernels kernel_table;
}
namespace avx2 {
extern const Kernels kernel_table;
}
namespace avx512 {
extern const Kernels kernel_table;
}

}  // namespace ts::simd

#endif
