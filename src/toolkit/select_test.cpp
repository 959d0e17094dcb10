// SPDX-License-Identifier: MIT
// Selection against a brute-force k-th smallest, and ranking with tie sums.
#include "tissuesteward/select.h"

#include "support/fatal_report.h"
#include "support/guarded.h"
#include "support/shapes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <tuple>
#include <vector>

namespace {

using ts::testing::bits;
using ts::testing::Cells;
using ts::testing::fatal_report;
using ts::testing::one_based;
using ts::testing::Shape;
using ts::testing::shaped;
using ts::testing::sorted_bits;

// Brute force: the value with fewer than k elements below it and at least k
// at or below it.
template <class T>
T kth_smallest(const std::vector<T> &v, unsigned long k) {
  for (T candidate : v) {
    unsigned long below = 0, at_or_below = 0;
    for (T x : v) {
      below += x < candidate;
      at_or_below += x <= candidate;
    }
    if (below < k && k <= at_or_below) return candidate;
  }
  ADD_FAILURE() << "no k-th smallest";
  return T{};
}

// arr[k] is the answer, nothing before it is greater, nothing after smaller.
template <class T>
void expect_selected(Cells<T> &a, unsigned long k, T result) {
  EXPECT_EQ(a[k], result) << "k=" << k;
  for (unsigned long m = 1; m <= a.size(); ++m) {
    if (m < k) {
      EXPECT_LE(a[m], result) << "k=" << k << " m=" << m;
    } else if (m > k) {
      EXPECT_GE(a[m], result) << "k=" << k << " m=" << m;
    }
  }
  EXPECT_TRUE(a.guards_intact());
}

class SelectProps : public ::testing::TestWithParam<std::tuple<Shape, std::size_t>> {};

TEST_P(SelectProps, FindsTheKthSmallest) {
  const auto [shape, n] = GetParam();
  const std::vector<float> input = shaped(shape, n, 3 + static_cast<std::uint32_t>(n));
  std::vector<unsigned long> ks = {1, n, (n + 1) / 2};
  ts::testing::Source rng(11);
  for (int r = 0; r < 4; ++r) ks.push_back(1 + rng.below(n));
  if (n <= 64)
    for (unsigned long k = 1; k <= n; ++k) ks.push_back(k);
  // The brute force is quadratic: for long inputs take the sorted copy.
  std::vector<float> ascending = input;
  std::sort(ascending.begin(), ascending.end());
  for (unsigned long k : ks) {
    auto a = one_based(input);
    const float result = select(k, n, a.p());
    EXPECT_EQ(result, n <= 1000 ? kth_smallest(input, k) : ascending[k - 1]);
    expect_selected(a, k, result);
    EXPECT_EQ(sorted_bits(a.values()), sorted_bits(input));
  }
}

INSTANTIATE_TEST_SUITE_P(ShapesAndSizes, SelectProps,
                         ::testing::Combine(::testing::ValuesIn(ts::testing::kAllShapes),
                                            ::testing::Values(1, 2, 3, 4, 5, 9, 64, 1000, 100000)),
                         [](const auto &param_info) {
                           return std::string(
                                      ts::testing::shape_name(std::get<0>(param_info.param))) +
                                  "_" + std::to_string(std::get<1>(param_info.param));
                         });

TEST(SelectUshort, ComparesAsUnsignedSixteenBitValues) {
  Cells<unsigned short> wide(std::vector<unsigned short>{65535, 1});
  EXPECT_EQ(select_ushort(1, 2, wide.p()), 1);
  EXPECT_EQ(wide[2], 65535);
  Cells<unsigned short> middle(std::vector<unsigned short>{32768, 32767, 32768});
  EXPECT_EQ(select_ushort(1, 3, middle.p()), 32767);
  EXPECT_EQ(select_ushort(3, 3, middle.p()), 32768);

  ts::testing::Source rng(29);
  for (std::size_t n : {7u, 50u, 3000u}) {
    std::vector<unsigned short> input(n);
    for (auto &x : input)
      x = static_cast<unsigned short>(rng.below(5) * 16383);  // many ties, both halves
    for (unsigned long k : {1ul, n / 3 + 1, static_cast<unsigned long>(n)}) {
      Cells<unsigned short> a(input);
      const unsigned short result = select_ushort(k, n, a.p());
      EXPECT_EQ(result, kth_smallest(input, k));
      expect_selected(a, k, result);
    }
  }
}

struct RankCase {
  std::vector<float> sorted, ranks;
  float tie_sum;
};

TEST(Crank, RanksAndTieSums) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  std::vector<float> run(518, 4.0f);
  const std::vector<RankCase> cases = {
      {{1, 2, 2, 3}, {1, 2.5, 2.5, 4}, 6},
      {{5, 5, 5}, {2, 2, 2}, 24},
      {{1, 1, 2, 2}, {1.5, 1.5, 3.5, 3.5}, 12},
      {{1, 2, 2}, {1, 2.5, 2.5}, 6},  // a run closed by the end of the array
      {{-0.0f, 0.0f, 3}, {1.5, 1.5, 3}, 6},
      {{1}, {1}, 0},
      {{1, nan, nan, 2}, {1, 2, 3, 4}, 0},  // NaN never ties
      // t = 518 in single precision: t*t*t = 138991832 rounds to 138991840,
      // minus t to 138991328 (the exact 138991314 would round to 138991312).
      {run, std::vector<float>(518, 259.5f), 138991328.0f},
  };
  for (const RankCase &c : cases) {
    auto w = one_based(c.sorted);
    float s = -1;
    crank(w.size(), w.p(), &s);
    EXPECT_EQ(w.values(), c.ranks);
    EXPECT_EQ(s, c.tie_sum);
    EXPECT_TRUE(w.guards_intact());
  }
  auto empty = one_based({});
  float s = 99;
  crank(0, empty.p(), &s);
  EXPECT_EQ(s, 0.0f);
  EXPECT_TRUE(empty.guards_intact());
}

// Against ranks counted directly: (number below) + (number equal + 1) / 2.
TEST(Crank, AgreesWithCountedRanks) {
  std::vector<float> w = shaped(Shape::kFewDistinct, 500, 8);
  std::sort(w.begin(), w.end());
  auto a = one_based(w);
  float s = 0;
  crank(w.size(), a.p(), &s);
  double tie_sum = 0;
  for (std::size_t m = 0; m < w.size(); ++m) {
    const auto below = std::count_if(w.begin(), w.end(), [&](float x) { return x < w[m]; });
    const auto equal = std::count(w.begin(), w.end(), w[m]);
    EXPECT_EQ(a[m + 1], below + (equal + 1) / 2.0) << m;
    if (m == 0 || w[m] != w[m - 1]) tie_sum += std::pow(double(equal), 3) - equal;
  }
  EXPECT_NEAR(s, tie_sum, tie_sum * 1e-6);
}

using SelectDeathTest = ::testing::Test;

TEST(SelectDeathTest, PositionsOutsideTheArrayAreRefused) {
  float f[11] = {};
  unsigned short u[11] = {};
  EXPECT_EXIT(select(0, 10, f), ::testing::ExitedWithCode(1),
              fatal_report("select: k=0 outside 1..10"));
  EXPECT_EXIT(select(11, 10, f), ::testing::ExitedWithCode(1),
              fatal_report("select: k=11 outside 1..10"));
  EXPECT_EXIT(select(1, 0, f), ::testing::ExitedWithCode(1),
              fatal_report("select: k=1 outside 1..0"));
  EXPECT_EXIT(select_ushort(0, 3, u), ::testing::ExitedWithCode(1),
              fatal_report("select_ushort: k=0 outside 1..3"));
  EXPECT_EXIT(select_ushort(4, 3, u), ::testing::ExitedWithCode(1),
              fatal_report("select_ushort: k=4 outside 1..3"));
}

}  // namespace
