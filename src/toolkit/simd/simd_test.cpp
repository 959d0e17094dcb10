// The vector layer: target choice, and every target's kernels against the
// scalar kernels bit for bit, with and without flush-to-zero.
//
// This binary links the kernel tables themselves (not the library), so each
// target the machine has can be run side by side in one process.
#include "toolkit/simd/kernels.h"

#include "support/float_bits.h"

#include <gtest/gtest.h>
#include <xmmintrin.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace ts::simd {
namespace {

using ts::testing::bits;
using ts::testing::from_bits;

const Kernels *table_of(Target t) {
  switch (t) {
    case kScalar: return &scalar::kernel_table;
    case kSse2: return &sse2::kernel_table;
    case kAvx2: return &avx2::kernel_table;
    case kAvx512: return &avx512::kernel_table;
  }
  return nullptr;
}

TEST(TargetChoice, NamesParseBackAndCapsOnlyLower) {
  for (int t = 0; t < kTargetCount; ++t) {
    Target parsed = kScalar;
    ASSERT_TRUE(parse_target(target_name(static_cast<Target>(t)), parsed));
    EXPECT_EQ(parsed, t);
  }
  for (const char *bad : {"", "AVX2", "avx", "avx512 ", "sse4", "native"}) {
    Target parsed = kAvx2;
    EXPECT_FALSE(parse_target(bad, parsed)) << '"' << bad << '"';
    EXPECT_EQ(parsed, kAvx2) << "an unknown value must leave the target alone";
  }
  EXPECT_EQ(capped_target(kAvx512, kSse2), kSse2);
  EXPECT_EQ(capped_target(kAvx2, kAvx512), kAvx2) << "a cap the machine lacks falls back";
  EXPECT_EQ(capped_target(kAvx2, kScalar), kScalar);
}

TEST(TargetChoice, ThisMachineHasAtLeastSse2) {
  EXPECT_GE(best_supported_target(), kSse2) << "SSE2 is part of x86-64";
}

// The cap is read once, at the first use; a child process starts afresh.
TEST(TargetChoiceDeathTest, EnvironmentCapsOrIsReportedOnce) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const auto choose = [](const char *value) {
    setenv("TISSUESTEWARD_SIMD", value, 1);
    const Target first = active_target();
    kernels();
    std::exit(first == active_target() ? 10 + first : 1);
  };
  EXPECT_EXIT(choose("scalar"), ::testing::ExitedWithCode(10 + kScalar), "^$");
  EXPECT_EXIT(choose("sse2"), ::testing::ExitedWithCode(10 + kSse2), "^$");
  const int best = best_supported_target();
  EXPECT_EXIT(choose("avx512"), ::testing::ExitedWithCode(10 + best), "^$");
  EXPECT_EXIT(choose("fastest"), ::testing::ExitedWithCode(10 + best),
              "^tissuesteward: TISSUESTEWARD_SIMD=fastest is not one of scalar, sse2, avx2, "
              "avx512; using [a-z0-9]+\n$");
}

// Floats that stress each lane: signed zeros, subnormals, infinities, NaNs
// with payloads, extremes, and ordinary values.
std::vector<float> awkward_floats(std::size_t count, std::uint32_t seed) {
  static const std::uint32_t kSpecial[] = {
      0x00000000, 0x80000000, 0x00000001, 0x807fffff, 0x00800000, 0x7f7fffff, 0xff7fffff,
      0x7f800000, 0xff800000, 0x7fc00000, 0x7fa00001, 0xffc0beef, 0x3f800000, 0x34000000};
  std::vector<float> out(count);
  std::uint32_t state = seed;
  for (std::size_t i = 0; i < count; ++i) {
    state = state * 1664525u + 1013904223u;
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
  const Target best = best_supported_target();
  const unsigned saved = _mm_getcsr();
  for (unsigned csr : {saved, saved | 0x8040u}) {  // FTZ (bit 15) and DAZ (bit 6)
    _mm_setcsr(csr);
    for (int t = kSse2; t <= best; ++t) {
      SCOPED_TRACE(std::string("target ") + target_name(static_cast<Target>(t)) +
                   (csr == saved ? "" : ", flush-to-zero"));
      check(*table_of(kScalar), *table_of(static_cast<Target>(t)));
    }
  }
  _mm_setcsr(saved);
}

// Bit for bit, except that any NaN matches any NaN: which operand's payload
// a two-NaN operation passes on is not defined, even for the scalar code.
void expect_same_bits(const std::vector<float> &want, const std::vector<float> &got) {
  ASSERT_EQ(want.size(), got.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    if (std::isnan(want[i]) && std::isnan(got[i])) continue;
    ASSERT_EQ(bits(want[i]), bits(got[i])) << "element " << i;
  }
}

// Sizes around every target's lane counts, at misaligned starts.
const int kSizes[] = {0, 1, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 50, 67, 130};

TEST(ProductsKernels, ScaleRowMatchesScalar) {
  for_each_vector_target([](const Kernels &ref, const Kernels &vec) {
    for (int n : kSizes)
      for (int offset : {0, 1, 3}) {
        const std::vector<float> input = awkward_floats(n + offset, 7u * n + offset);
        for (float d : {0.75f, -0.0f, from_bits(0x00000003), std::numeric_limits<float>::infinity(),
                        from_bits(0x7fc00123)}) {
          std::vector<float> want = input, got = input;
          ref.products.scale_row(want.data() + offset, d, n);
          vec.products.scale_row(got.data() + offset, d, n);
          expect_same_bits(want, got);
        }
      }
  });
}

}  // namespace
}  // namespace ts::simd
