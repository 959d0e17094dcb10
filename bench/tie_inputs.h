// SPDX-License-Identifier: MIT
// Inputs with ties for the ranking cases, and the straightforward mid-rank
// computation the ranking routines are compared with.
#ifndef TS_BENCH_TIE_INPUTS_H
#define TS_BENCH_TIE_INPUTS_H

#include "inputs.h"

#include <algorithm>
#include <cmath>

namespace bench {

// Uniform values in [0, 32) on a grid of 1/4096: 10^6 of them fall on about
// 131000 grid points, so nearly every value is tied, in runs of 1 to about 20.
// Not sorted.
inline std::vector<float> gridded(std::size_t count, std::uint32_t seed) {
  std::vector<float> values = uniform_floats(count, seed, 0.0f, 4096.0f * 32.0f);
  for (float &v : values) v = std::floor(v) / 4096.0f;
  return values;
}

// The gridded values sorted ascending (cached like uniform_floats).
inline const std::vector<float> &sorted_with_ties(std::size_t count, std::uint32_t seed) {
  static std::map<std::pair<std::size_t, std::uint32_t>, std::vector<float>> cache;
  auto key = std::make_pair(count, seed);
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  std::vector<float> values = gridded(count, seed);
  std::sort(values.begin(), values.end());
  return cache.emplace(key, std::move(values)).first->second;
}

// Replaces sorted w[0..n-1] by its 1-based mid-ranks and returns the sum of
// t^3 - t over runs of t equal values, in double.
inline double mid_ranks(std::vector<float> &w) {
  double ties = 0.0;
  for (auto run = w.begin(); run != w.end();) {
    auto end = std::upper_bound(run, w.end(), *run);
    double first = static_cast<double>(run - w.begin()) + 1.0;
    double t = static_cast<double>(end - run);
    float rank = static_cast<float>(first + (t - 1.0) / 2.0);
    std::fill(run, end, rank);
    ties += t * t * t - t;
    run = end;
  }
  return ties;
}

}  // namespace bench

#endif
