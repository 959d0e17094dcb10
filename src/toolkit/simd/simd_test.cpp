// SPDX-License-Identifier: MIT
// The vector layer's choice of target. The same binary holds every family's
// kernel tests (<family>_kernels_test.cpp beside this file): it links the
// kernel tables themselves, not the library, so each target the machine has
// runs side by side with the scalar kernels in one process.
#include "support/simd_kernels.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace ts::testing {
namespace {

using namespace ts::simd;

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

}  // namespace
}  // namespace ts::testing
