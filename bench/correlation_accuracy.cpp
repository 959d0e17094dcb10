// SPDX-License-Identifier: MIT
// spear on 10^6 tied pairs against the same statistics in double.
#include "accuracy.h"
#include "cases.h"
#include "correlation_routines.h"
#include "rank_correlation.h"

namespace {

constexpr std::size_t kCount = bench::cases::kSelectCount;

void run(bench::AccuracyReport &report) {
  auto [xs, ys] = bench::correlated_pair(kCount, bench::cases::kSpearSeed);
  bench::Spearman truth = bench::spearman_in_double(xs, ys);
  ts::testing::Vec x(kCount), y(kCount);
  x.assign(xs);
  y.assign(ys);
  float d = 0, zd = 0, probd = 0, rs = 0, probrs = 0;
  spear(x.p(), y.p(), kCount, &d, &zd, &probd, &rs, &probrs);
  const std::string label = "spear " + bench::size_label(kCount);
  const char *kTruth = "std::sort ranks, double";
  report.add({label + " rs",
              "absolute error of rs (|rs| <= 1)",
              kTruth,
              std::fabs(rs - truth.rs) / FLT_EPSILON,
              {}});
  report.add({label + " d",
              "relative error of the squared rank differences",
              kTruth,
              bench::relative_error(d, truth.d),
              {}});
  report.add(
      {label + " zd", "relative error of zd", kTruth, bench::relative_error(zd, truth.zd), {}});
}

const bool registered = bench::register_accuracy_family("correlation", run);

}  // namespace
