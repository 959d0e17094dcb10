// SPDX-License-Identifier: MIT
// Seeded uniform draws for peer comparisons: a failure replays from its seed.
#ifndef TISSUESTEWARD_TESTS_SUPPORT_DRAW_H
#define TISSUESTEWARD_TESTS_SUPPORT_DRAW_H

#include <random>

namespace ts::testing {

class Draw {
 public:
  explicit Draw(unsigned seed) : engine_(seed) {}
  // Uniform in [lo, hi).
  double operator()(double lo, double hi) {
    return std::uniform_real_distribution<double>(lo, hi)(engine_);
  }
  // The same, rounded to float.
  float f(double lo, double hi) { return static_cast<float>((*this)(lo, hi)); }
  // Uniform in lo..hi inclusive.
  unsigned long count(unsigned long lo, unsigned long hi) {
    return std::uniform_int_distribution<unsigned long>(lo, hi)(engine_);
  }

 private:
  std::mt19937_64 engine_;
};

}  // namespace ts::testing

#endif
