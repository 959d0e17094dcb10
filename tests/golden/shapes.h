// SPDX-License-Identifier: MIT
// Input orders that stress partitioning and ranking: sorting, selection and
// the statistics built on them. Every shape is built directly, never by a
// library sort, so equal keys (and -0.0 against 0.0) sit where we put them.
#ifndef TISSUESTEWARD_TESTS_GOLDEN_SHAPES_H
#define TISSUESTEWARD_TESTS_GOLDEN_SHAPES_H

#include <string>
#include <utility>

#include "cells.h"

namespace golden {

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

inline std::string shape_name(Shape s) {
  static const char *const names[] = {"uniform",   "few_distinct", "sorted",     "reversed",
                                      "all_equal", "signed_zeros", "organ_pipe", "awkward"};
  return names[static_cast<int>(s)];
}

// Fills v[lo..hi] with the shape.
inline void fill_shape(Vec &v, Shape shape, std::uint64_t seed) {
  Source src(seed);
  const long lo = v.lo(), hi = v.hi(), n = hi - lo + 1;
  float rising = -static_cast<float>(n) * 0.25f;
  for (long i = lo; i <= hi; ++i) {
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
      case Shape::kOrganPipe: {
        const long half = (i - lo) < n / 2 ? (i - lo) : (n - 1 - (i - lo));
        x = static_cast<float>(half);
        break;
      }
      case Shape::kAwkward:
        x = src.awkward();
        break;
    }
    v[i] = x;
  }
  if (shape == Shape::kReversed)
    for (long i = lo, j = hi; i < j; ++i, --j) std::swap(v[i], v[j]);
}

}  // namespace golden

#endif
