// SPDX-License-Identifier: MIT
// Named rounding steps for the bit-exact kernels.
//
// Every result of the toolkit is defined as the rounding of stated single and
// double precision steps. Writing those steps through these helpers keeps each
// one visible: `t = to_float(widen(a) * widen(b)); // product in double, kept
// as float`. The library is compiled with -ffp-contract=off, so none of these
// expressions is fused into a multiply-add.
#ifndef TISSUESTEWARD_DETAIL_ROUNDING_H
#define TISSUESTEWARD_DETAIL_ROUNDING_H

#include <cmath>
#include <type_traits>

#include "toolkit/detail/elementary.h"

namespace ts::detail {

// A double rounded to the nearest float.
constexpr float to_float(double x) { return static_cast<float>(x); }
// A float carried exactly into double precision.
constexpr double widen(float x) { return static_cast<double>(x); }
// An integer (a count, a position, a generator's state) converted straight
// from its own type to float (rounded above 2^24) or to double (exact up to
// 2^53), never through the other or through another integer type.
template <class Integer>
constexpr float count_f(Integer n) {
  static_assert(std::is_integral_v<Integer>, "count_f converts integers");
  return static_cast<float>(n);
}
template <class Integer>
constexpr double count_d(Integer n) {
  static_assert(std::is_integral_v<Integer>, "count_d converts integers");
  return static_cast<double>(n);
}

// Single precision steps. e^x is the toolkit's own, correctly rounded; the
// square root and absolute value are exact IEEE operations on any platform.
inline float exp_f(float x) { return rounded_expf(x); }
inline float sqrt_f(float x) { return std::sqrt(x); }
inline float fabs_f(float x) { return std::fabs(x); }

// Double precision steps. e^x and ln x are the toolkit's own, correctly
// rounded (the FFT takes its sins from exact tables).
inline double exp_d(double x) { return rounded_exp(x); }
inline double log_d(double x) { return rounded_log(x); }
inline double sqrt_d(double x) { return std::sqrt(x); }
inline double fabs_d(double x) { return std::fabs(x); }

}  // namespace ts::detail

#endif
