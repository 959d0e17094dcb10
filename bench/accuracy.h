// SPDX-License-Identifier: MIT
// The accuracy report: each family file measures the largest error of its
// routines against a higher-precision truth, in units of single-precision
// epsilon (FLT_EPSILON = 2^-23), and records one row per case. Where a
// single-precision peer computes the same thing its error is recorded beside
// ours, so conditioning shows up as a shared floor rather than as a fault.
#ifndef TS_BENCH_ACCURACY_H
#define TS_BENCH_ACCURACY_H

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

namespace bench {

struct PeerError {
  std::string peer;
  double error;  // in FLT_EPSILON
};

struct AccuracyRow {
  std::string label;   // case, same spelling as the benchmark where one exists
  std::string metric;  // what was compared and how the error is scaled
  std::string truth;   // where the reference values come from
  double ours;         // in FLT_EPSILON
  std::vector<PeerError> peers;
};

class AccuracyReport {
 public:
  void add(AccuracyRow row) { rows_.push_back(std::move(row)); }
  const std::vector<AccuracyRow> &rows() const { return rows_; }

 private:
  std::vector<AccuracyRow> rows_;
};

using AccuracyFamily = void (*)(AccuracyReport &);

// Called from a static initialiser in each <family>_accuracy.cpp; the
// executable holds only the families the toolkit already has.
bool register_accuracy_family(const char *name, AccuracyFamily run);

// max |got - truth| / max |truth|, in FLT_EPSILON (the array norm form).
template <class Got, class Truth>
double max_norm_error(const Got &got, const Truth &truth) {
  double worst = 0.0, scale = 0.0;
  for (std::size_t i = 0; i < truth.size(); ++i) {
    worst = std::max(worst, std::fabs(static_cast<double>(got[i]) - static_cast<double>(truth[i])));
    scale = std::max(scale, std::fabs(static_cast<double>(truth[i])));
  }
  if (scale == 0.0) return worst == 0.0 ? 0.0 : HUGE_VAL;
  return worst / scale / FLT_EPSILON;
}

// |got - truth| / |truth| in FLT_EPSILON; NaN or a wrong zero count as infinite.
inline double relative_error(long double got, long double truth) {
  if (std::isnan(got)) return HUGE_VAL;
  if (truth == 0.0L) return got == 0.0L ? 0.0 : HUGE_VAL;
  return static_cast<double>(std::fabs((got - truth) / truth) / FLT_EPSILON);
}

}  // namespace bench

#endif
