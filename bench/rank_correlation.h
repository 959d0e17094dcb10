// SPDX-License-Identifier: MIT
// Spearman's rank correlation the plain way: ranks through std::sort of an
// index permutation, every statistic in double. The timing peer of spear and
// the truth of its accuracy row.
#ifndef TS_BENCH_RANK_CORRELATION_H
#define TS_BENCH_RANK_CORRELATION_H

#include "tie_inputs.h"

#include <numeric>

namespace bench {

struct Spearman {
  double d, zd, probd, rs;
};

// 1-based mid-ranks of values[0..n-1] in their own order; returns the tie sum.
inline double ranks_of(const std::vector<float> &values, std::vector<double> &ranks,
                       std::vector<std::size_t> &order) {
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(),
            [&values](std::size_t a, std::size_t b) { return values[a] < values[b]; });
  double ties = 0.0;
  for (std::size_t run = 0; run < order.size();) {
    std::size_t end = run + 1;
    while (end < order.size() && values[order[end]] == values[order[run]]) ++end;
    double t = static_cast<double>(end - run);
    double rank = static_cast<double>(run) + 1.0 + (t - 1.0) / 2.0;
    for (std::size_t i = run; i < end; ++i) ranks[order[i]] = rank;
    ties += t * t * t - t;
    run = end;
  }
  return ties;
}

inline Spearman spearman_in_double(const std::vector<float> &x, const std::vector<float> &y) {
  const std::size_t n = x.size();
  std::vector<double> rx(n), ry(n);
  std::vector<std::size_t> order(n);
  double sf = ranks_of(x, rx, order);
  double sg = ranks_of(y, ry, order);
  double d = 0.0;
  for (std::size_t i = 0; i < n; ++i) d += (rx[i] - ry[i]) * (rx[i] - ry[i]);
  double en = static_cast<double>(n);
  double en3n = en * en * en - en;
  double fac = (1.0 - sf / en3n) * (1.0 - sg / en3n);
  double vard = (en - 1.0) * en * en * (en + 1.0) * (en + 1.0) / 36.0 * fac;
  double aved = en3n / 6.0 - (sf + sg) / 12.0;
  double zd = (d - aved) / std::sqrt(vard);
  double probd = std::erfc(std::fabs(zd) / std::sqrt(2.0));
  double rs = (1.0 - (6.0 / en3n) * (d + (sf + sg) / 12.0)) / std::sqrt(fac);
  return {d, zd, probd, rs};
}

// x gridded as in tie_inputs.h and y = x plus uniform noise of about the same
// spread, gridded too: ties in both and a rank correlation near 0.5.
inline std::pair<std::vector<float>, std::vector<float>> correlated_pair(std::size_t n,
                                                                         std::uint32_t seed) {
  std::vector<float> x = gridded(n, seed);
  const std::vector<float> &noise = uniform_floats(n, seed + 1, -24.0f, 24.0f);
  std::vector<float> y(n);
  for (std::size_t i = 0; i < n; ++i) y[i] = std::floor((x[i] + noise[i]) * 4096.0f) / 4096.0f;
  return {std::move(x), std::move(y)};
}

}  // namespace bench

#endif
