// SPDX-License-Identifier: MIT
// Sorting: sort, sort2 and hpsort against std::sort on uniform floats
// (hpsort also against std::make_heap + std::sort_heap, the same method);
// sort and hpsort also on sorted, reverse-sorted, few-distinct and sawtooth
// inputs.
#include "bench_support.h"
#include "cases.h"
#include "sort_routines.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

namespace {

// The uniform input reshaped: "sorted", "reversed", "16 values" (each value
// one of 16) or "sawtooth" (ascending runs of 1000), cached like the input.
const std::vector<float> &shaped_floats(const std::string &shape, std::size_t n) {
  static std::map<std::pair<std::string, std::size_t>, std::vector<float>> cache;
  auto found = cache.find({shape, n});
  if (found != cache.end()) return found->second;
  std::vector<float> v = bench::uniform_floats(n, bench::cases::kSortSeed);
  if (shape == "sorted") std::sort(v.begin(), v.end());
  if (shape == "reversed") std::sort(v.begin(), v.end(), std::greater<float>());
  if (shape == "16 values")
    for (float &x : v) x = static_cast<float>(static_cast<int>((x + 1.0f) * 8.0f));
  if (shape == "sawtooth")
    for (std::size_t run = 0; run < n; run += 1000)
      std::sort(v.begin() + run, v.begin() + std::min(n, run + 1000));
  return cache.emplace(std::make_pair(shape, n), std::move(v)).first->second;
}

bench::Effort effort_for(std::size_t n) { return n >= 10000000 ? bench::heavy(3) : bench::kLight; }

struct KeyAndCompanion {
  float key;
  float companion;
};

using SingleArraySort = void (*)(unsigned long, float *);

void register_single_array(const std::string &name, std::size_t n, SingleArraySort ours_sort,
                           const std::string &shape = "") {
  const std::string label = name + (shape.empty() ? "" : " " + shape) + " " + bench::size_label(n);
  const std::vector<float> &input =
      shape.empty() ? bench::uniform_floats(n, bench::cases::kSortSeed) : shaped_floats(shape, n);
  auto ours = std::make_shared<ts::testing::Vec>(n);
  bench::register_in_place(
      label, bench::kOurs, effort_for(n), [ours, &input] { ours->assign(input); },
      [ours, n, ours_sort] { ours_sort(n, ours->p()); });
  auto peer = std::make_shared<std::vector<float>>(n);
  bench::register_in_place(
      label, "std::sort", effort_for(n), [peer, &input] { *peer = input; },
      [peer] { std::sort(peer->begin(), peer->end()); });
  if (name == "hpsort" && shape.empty()) {
    bench::register_in_place(
        label, "std::sort_heap", effort_for(n), [peer, &input] { *peer = input; },
        [peer] {
          std::make_heap(peer->begin(), peer->end());
          std::sort_heap(peer->begin(), peer->end());
        });
  }
}

void register_sort2(std::size_t n) {
  const std::string label = "sort2 " + bench::size_label(n);
  const std::vector<float> &keys = bench::uniform_floats(n, bench::cases::kSortSeed);
  const std::vector<float> &companions = bench::uniform_floats(n, bench::cases::kCompanionSeed);
  auto arr = std::make_shared<ts::testing::Vec>(n);
  auto brr = std::make_shared<ts::testing::Vec>(n);
  bench::register_in_place(
      label, bench::kOurs, effort_for(n),
      [arr, brr, &keys, &companions] {
        arr->assign(keys);
        brr->assign(companions);
      },
      [arr, brr, n] { sort2(n, arr->p(), brr->p()); });
  auto pairs = std::make_shared<std::vector<KeyAndCompanion>>(n);
  bench::register_in_place(
      label, "std::sort", effort_for(n),
      [pairs, &keys, &companions] {
        for (std::size_t i = 0; i < keys.size(); ++i) (*pairs)[i] = {keys[i], companions[i]};
      },
      [pairs] {
        std::sort(pairs->begin(), pairs->end(),
                  [](const KeyAndCompanion &a, const KeyAndCompanion &b) { return a.key < b.key; });
      });
}

}  // namespace

int main(int argc, char **argv) {
  for (std::size_t n : bench::cases::kSortSizes) register_single_array("sort", n, sort);
  for (std::size_t n : bench::cases::kSortSizes) register_sort2(n);
  for (std::size_t n : bench::cases::kSortSizes) register_single_array("hpsort", n, hpsort);
  for (const char *shape : {"sorted", "reversed", "16 values", "sawtooth"})
    for (std::size_t n : bench::cases::kSortSizes)
      if (n >= 1000000) {
        register_single_array("sort", n, sort, shape);
        register_single_array("hpsort", n, hpsort, shape);
      }
  return bench::run_registered(argc, argv);
}
