// SPDX-License-Identifier: MIT
// Selection of the k-th smallest (float and unsigned 16-bit) at the ends,
// the middle and random positions, and ranking with tie runs of every kind.
#include <string>
#include <vector>

#include "golden.h"
#include "tissuesteward/select.h"

namespace ts::testing {
namespace {

// Positions to select: both ends, the middle and a few random ones.
std::vector<unsigned long> positions(unsigned long n, std::uint64_t seed) {
  Source src(seed);
  std::vector<unsigned long> ks = {1, n, (n + 1) / 2};
  for (int i = 0; i < 3; ++i) ks.push_back(1 + src.below(n));
  return ks;
}

const bool select_cases = [] {
  for (Shape shape : kAllShapes)
    for (unsigned long n : {1UL, 2UL, 3UL, 10UL, 1000UL, 100000UL})
      Register("select", shape_name(shape) + "_" + std::to_string(n), [shape, n](Digest &d) {
        for (unsigned long k : positions(n, 800 + n)) {
          Vec arr(1, static_cast<long>(n));
          arr.assign(shaped(shape, arr.size(), 801 + n));
          d.value(select(k, n, arr.p()));
          arr.digest(d);
        }
      });
  return true;
}();

using UShorts = Cells<unsigned short>;

// Random 16-bit values, or (few_values) a pool around the sign boundary.
void fill_ushorts(UShorts &arr, bool few_values, std::uint64_t seed) {
  Source src(seed);
  const unsigned short pool[] = {0, 1, 2, 32767, 32768, 32769, 65534, 65535};
  arr.fill([&] {
    return few_values ? pool[src.below(8)] : static_cast<unsigned short>(src.word() & 0xffffu);
  });
}

const bool select_ushort_cases = [] {
  for (bool few : {false, true})
    for (unsigned long n : {1UL, 2UL, 3UL, 10UL, 1000UL, 100000UL})
      Register("select_ushort", std::string(few ? "pool_" : "random_") + std::to_string(n),
               [few, n](Digest &d) {
                 for (unsigned long k : positions(n, 810 + n)) {
                   UShorts arr(1, static_cast<long>(n));
                   fill_ushorts(arr, few, 811 + n);
                   d.value(select_ushort(k, n, arr.p()));
                   arr.digest(d);
                 }
               });
  return true;
}();

void run_crank(Digest &d, Vec &w) {
  float s = kGuard;
  crank(static_cast<unsigned long>(w.hi()), w.p(), &s);
  d.value(s);
  w.digest(d);
}

const bool crank_cases = [] {
  Register("crank", "small_tie_patterns", [](Digest &d) {
    const std::vector<std::vector<float>> inputs = {{1, 2, 2, 3},
                                                    {5, 5, 5},
                                                    {1, 1, 2, 2},
                                                    {1, 2, 2},
                                                    {4},
                                                    {},
                                                    {-0.0f, 0.0f, 0.0f, 1},
                                                    {1, 2, NAN, NAN, 3},
                                                    {2, 2, 2, 2, 2, 2, 2, 2, 2, 9}};
    for (const auto &values : inputs) {
      Vec w(1, static_cast<long>(values.size()));
      for (std::size_t i = 0; i < values.size(); ++i) w[static_cast<long>(i) + 1] = values[i];
      run_crank(d, w);
    }
  });
  for (Shape shape : {Shape::kSorted, Shape::kAllEqual})
    for (unsigned long n : {10UL, 1000UL, 100000UL})
      Register("crank", shape_name(shape) + "_" + std::to_string(n), [shape, n](Digest &d) {
        Vec w(1, static_cast<long>(n));
        w.assign(shaped(shape, w.size(), 820 + n));
        run_crank(d, w);
      });
  Register("crank", "long_runs_100000", [](Digest &d) {
    // Runs of up to 3000 equal values: t³ - t no longer exact in float.
    Source src(821);
    Vec w(1, 100000);
    float value = 0.0f;
    long left = 0;
    w.fill([&] {
      if (left-- == 0) {
        value += 1.0f;
        left = static_cast<long>(src.below(3000));
      }
      return value;
    });
    run_crank(d, w);
  });
  return true;
}();

}  // namespace
}  // namespace ts::testing
