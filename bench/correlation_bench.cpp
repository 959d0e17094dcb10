// SPDX-License-Identifier: MIT
// Spearman's rank correlation of 10^6 tied pairs against the std::sort-based
// computation in double of rank_correlation.h.
#include "bench_support.h"
#include "cases.h"
#include "correlation_routines.h"
#include "rank_correlation.h"

#include <memory>

namespace {

constexpr std::size_t kCount = bench::cases::kSelectCount;

void register_spear() {
  const std::string label = "spear " + bench::size_label(kCount);
  auto data = std::make_shared<std::pair<std::vector<float>, std::vector<float>>>(
      bench::correlated_pair(kCount, bench::cases::kSpearSeed));
  // spear copies its inputs and leaves them alone: nothing to restore.
  auto x = std::make_shared<ts::testing::Vec>(kCount);
  auto y = std::make_shared<ts::testing::Vec>(kCount);
  x->assign(data->first);
  y->assign(data->second);
  bench::register_in_place(
      label, bench::kOurs, bench::kLight, [] {},
      [x, y] {
        float d = 0, zd = 0, probd = 0, rs = 0, probrs = 0;
        spear(x->p(), y->p(), kCount, &d, &zd, &probd, &rs, &probrs);
        benchmark::DoNotOptimize(rs);
      });
  bench::register_in_place(
      label, "std::sort ranks, double", bench::kLight, [] {},
      [data] {
        bench::Spearman s = bench::spearman_in_double(data->first, data->second);
        benchmark::DoNotOptimize(s.rs);
      });
}

}  // namespace

int main(int argc, char **argv) {
  register_spear();
  return bench::run_registered(argc, argv);
}
