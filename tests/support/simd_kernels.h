// SPDX-License-Identifier: MIT
// Shared by the kernel tests: each target the machine has, run against the
// scalar kernels bit for bit, with awkward inputs at lane-boundary sizes.
#ifndef TISSUESTEWARD_TESTS_SUPPORT_SIMD_KERNELS_H
#define TISSUESTEWARD_TESTS_SUPPORT_SIMD_KERNELS_H

#include "toolkit/simd/kernels.h"

#include "support/float_bits.h"
#include "support/guarded.h"
#include "support/source.h"

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace ts::testing {

inline const simd::Kernels *table_of(simd::Target t) {
  switch (t) {
    case simd::kScalar:
      return &simd::scalar::kernel_table;
    case simd::kSse2:
      return &simd::sse2::kernel_table;
    case simd::kAvx2:
      return &simd::avx2::kernel_table;
    case simd::kAvx512:
      return &simd::avx512::kernel_table;
  }
  return nullptr;
}

// Floats that stress each lane: signed zeros, subnormals, infinities, NaNs
// with payloads, extremes, and ordinary values.
inline std::vector<float> awkward_floats(std::size_t count, std::uint64_t seed) {
  static const std::uint32_t kSpecial[] = {
      0x00000000, 0x80000000, 0x00000001, 0x807fffff, 0x00800000, 0x7f7fffff, 0xff7fffff,
      0x7f800000, 0xff800000, 0x7fc00000, 0x7fa00001, 0xffc0beef, 0x3f800000, 0x34000000};
  std::vector<float> out(count);
  Source source(seed);
  for (std::size_t i = 0; i < count; ++i) {
    const auto state = static_cast<std::uint32_t>(source.word() >> 32);
    const std::uint32_t pick = state >> 24;
    if (pick < 40)
      out[i] = from_bits(kSpecial[pick % (sizeof kSpecial / sizeof kSpecial[0])]);
    else
      out[i] = std::ldexp(static_cast<float>(static_cast<int>(state >> 8) - (1 << 23)) / 8388608.0f,
                          static_cast<int>(pick % 40) - 20);
  }
  return out;
}

// Runs `check` for every target this machine has beyond scalar, once with
// the default floating-point state and once with flush-to-zero and
// denormals-are-zero set, as a host might leave them.
template <class Check>
void for_each_vector_target(Check check) {
  const simd::Target best = simd::best_supported_target();
  const unsigned saved = _mm_getcsr();
  for (unsigned csr : {saved, saved | 0x8040u}) {  // FTZ (bit 15) and DAZ (bit 6)
    _mm_setcsr(csr);
    for (int t = simd::kSse2; t <= best; ++t) {
      SCOPED_TRACE(std::string("target ") + simd::target_name(static_cast<simd::Target>(t)) +
                   (csr == saved ? "" : ", flush-to-zero"));
      check(*table_of(simd::kScalar), *table_of(static_cast<simd::Target>(t)));
    }
  }
  _mm_setcsr(saved);
}

// Bit for bit, except that any NaN matches any NaN: which operand's payload
// a two-NaN operation passes on is not defined, even for the scalar code.
inline void expect_same_bits(const std::vector<float> &want, const std::vector<float> &got) {
  ASSERT_EQ(want.size(), got.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    if (std::isnan(want[i]) && std::isnan(got[i])) continue;
    ASSERT_EQ(bits(want[i]), bits(got[i])) << "element " << i;
  }
}

// Sizes around every target's lane counts (4, 8 and 16 floats).
inline constexpr int kLaneSizes[] = {0, 1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 50, 67, 130};

}  // namespace ts::testing

#endif
