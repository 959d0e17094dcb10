// SPDX-License-Identifier: MIT
// Sorting is exact: the result must equal std::sort's element for element
// (error 0), and sort2 must keep every key with its own companion.
#include "accuracy.h"
#include "cases.h"
#include "inputs.h"
#include "sort_routines.h"

#include <algorithm>
#include <utility>

namespace {

constexpr const char *kMetric = "max-norm difference from the sorted input";
constexpr const char *kTruth = "std::sort";

void single_array(bench::AccuracyReport &report, const char *name, std::size_t n,
                  void (*ours_sort)(unsigned long, float *)) {
  const std::vector<float> &input = bench::uniform_floats(n, bench::cases::kSortSeed);
  std::vector<float> truth(input);
  std::sort(truth.begin(), truth.end());
  ts::testing::Vec ours(n);
  ours.assign(input);
  ours_sort(n, ours.p());
  report.add({std::string(name) + " " + bench::size_label(n),
              kMetric,
              kTruth,
              bench::max_norm_error(ours.first(), truth),
              {}});
}

void companion_sort(bench::AccuracyReport &report, std::size_t n) {
  const std::vector<float> &keys = bench::uniform_floats(n, bench::cases::kSortSeed);
  const std::vector<float> &companions = bench::uniform_floats(n, bench::cases::kCompanionSeed);
  std::vector<std::pair<float, float>> truth(n);
  for (std::size_t i = 0; i < n; ++i) truth[i] = {keys[i], companions[i]};
  std::sort(truth.begin(), truth.end());

  ts::testing::Vec arr(n), brr(n);
  arr.assign(keys);
  brr.assign(companions);
  sort2(n, arr.p(), brr.p());
  std::vector<std::pair<float, float>> ours(n);
  for (std::size_t i = 0; i < n; ++i) ours[i] = {arr.first()[i], brr.first()[i]};

  std::vector<float> truth_keys(n), ours_keys(n);
  for (std::size_t i = 0; i < n; ++i) {
    truth_keys[i] = truth[i].first;
    ours_keys[i] = ours[i].first;
  }
  double error = bench::max_norm_error(ours_keys, truth_keys);
  // Equal keys may come in any order; the pairs as a whole must be the input's.
  std::sort(ours.begin(), ours.end());
  if (ours != truth) error = HUGE_VAL;
  report.add(
      {"sort2 " + bench::size_label(n), kMetric + std::string(", pairs kept"), kTruth, error, {}});
}

void run(bench::AccuracyReport &report) {
  for (std::size_t n : bench::cases::kSortSizes) single_array(report, "sort", n, sort);
  for (std::size_t n : bench::cases::kSortSizes) companion_sort(report, n);
  for (std::size_t n : bench::cases::kSortSizes) single_array(report, "hpsort", n, hpsort);
}

const bool registered = bench::register_accuracy_family("sort", run);

}  // namespace
