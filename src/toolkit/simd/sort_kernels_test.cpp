// SPDX-License-Identifier: MIT
// The vector sort against the order every correct sort gives, and its
// refusal of every array whose order is not unique bit for bit.
#include "support/simd_kernels.h"

#include <algorithm>
#include <functional>
#include <limits>

namespace ts::testing {
namespace {

using namespace ts::simd;

using Fill = std::function<float(std::size_t i, std::size_t n, Source &rng)>;

struct Pattern {
  const char *name;
  Fill value;
};

float uniform(Source &rng) { return rng.in(-1e3f, 1e3f); }

const float kInf = std::numeric_limits<float>::infinity();

const Pattern kPatterns[] = {
    {"uniform", [](std::size_t, std::size_t, Source &r) { return uniform(r); }},
    {"ascending", [](std::size_t i, std::size_t, Source &) { return 0.5f * float(i); }},
    {"descending", [](std::size_t i, std::size_t n, Source &) { return float(n - i); }},
    {"all equal", [](std::size_t, std::size_t, Source &) { return 7.25f; }},
    {"four values", [](std::size_t, std::size_t, Source &r) { return float(r.below(4)); }},
    {"sawtooth", [](std::size_t i, std::size_t, Source &) { return float(i % 37); }},
    {"organ pipe",
     [](std::size_t i, std::size_t n, Source &) { return float(i < n / 2 ? i : n - i); }},
    {"infinities",
     [](std::size_t, std::size_t, Source &r) {
       const unsigned long k = r.below(4);
       return k == 0 ? kInf : k == 1 ? -kInf : uniform(r);
     }},
    {"negative zeros",
     [](std::size_t, std::size_t, Source &r) { return r.below(3) ? -0.0f : uniform(r); }},
    {"denormals",
     [](std::size_t, std::size_t, Source &r) {
       return from_bits((r.below(2) ? 0x80000000u : 0u) |
                        static_cast<std::uint32_t>(1 + r.below(0x7fffff)));
     }},
    {"denormals and one zero",
     [](std::size_t i, std::size_t, Source &r) {
       return i == 5 ? 0.0f : from_bits(static_cast<std::uint32_t>(1 + r.below(0x7fffff)));
     }},
    {"both zeros",
     [](std::size_t, std::size_t, Source &r) {
       const unsigned long k = r.below(3);
       return k == 0 ? 0.0f : k == 1 ? -0.0f : uniform(r);
     }},
    {"a NaN at the end",
     [](std::size_t i, std::size_t n, Source &r) {
       return i + 1 == n ? from_bits(0x7fc00001u) : uniform(r);
     }},
    {"awkward", [](std::size_t, std::size_t, Source &r) { return awkward_floats(1, r.word())[0]; }},
};

// Whether the ascending order of v is unique bit for bit: no NaN, and all
// values that compare equal to zero (under denormals-are-zero also the
// denormals) share one pattern, which under denormals-are-zero has to be a
// true zero for min and max to pass it on unchanged.
bool order_is_unique(const std::vector<float> &v) {
  const bool daz = (_mm_getcsr() & 0x40u) != 0;
  std::vector<std::uint32_t> zero_like;
  for (float x : v) {
    if (std::isnan(x)) return false;
    const std::uint32_t b = bits(x);
    const bool denormal = (b & 0x7f800000u) == 0 && (b & 0x7fffffu) != 0;
    if ((b & 0x7fffffffu) == 0 || (daz && denormal)) zero_like.push_back(b);
  }
  for (std::uint32_t b : zero_like)
    if (b != zero_like[0] || (daz && (b & 0x7fffffffu) != 0)) return false;
  return true;
}

TEST(SortKernels, SortsEveryArrayWithAUniqueOrderAndDeclinesTheRest) {
  std::vector<std::size_t> sizes(std::begin(kLaneSizes), std::end(kLaneSizes));
  for (std::size_t n : {63, 64, 65, 127, 128, 129, 255, 256, 257, 1000, 4095, 4096, 4097, 100000})
    sizes.push_back(n);
  for_each_vector_target([&](const Kernels &ref, const Kernels &vec) {
    for (const Pattern &shape : kPatterns)
      for (std::size_t n : sizes) {
        SCOPED_TRACE(std::string(shape.name) + ", n=" + std::to_string(n));
        Source rng(static_cast<unsigned>(n) * 31u + shape.name[0]);
        std::vector<float> input(n + 2, kGuard);  // guards at both ends
        for (std::size_t i = 0; i < n; ++i) input[i + 1] = shape.value(i, n, rng);
        const std::vector<float> values(input.begin() + 1, input.end() - 1);

        std::vector<float> scalar = input;
        EXPECT_FALSE(ref.sorting.sort_if_unique(scalar.data() + 1, n));
        std::vector<float> got = input;
        const bool sorted = vec.sorting.sort_if_unique(got.data() + 1, n);
        std::vector<float> want = input;
        if (n >= 2 && !order_is_unique(values)) {
          EXPECT_FALSE(sorted);
        } else {
          EXPECT_TRUE(sorted);
          std::sort(want.begin() + 1, want.end() - 1);
        }
        for (std::size_t i = 0; i < want.size(); ++i)
          ASSERT_EQ(bits(want[i]), bits(got[i])) << "cell " << i;
      }
  });
}

// The quicksort's guard against bad pivots, reached only past its depth
// limit: checked directly, on the lane type it ignores.
TEST(SortKernels, HeapSortFallbackSorts) {
  struct NoLanes {};
  for (const Pattern &shape : kPatterns)
    for (std::size_t n : {1, 2, 3, 8, 9, 100, 1001}) {
      Source rng(static_cast<unsigned>(n));
      std::vector<float> got(n);
      for (std::size_t i = 0; i < n; ++i) got[i] = shape.value(i, n, rng);
      if (!order_is_unique(got)) continue;
      std::vector<float> want = got;
      std::sort(want.begin(), want.end());
      generic::heap_sort<NoLanes>(got.data(), n);
      expect_same_bits(want, got);
    }
}

}  // namespace
}  // namespace ts::testing
