// SPDX-License-Identifier: MIT
// Per-call cost of scalar functions: each benchmark iteration is one call, on
// arguments cycling through a fixed table of seeded points, so every
// implementation sees the same sequence of arguments.
#ifndef TS_BENCH_SCALAR_SUPPORT_H
#define TS_BENCH_SCALAR_SUPPORT_H

#include "bench_support.h"

#include <array>
#include <memory>

namespace bench {

inline constexpr std::size_t kArgumentTable = 1024;  // a power of two

// The table of argument tuples drawn by `draw(source)`.
template <class Args, class Draw>
std::shared_ptr<const std::vector<Args>> argument_table(std::uint32_t seed, Draw draw) {
  ts::testing::Source engine(seed);
  auto table = std::make_shared<std::vector<Args>>();
  table->reserve(kArgumentTable);
  for (std::size_t i = 0; i < kArgumentTable; ++i) table->push_back(draw(engine));
  return table;
}

// Registers `call(args)` as one per-call case.
template <class Args, class Call>
void register_per_call(const std::string &label, const std::string &impl,
                       std::shared_ptr<const std::vector<Args>> table, Call call) {
  register_loop(label, impl, kLight, [table, call](benchmark::State &state) {
    std::size_t i = 0;
    for (auto _ : state) {
      benchmark::DoNotOptimize(call((*table)[i]));
      i = (i + 1) & (kArgumentTable - 1);
    }
  });
}

}  // namespace bench

#endif
