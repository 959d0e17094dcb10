// SPDX-License-Identifier: MIT
// Selection and ranking: select against std::nth_element, crank against
// ranks found with std::upper_bound, on 10^6 values.
#include "bench_support.h"
#include "cases.h"
#include "select_routines.h"
#include "tie_inputs.h"

#include <algorithm>
#include <memory>

namespace {

constexpr std::size_t kCount = bench::cases::kSelectCount;

void register_select() {
  const std::string label = "select " + bench::size_label(kCount);
  const std::vector<float> &input = bench::uniform_floats(kCount, bench::cases::kSelectSeed);
  const unsigned long k = kCount / 2;
  auto ours = std::make_shared<ts::testing::Vec>(kCount);
  bench::register_in_place(
      label, bench::kOurs, bench::kLight, [ours, &input] { ours->assign(input); },
      [ours, k] { benchmark::DoNotOptimize(select(k, kCount, ours->p())); });
  auto peer = std::make_shared<std::vector<float>>(kCount);
  bench::register_in_place(
      label, "std::nth_element", bench::kLight, [peer, &input] { *peer = input; },
      [peer, k] {
        std::nth_element(peer->begin(), peer->begin() + (k - 1), peer->end());
        benchmark::DoNotOptimize((*peer)[k - 1]);
      });
}

void register_crank() {
  const std::string label = "crank " + bench::size_label(kCount);
  const std::vector<float> &input = bench::sorted_with_ties(kCount, bench::cases::kCrankSeed);
  auto ours = std::make_shared<ts::testing::Vec>(kCount);
  bench::register_in_place(
      label, bench::kOurs, bench::kLight, [ours, &input] { ours->assign(input); },
      [ours] {
        float ties = 0.0f;
        crank(kCount, ours->p(), &ties);
        benchmark::DoNotOptimize(ties);
      });
  auto peer = std::make_shared<std::vector<float>>(kCount);
  bench::register_in_place(
      label, "std::upper_bound ranks", bench::kLight, [peer, &input] { *peer = input; },
      [peer] { benchmark::DoNotOptimize(bench::mid_ranks(*peer)); });
}

}  // namespace

int main(int argc, char **argv) {
  register_select();
  register_crank();
  return bench::run_registered(argc, argv);
}
