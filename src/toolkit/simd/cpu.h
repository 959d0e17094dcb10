// SPDX-License-Identifier: MIT
// Which vector instruction sets this process may use, and the cap a user
// can put on them. No state here: the dispatcher (dispatch.h) decides once.
#ifndef TISSUESTEWARD_SIMD_CPU_H
#define TISSUESTEWARD_SIMD_CPU_H

namespace ts::simd {

// In order of width; each target's kernels run only where every narrower one
// would too. kScalar is the plain code, the reference every kernel matches.
enum Target { kScalar = 0, kSse2 = 1, kAvx2 = 2, kAvx512 = 3 };
constexpr int kTargetCount = 4;

// "scalar", "sse2", "avx2", "avx512".
const char *target_name(Target target);

// The widest target the CPU offers and the operating system saves the
// registers of (CPUID and XGETBV; on macOS, where AVX-512 state is enabled
// on first use, the kernel's own report). AVX2 needs AVX, AVX2 and the YMM
// state; AVX-512 needs F, BW, DQ and VL and the opmask and ZMM state.
Target best_supported_target();

// Parses a TISSUESTEWARD_SIMD value (one of the names above). False for an
// unknown value; `target` is then left alone.
bool parse_target(const char *text, Target &target);

// The target a process with this cap uses on a machine whose best target is
// `best`: the cap, or `best` if the machine lacks the cap.
inline Target capped_target(Target best, Target cap) { return cap < best ? cap : best; }

}  // namespace ts::simd

#endif
