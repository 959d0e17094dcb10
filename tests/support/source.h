// SPDX-License-Identifier: MIT
// The one seeded source of test and benchmark inputs.
//
// Everything comes from std::mt19937_64's raw words, whose sequence the C++
// standard fixes, turned into numbers by our own arithmetic: never through a
// standard distribution, whose output differs between standard libraries. A
// failure therefore replays from its seed on any platform, and the golden
// corpus's inputs (built from this source) are the same everywhere.
#ifndef TISSUESTEWARD_TESTS_SUPPORT_SOURCE_H
#define TISSUESTEWARD_TESTS_SUPPORT_SOURCE_H

#include <cmath>
#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace ts::testing {

class Source {
 public:
  explicit Source(std::uint64_t seed) : words_(seed) {}
  std::uint64_t word() { return words_(); }
  // Uniform in [0, 1) on a 2^-24 grid: exact in float.
  float unit() { return static_cast<float>(word() >> 40) * 0x1p-24f; }
  // Uniform in [lo, hi), rounded once.
  float in(float lo, float hi) { return lo + (hi - lo) * unit(); }
  // Uniform in [-1, 1) on a 2^-23 grid, also exact.
  float signed_unit() { return 2.0f * unit() - 1.0f; }
  // Uniform in [lo, hi) in double, from a 2^-53 grid on [0, 1).
  double uniform(double lo, double hi) {
    return lo + (hi - lo) * (static_cast<double>(word() >> 11) * 0x1p-53);
  }
  // An integer in 0..n-1 (n > 0; the modulo bias is irrelevant here).
  unsigned long below(unsigned long n) { return static_cast<unsigned long>(word() % n); }
  // An integer in lo..hi inclusive.
  unsigned long between(unsigned long lo, unsigned long hi) { return lo + below(hi - lo + 1); }
  // A value scaled by a power of two between 2^lo_exp and 2^hi_exp.
  float scaled(int lo_exp, int hi_exp) {
    int e = lo_exp + static_cast<int>(below(static_cast<unsigned long>(hi_exp - lo_exp + 1)));
    return std::ldexp(signed_unit(), e);
  }
  // Awkward values: zeros of both signs, ties, tiny and huge magnitudes.
  float awkward() {
    static const float pool[] = {0.0f,      -0.0f,   1.0f,  -1.0f,  0.5f,  2.0f,
                                 1e-30f,    -1e-30f, 1e30f, -1e30f, 1e-8f, 3.0f,
                                 0x1p-126f, 1e-38f,  7.0f,  7.0f,   -7.0f, 1e8f};
    return pool[below(sizeof pool / sizeof pool[0])];
  }
  // Close to a standard normal deviate: the sum of twelve uniforms, less 6
  // (mean 0, variance 1), in plain arithmetic rather than through libm.
  double gaussian() {
    double sum = 0.0;
    for (int i = 0; i < 12; ++i) sum += static_cast<double>(word() >> 11) * 0x1p-53;
    return sum - 6.0;
  }
  // Fisher-Yates: std::shuffle's order differs between standard libraries.
  template <class T>
  void shuffle(std::vector<T> &v) {
    for (std::size_t i = v.size(); i > 1; --i) std::swap(v[i - 1], v[below(i)]);
  }
  // Mostly scaled values, one in four awkward.
  float mixed(int lo_exp, int hi_exp) { return below(4) == 0 ? awkward() : scaled(lo_exp, hi_exp); }

 private:
  std::mt19937_64 words_;
};

}  // namespace ts::testing

#endif
