// SPDX-License-Identifier: MIT
// FFTW peers for the FFT benchmarks: in-place single-precision plans made on
// first use (plan time is never measured), and the wisdom file that spares
// FFTW_MEASURE its planning on later runs.
#ifndef TS_BENCH_FFTW_SUPPORT_H
#define TS_BENCH_FFTW_SUPPORT_H

#include <fftw3.h>

#include "bench_support.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <vector>

namespace bench {

inline const char *const kPlanKinds[] = {"FFTW estimate", "FFTW measure"};
inline unsigned plan_flags(int kind) { return kind == 0 ? FFTW_ESTIMATE : FFTW_MEASURE; }

// One aligned buffer of `count` floats and an in-place plan over it.
class FftwInPlace {
 public:
  using Planner = std::function<fftwf_plan(float *buffer)>;
  FftwInPlace(std::size_t count, Planner planner) : count_(count), planner_(std::move(planner)) {}
  ~FftwInPlace() {
    if (plan_) fftwf_destroy_plan(plan_);
    if (buffer_) fftwf_free(buffer_);
  }
  FftwInPlace(const FftwInPlace &) = delete;
  FftwInPlace &operator=(const FftwInPlace &) = delete;

  // Plans on first use; FFTW_MEASURE overwrites the buffer while planning.
  void restore(const float *from, std::size_t n) {
    if (!plan_) {
      buffer_ = static_cast<float *>(fftwf_malloc(count_ * sizeof(float)));
      plan_ = planner_(buffer_);
    }
    std::memcpy(buffer_, from, n * sizeof(float));
  }
  void execute() { fftwf_execute(plan_); }

 private:
  std::size_t count_;
  Planner planner_;
  float *buffer_ = nullptr;
  fftwf_plan plan_ = nullptr;
};

// main() of the FFT benchmark executables: imports the wisdom named by
// TS_FFTW_WISDOM (if set and present), runs, and saves the wisdom back.
inline int run_with_wisdom(int argc, char **argv) {
  const char *wisdom = std::getenv("TS_FFTW_WISDOM");
  if (wisdom) fftwf_import_wisdom_from_filename(wisdom);
  int status = run_registered(argc, argv);
  if (wisdom) fftwf_export_wisdom_to_filename(wisdom);
  return status;
}

}  // namespace bench

#endif
