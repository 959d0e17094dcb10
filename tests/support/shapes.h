// SPDX-License-Identifier: MIT
// Input orders that stress partitioning and ranking: sorting, selection and
// the statistics built on them. Every shape is built directly, never by a
// library sort, so equal keys (and -0.0 against 0.0) sit where we put them.
#ifndef TISSUESTEWARD_TESTS_SUPPORT_SHAPES_H
#define TISSUESTEWARD_TESTS_SUPPORT_SHAPES_H

#include "support/float_bits.h"
#include "support/source.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ts::testing {

enum class Shape {
  kUniform,
  kFewDistinct,
  kSorted,
  kReversed,
  kAllEqual,
  kSignedZeros,
  kOrganPipe,
  kAwkward
};

inline constexpr Shape kAllShapes[] = {Shape::kUniform,   Shape::kFewDistinct, Shape::kSorted,
                                       Shape::kReversed,  Shape::kAllEqual,    Shape::kSignedZeros,
                                       Shape::kOrganPipe, Shape::kAwkward};

// Letters and '_' only: a shape's name is part of golden case names and of
// test parameter names.
inline std::string shape_name(Shape s) {
  static const char *const names[] = {"uniform",   "few_distinct", "sorted",     "reversed",
                                      "all_equal", "signed_zeros", "organ_pipe", "awkward"};
  return names[static_cast<int>(s)];
}

// n values of the shape.
inline std::vector<float> shaped(Shape shape, std::size_t n, std::uint64_t seed) {
  Source src(seed);
  std::vector<float> v(n);
  float rising = -static_cast<float>(n) * 0.25f;
  for (std::size_t i = 0; i < n; ++i) {
    float x = 0.0f;
    switch (shape) {
      case Shape::kUniform:
        x = src.in(-1000.0f, 1000.0f);
        break;
      case Shape::kFewDistinct:
        x = static_cast<float>(static_cast<int>(src.below(7)) - 3) * 0.5f;
        break;
      case Shape::kSorted:
      case Shape::kReversed:
        // Steps of 0, 0.25 or 0.5: ascending with runs of ties.
        rising += 0.25f * static_cast<float>(src.below(3));
        x = rising;
        break;
      case Shape::kAllEqual:
        x = 7.25f;
        break;
      case Shape::kSignedZeros: {
        const unsigned long k = src.below(3);
        x = k == 0 ? -0.0f : k == 1 ? 0.0f : 1.0f;
        break;
      }
      case Shape::kOrganPipe:
        x = static_cast<float>(i < n / 2 ? i : n - 1 - i);
        break;
      case Shape::kAwkward:
        x = src.awkward();
        break;
    }
    v[i] = x;
  }
  if (shape == Shape::kReversed) std::reverse(v.begin(), v.end());
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
