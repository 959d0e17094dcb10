// SPDX-License-Identifier: MIT
// Quicksort, its companion-carrying form and heap sort over every input
// shape, from one element (and none) up to 10^5.
#include <string>

#include "golden.h"
#include "tissuesteward/sort.h"

namespace ts::testing {
namespace {

const unsigned long kSizes[] = {1, 2, 7, 8, 9, 100, 1000, 100000};

std::string case_name(Shape shape, unsigned long n) {
  return shape_name(shape) + "_" + std::to_string(n);
}

enum class Routine { kSort, kSort2, kHeap };

void run(Digest &d, Routine routine, Shape shape, unsigned long n, std::uint64_t seed) {
  Vec arr(1, static_cast<long>(n));
  arr.assign(shaped(shape, arr.size(), seed));
  switch (routine) {
    case Routine::kSort:
      sort(n, arr.p());
      break;
    case Routine::kHeap:
      hpsort(n, arr.p());
      break;
    case Routine::kSort2: {
      // Companions: the input positions, with NaN payloads and a signalling
      // NaN among them; they travel as bit patterns.
      Vec brr(1, static_cast<long>(n));
      for (unsigned long i = 1; i <= n; ++i)
        brr[static_cast<long>(i)] =
            i % 5 == 0   ? from_bits(0x7f800000u + static_cast<std::uint32_t>(i))
            : i % 7 == 0 ? from_bits(0xffc00000u + static_cast<std::uint32_t>(i))
                         : static_cast<float>(i);
      sort2(n, arr.p(), brr.p());
      brr.digest_bits(d);
      break;
    }
  }
  arr.digest(d);
}

const bool sort_cases = [] {
  const std::pair<const char *, Routine> routines[] = {
      {"sort", Routine::kSort}, {"sort2", Routine::kSort2}, {"hpsort", Routine::kHeap}};
  for (auto [name, routine] : routines) {
    for (Shape shape : kAllShapes)
      for (unsigned long n : kSizes)
        Register(name, case_name(shape, n),
                 [routine = routine, shape, n](Digest &d) { run(d, routine, shape, n, 700 + n); });
    Register(name, "empty",
             [routine = routine](Digest &d) { run(d, routine, Shape::kUniform, 0, 701); });
  }
  return true;
}();

}  // namespace
}  // namespace ts::testing
