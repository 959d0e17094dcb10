// SPDX-License-Identifier: MIT
// The one decision of the vector layer: which target this process runs.
#include "toolkit/simd/kernels.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace ts::simd {

namespace {

// Decided at the first use: the best target the machine has, capped by
// TISSUESTEWARD_SIMD. An unknown value is reported once, on one line, and
// ignored.
Target decide_target() {
  const Target best = best_supported_target();
  const char *cap_text = std::getenv("TISSUESTEWARD_SIMD");
  if (cap_text == nullptr || *cap_text == '\0') return best;
  Target cap = best;
  if (!parse_target(cap_text, cap)) {
    std::fprintf(stderr,
                 "tissuesteward: TISSUESTEWARD_SIMD=%s is not one of scalar, sse2, avx2, "
                 "avx512; using %s\n",
                 cap_text, target_name(best));
    return best;
  }
  return capped_target(best, cap);
}

// -1 until decided. Two threads deciding at once reach the same answer, so
// a plain atomic store is enough: no lock, nothing to tear.
std::atomic<int> g_target{-1};

}  // namespace

Target active_target() {
  int target = g_target.load(std::memory_order_relaxed);
  if (target < 0) {
    target = decide_target();
    g_target.store(target, std::memory_order_relaxed);
  }
  return static_cast<Target>(target);
}

const Kernels &kernels() {
  // Addresses of constant tables: fixed at load time, nothing to initialise.
  static constexpr const Kernels *by_target[kTargetCount] = {
    &scalar::kernel_table,
#if defined(TS_SIMD_X86)
    &sse2::kernel_table,
    &avx2::kernel_table,
    &avx512::kernel_table,
#else
    &scalar::kernel_table,
    &scalar::kernel_table,
    &scalar::kernel_table,
#endif
  };
  return *by_target[active_target()];
}

}  // namespace ts::simd
