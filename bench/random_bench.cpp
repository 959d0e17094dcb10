// SPDX-License-Identifier: MIT
// Cost per draw of ran1 and gasdev against std::minstd_rand (the same
// multiplier and modulus, without the shuffle table) through the standard
// uniform and normal distributions.
#include "bench_support.h"
#include "random_routines.h"

#include <random>

namespace {

void register_ran1() {
  bench::register_loop("ran1", bench::kOurs, bench::kLight, [](benchmark::State &state) {
    long seed = -1;
    for (auto _ : state) benchmark::DoNotOptimize(ran1(&seed));
  });
  bench::register_loop("ran1", "std::minstd_rand uniform", bench::kLight,
                       [](benchmark::State &state) {
                         std::minstd_rand engine(1);
                         std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
                         for (auto _ : state) benchmark::DoNotOptimize(uniform(engine));
                       });
}

void register_gasdev() {
  bench::register_loop("gasdev", bench::kOurs, bench::kLight, [](benchmark::State &state) {
    long seed = -1;
    for (auto _ : state) benchmark::DoNotOptimize(gasdev(&seed));
  });
  bench::register_loop("gasdev", "std::minstd_rand normal", bench::kLight,
                       [](benchmark::State &state) {
                         std::minstd_rand engine(1);
                         std::normal_distribution<float> normal(0.0f, 1.0f);
                         for (auto _ : state) benchmark::DoNotOptimize(normal(engine));
                       });
}

}  // namespace

int main(int argc, char **argv) {
  register_ran1();
  register_gasdev();
  return bench::run_registered(argc, argv);
}
