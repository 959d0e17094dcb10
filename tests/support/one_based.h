// SPDX-License-Identifier: MIT
// 1-based arrays with guard cells, bit patterns, and seeded input shapes
// that stress partitioning (sorting, selection and the statistics on them).
#ifndef TISSUESTEWARD_TESTS_SUPPORT_ONE_BASED_H
#define TISSUESTEWARD_TESTS_SUPPORT_ONE_BASED_H

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "support/float_bits.h"

namespace ts::testing {

// values[0..n-1] stored as a 1-based array p[1..n], with a guard cell at p[0]
// and at p[n+1] that no routine may touch.
template <class T>
class OneBased {
 public:
  explicit OneBased(const std::vector<T> &values, T guard) : guard_(guard), cells_(values.size() + 2, guard) {
    std::copy(values.begin(), values.end(), cells_.begin() + 1);
  }
  T *p() { return cells_.data(); }
  unsigned long n() const { return cells_.size() - 2; }
  T &operator[](unsigned long i) { return cells_[i]; }
  std::vector<T> values() const { return {cells_.begin() + 1, cells_.end() - 1}; }
  bool guards_intact() const {
    return std::memcmp(&cells_.front(), &guard_, sizeof(T)) == 0 &&
           std::memcmp(&cells_.back(), &guard_, sizeof(T)) == 0;
  }

 private:
  T guard_;
  std::vector<T> cells_;
};

// A quiet NaN with a payload no computation produces.
inline const float kGuard = from_bits(0x7fc0beefu);

inline OneBased<float> one_based(const std::vector<float> &values) { return OneBased<float>(values, kGuard); }

// Input shapes that stress partition schemes.
enum class Shape { kUniform, kFewDistinct, kSorted, kReversed, kAllEqual, kSignedZeros };

inline const char *shape_name(Shape s) {
  static const char *const names[] = {"Uniform", "FewDistinct", "Sorted", "Reversed", "AllEqual", "SignedZeros"};
  return names[static_cast<int>(s)];
}

inline std::vector<float> make_input(Shape shape, std::size_t n, std::uint32_t seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> uniform(-1000.0f, 1000.0f);
  std::uniform_int_distribution<int> small(-3, 3);
  std::vector<float> v(n);
  for (float &x : v) {
    switch (shape) {
      case Shape::kUniform: x = uniform(rng); break;
      case Shape::kFewDistinct: x = static_cast<float>(small(rng)) * 0.5f; break;
      case Shape::kSorted:
      case Shape::kReversed: x = static_cast<float>(small(rng)) + uniform(rng); break;
      case Shape::kAllEqual: x = 7.25f; break;
      case Shape::kSignedZeros: x = small(rng) < 0 ? -0.0f : (small(rng) < 2 ? 0.0f : 1.0f); break;
    }
  }
  if (shape == Shape::kSorted) std::sort(v.begin(), v.end());
  if (shape == Shape::kReversed) std::sort(v.begin(), v.end(), [](float a, float b) { return a > b; });
  return v;
}

// The bit patterns of values, in increasing order: equal for two arrays iff
// one is a permutation of the other (signed zeros told apart).
inline std::vector<std::uint32_t> sorted_bits(const std::vector<float> &values) {
  std::vector<std::uint32_t> b;
  for (float x : values) b.push_back(bits(x));
  std::sort(b.begin(), b.end());
  return b;
}

}  // namespace ts::testing

#endif
