// SPDX-License-Identifier: MIT
// Seeded inputs shared by the benchmarks and the accuracy report. Scratch
// copies for the toolkit's routines are the tests' guarded cells
// (support/guarded.h), the numbers come from their seeded source.
#ifndef TS_BENCH_INPUTS_H
#define TS_BENCH_INPUTS_H

#include "support/guarded.h"
#include "support/source.h"

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace bench {

// Uniform values in [lo, hi), the same for every caller asking with the same
// arguments in one process (cached: ours and the peer see one input).
inline const std::vector<float> &uniform_floats(std::size_t count, std::uint32_t seed,
                                                float lo = -1.0f, float hi = 1.0f) {
  using Key = std::tuple<std::size_t, std::uint32_t, float, float>;
  static std::map<Key, std::vector<float>> cache;
  Key key{count, seed, lo, hi};
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  ts::testing::Source source(seed);
  std::vector<float> values(count);
  for (float &v : values) v = source.in(lo, hi);
  return cache.emplace(key, std::move(values)).first->second;
}

// "10^6" for powers of ten and "2^16" for powers of two from 1000 up, the
// plain number otherwise.
inline std::string size_label(std::size_t n) {
  if (n < 1000) return std::to_string(n);
  int e = 0;
  std::size_t m = n;
  while (m % 10 == 0) {
    m /= 10;
    ++e;
  }
  if (m == 1) return "10^" + std::to_string(e);
  if ((n & (n - 1)) == 0) {
    e = 0;
    while ((std::size_t{1} << e) != n) ++e;
    return "2^" + std::to_string(e);
  }
  return std::to_string(n);
}

}  // namespace bench

#endif
