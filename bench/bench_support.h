// SPDX-License-Identifier: MIT
// What every benchmark executable shares: case naming, effort and the timing
// of routines that work in place (inputs come from inputs.h).
//
// A case is registered once per implementation under the name
// "<case> @ <implementation>", the implementation "ours" being the toolkit.
// bench/report.py pairs each peer with "ours" of the same case; the time it
// reads is real_time (for in-place routines the manual time of the call
// alone, see register_in_place).
#ifndef TS_BENCH_SUPPORT_H
#define TS_BENCH_SUPPORT_H

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <string>

#include "inputs.h"

namespace bench {

inline constexpr const char *kOurs = "ours";

inline std::string case_name(const std::string &label, const std::string &impl) {
  return label + " @ " + impl;
}

// How long and how often a case runs. Heavy cases (10^7 elements, 256^3-class
// volumes, 512x512 decompositions) run a fixed small number of iterations
// once; the rest get half a second and five repetitions (median reported),
// which keeps the whole suite within about ten minutes on two cores.
struct Effort {
  int iterations = 0;  // 0: let the framework choose within min_time
  double min_time = 0.5;
  int repetitions = 5;
};
inline constexpr Effort kLight{};
inline Effort heavy(int iterations) { return Effort{iterations, 0.0, 1}; }

// TS_BENCH_QUICK=1 (bench/run.sh --quick) shrinks every case to a smoke run:
// per-case settings take precedence over --benchmark_min_time and friends.
inline Effort effective(Effort effort) {
  const char *quick = std::getenv("TS_BENCH_QUICK");
  if (quick == nullptr || std::string(quick) != "1") return effort;
  return effort.iterations > 0 ? Effort{1, 0.0, 1} : Effort{0, 0.01, 1};
}

inline benchmark::internal::Benchmark *configure(benchmark::internal::Benchmark *b, Effort effort,
                                                 bool manual_time) {
  effort = effective(effort);
  b->Unit(benchmark::kMicrosecond);
  if (manual_time) b->UseManualTime();
  if (effort.iterations > 0) {
    b->Iterations(effort.iterations);
  } else {
    b->MinTime(effort.min_time);
  }
  if (effort.repetitions > 1) {
    b->Repetitions(effort.repetitions);
    b->ReportAggregatesOnly(true);
  }
  return b;
}

// Registers a case whose body restores its own input: `restore()` runs
// untimed before each timed `run()`.
template <class Restore, class Run>
void register_in_place(const std::string &label, const std::string &impl, const Effort &effort,
                       Restore restore, Run run) {
  auto body = [restore, run](benchmark::State &state) mutable {
    for (auto _ : state) {
      restore();
      auto start = std::chrono::steady_clock::now();
      run();
      benchmark::ClobberMemory();
      auto stop = std::chrono::steady_clock::now();
      state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
    }
  };
  configure(benchmark::RegisterBenchmark(case_name(label, impl).c_str(), body), effort, true);
}

// Registers a case timed by the framework's own loop (per-call costs).
template <class Body>
void register_loop(const std::string &label, const std::string &impl, const Effort &effort,
                   Body body) {
  configure(benchmark::RegisterBenchmark(case_name(label, impl).c_str(), body), effort, false);
}

// The body of every benchmark main() once its cases are registered.
inline int run_registered(int argc, char **argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace bench

#endif
