// SPDX-License-Identifier: MIT
// Selection is exact; ranks are exact below 2^24 elements; the tie sum is
// accumulated in single precision and compared with its double value.
#include "accuracy.h"
#include "cases.h"
#include "select_routines.h"
#include "tie_inputs.h"

#include <algorithm>

namespace {

constexpr std::size_t kCount = bench::cases::kSelectCount;

void select_accuracy(bench::AccuracyReport &report) {
  const std::vector<float> &input = bench::uniform_floats(kCount, bench::cases::kSelectSeed);
  const unsigned long k = kCount / 2;
  std::vector<float> truth(input);
  std::nth_element(truth.begin(), truth.begin() + (k - 1), truth.end());
  ts::testing::Vec ours(kCount);
  ours.assign(input);
  float got = select(k, kCount, ours.p());
  // The partition around position k is part of the result.
  const float *values = ours.first();
  bool partitioned = std::all_of(values, values + (k - 1), [got](float v) { return v <= got; }) &&
                     std::all_of(values + k, values + kCount, [got](float v) { return v >= got; });
  double error = partitioned ? bench::relative_error(got, truth[k - 1]) : HUGE_VAL;
  report.add({"select " + bench::size_label(kCount),
              "relative error of the median; infinite if not partitioned",
              "std::nth_element",
              error,
              {}});
}

void crank_accuracy(bench::AccuracyReport &report) {
  const std::vector<float> &input = bench::sorted_with_ties(kCount, bench::cases::kCrankSeed);
  std::vector<float> truth(input);
  double truth_ties = bench::mid_ranks(truth);
  ts::testing::Vec ours(kCount);
  ours.assign(input);
  float ties = 0.0f;
  crank(kCount, ours.p(), &ties);
  report.add({"crank " + bench::size_label(kCount),
              "max-norm error of the ranks",
              "mid-ranks in double",
              bench::max_norm_error(ours.first(), truth),
              {}});
  report.add({"crank " + bench::size_label(kCount) + " tie sum",
              "relative error of the sum of t^3 - t",
              "the same sum in double",
              bench::relative_error(ties, truth_ties),
              {}});
}

void run(bench::AccuracyReport &report) {
  select_accuracy(report);
  crank_accuracy(report);
}

const bool registered = bench::register_accuracy_family("select", run);

}  // namespace
