// Sorting: sort, sort2 and hpsort against std::sort on uniform floats
// (hpsort also against std::make_heap + std::sort_heap, the same method).
#include "cases.h"
#include "bench_support.h"
#include "sort_routines.h"

#include <algorithm>
#include <memory>

namespace {


bench::Effort effort_for(std::size_t n) {
  return n >= 10000000 ? bench::heavy(2) : bench::kLight;
}

struct KeyAndCompanion {
  float key;
  float companion;
};

using SingleArraySort = void (*)(unsigned long, float *);

void register_single_array(const std::string &name, std::size_t n, SingleArraySort ours_sort) {
  const std::string label = name + " " + bench::size_label(n);
  const std::vector<float> &input = bench::uniform_floats(n, bench::cases::kSortSeed);
  auto ours = std::make_shared<bench::OneBased>(n);
  bench::register_in_place(
      label, bench::kOurs, effort_for(n), [ours, &input] { ours->restore(input); },
      [ours, n, ours_sort] { ours_sort(n, ours->one_based()); });
  auto peer = std::make_shared<std::vector<float>>(n);
  bench::register_in_place(
      label, "std::sort", effort_for(n), [peer, &input] { *peer = input; },
      [peer] { std::sort(peer->begin(), peer->end()); });
  if (name == "hpsort") {
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
  auto arr = std::make_shared<bench::OneBased>(n);
  auto brr = std::make_shared<bench::OneBased>(n);
  bench::register_in_place(
      label, bench::kOurs, effort_for(n),
      [arr, brr, &keys, &companions] {
        arr->restore(keys);
        brr->restore(companions);
      },
      [arr, brr, n] { sort2(n, arr->one_based(), brr->one_based()); });
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
  return bench::run_registered(argc, argv);
}
