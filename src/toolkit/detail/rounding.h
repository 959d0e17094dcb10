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

namespace ts::detail {

// A double rounded to the nearest float.
inline float to_float(double x) { return static_cast<float>(x); }
// A float carried exactly into double precision.
inline double widen(float x) { return static_cast<double>(x); }
// A count or position converted straight to float (rounded above 2^24) or to
// double, never through the other.
inline float count_f(unsigned long n) { return static_cast<float>(n); }
inline double count_d(unsigned long n) { return static_cast<double>(n); }

// Single precision library calls (expf, logf, sqrtf ...).
inline float exp_f(float x) { return std::exp(x); }
inline float log_f(float x) { return std::log(x); }
inline float sqrt_f(float x) { return std::sqrt(x); }
inline float fabs_f(float x) { return std::fabs(x); }
inline float sin_f(float x) { return std::sin(x); }
inline float cos_f(float x) { return std::cos(x); }
inline float pow_f(float x, float y) { return std::pow(x, y); }

// Double precision library calls (exp, log, sqrt ...).
inline double exp_d(double x) { return std::exp(x); }
inline double log_d(double x) { return std::log(x); }
inline double sqrt_d(double x) { return std::sqrt(x); }
inline double sin_d(double x) { return std::sin(x); }
inline double cos_d(double x) { return std::cos(x); }
inline double fabs_d(double x) { return std::fabs(x); }
inline double pow_d(double x, double y) { return std::pow(x, y); }

}  // namespace ts::detail

#endif
