// SPDX-License-Identifier: MIT
// Log-gamma, incomplete gamma and beta functions, complementary error function.
//
// Single precision values with double precision steps at fixed places: each
// widening and rounding is written out through detail/rounding.h.
#include "tissuesteward/gamma_beta_erf.h"

#include "toolkit/detail/fatal.h"
#include "toolkit/detail/messages.h"
#include "toolkit/detail/rounding.h"

#include <cmath>

namespace {

using ts::detail::count_f;
using ts::detail::exp_d;
using ts::detail::fabs_d;
using ts::detail::fabs_f;
using ts::detail::log_d;
using ts::detail::to_float;
using ts::detail::widen;

// Lanczos series for ln Γ: shift, leading term, √(2π), coefficients. The
// √(2π) is the series' own decimal value, 1 ulp above the double nearest
// √(2π): ln Γ is defined with it, so a more precise one would change results.
constexpr double kLanczosShift = 5.5;
constexpr double kLanczosLead = 1.000000000190015;
constexpr double kSqrtTwoPiAsDefined = 2.5066282746310007;
constexpr double kLanczosCoefficients[6] = {76.18009172947146,    -86.50532032941678,
                                            24.01409824083091,    -1.231739572450155,
                                            0.001208650973866179, -5.395239384953e-06};

// Series and continued fractions share their limit and relative tolerance.
constexpr int kMaxIterations = 100;
constexpr double kTolerance = 3.0e-7;

// Continued-fraction denominators and numerators below this magnitude are
// replaced by it (Lentz's method), so no step divides by zero.
constexpr double kFloor = 1.0e-30;
// The incomplete gamma fraction keeps its terms in single precision: it
// replaces with the float nearest the floor and starts from its reciprocal.
constexpr float kFloorFloat = 1.0e-30f;
constexpr float kCeilingFloat = 1.0e30f;
static_assert(to_float(kFloor) == kFloorFloat, "float floor is the nearest float");
static_assert(to_float(1.0 / kFloor) == kCeilingFloat, "float ceiling likewise");

// erfc(z) ≈ t·exp(-z² - kErfcOffset + t·poly(t)), t = 1/(1 + z/2); the
// polynomial's coefficients from the constant term up to t⁸.
constexpr double kErfcOffset = 1.26551223;
constexpr double kErfcCoefficients[9] = {1.00002368,  0.37409196,  0.09678418,
                                         -0.18628806, 0.27886807,  -1.13520398,
                                         1.48851587,  -0.82215223, 0.17087277};

// exp(-x + a·ln x - ln Γ(a)), the common factor of both incomplete gamma
// forms, in double from the single precision a, x and stored ln Γ(a).
double gamma_prefactor(float a, float x, float gln) {
  return exp_d(-widen(x) + widen(a) * log_d(widen(x)) - widen(gln));
}

// P(a, x) for a tiny a, whose series in single precision overflows: a times
// the sum (1, x/(a+1), ...) in double, with the factor 1/a folded into the
// exponent beside the stored ln Γ(a); never above 1. False when the series
// does not settle within the same 100 terms.
bool scaled_lower_series(float a, float x, float gln, float &p) {
  const double ad = widen(a);
  const double xd = widen(x);
  double ap = ad;
  double del = 1.0;
  double sum = 1.0;
  for (int n = 1; n <= kMaxIterations; ++n) {
    ap += 1.0;
    del *= xd / ap;
    sum += del;
    if (fabs_d(del) < fabs_d(sum) * kTolerance) {
      const double value = sum * exp_d(-xd + ad * log_d(xd) - widen(gln) - log_d(ad));
      p = to_float(value < 1.0 ? value : 1.0);
      return true;
    }
  }
  return false;
}

// v clamped into [0, 1]; a NaN passes unchanged.
float probability_range(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }

// Keeps a continued-fraction term away from zero (whatever its sign).
double floored(double v) { return fabs_d(v) < kFloor ? kFloor : v; }
float floored(float v) { return fabs_d(widen(v)) < kFloor ? kFloorFloat : v; }

}  // namespace

double gammln(double xx) {
  const double t = xx + kLanczosShift;
  const double u = (xx + 0.5) * log_d(t);
  double series = kLanczosLead;
  double y = xx;
  for (double c : kLanczosCoefficients) {
    y += 1.0;
    series += c / y;
  }
  return log_d(kSqrtTwoPiAsDefined * series / xx) - (t - u);
}

void gser(float *gamser, float a, float x, float *gln) {
  *gln = to_float(gammln(widen(a)));
  if (x <= 0.0f) {
    if (x < 0.0f) ts::detail::fatal(ts::msg::kGserNegativeX);
    *gamser = 0.0f;
    return;
  }
  float ap = a;
  float del = 1.0f / a;
  float sum = del;
  for (int n = 1; n <= kMaxIterations && std::isfinite(sum); ++n) {
    ap += 1.0f;
    del *= x / ap;
    sum += del;
    if (widen(fabs_f(del)) < widen(fabs_f(sum)) * kTolerance) {
      *gamser = to_float(widen(sum) * gamma_prefactor(a, x, *gln));
      return;
    }
  }
  // A finite a so small that 1/a, or the sum that starts from it, overflows
  // single precision: the same series scaled by a, in double.
  if (std::isfinite(a) && std::isfinite(x) && !std::isfinite(sum) &&
      scaled_lower_series(a, x, *gln, *gamser))
    return;
  ts::detail::fatal(ts::msg::kGserNoConvergence);
}

void gcf(float *gammcf, float a, float x, float *gln) {
  *gln = to_float(gammln(widen(a)));
  float b = to_float(widen(x) + 1.0 - widen(a));
  float c = kCeilingFloat;
  float d = 1.0f / b;
  float h = d;
  bool converged = false;
  for (int i = 1; i <= kMaxIterations && !converged; ++i) {
    const float fi = count_f(i);
    const float an = -fi * (fi - a);
    b += 2.0f;
    d = floored(an * d + b);
    c = floored(b + an / c);
    d = 1.0f / d;
    const float del = d * c;
    h *= del;
    converged = fabs_d(widen(del) - 1.0) < kTolerance;
  }
  if (!converged) ts::detail::fatal(ts::msg::kGcfNoConvergence);
  *gammcf = to_float(gamma_prefactor(a, x, *gln) * widen(h));
}

float gammq(float a, float x) {
  if (x < 0.0f || a <= 0.0f) ts::detail::fatal(ts::msg::kGammqInvalidArguments);
  // Neither expansion converges on a NaN or at x = infinity; iterating would
  // end in a misleading convergence report. A NaN is passed on, and the
  // upper tail at infinity is 0.
  if (std::isnan(a) || std::isnan(x)) return a + x;
  if (std::isinf(x)) return 0.0f;
  float value;
  float gln;
  if (widen(x) < widen(a) + 1.0) {
    gser(&value, a, x, &gln);
    value = 1.0f - value;
  } else {
    gcf(&value, a, x, &gln);
  }
  // ln Γ(a) is stored in single precision, so for a tiny a the computed P
  // can pass 1 by a rounding; a probability stays within [0, 1].
  return probability_range(value);
}

float betacf(double a, double b, double x) {
  const double qab = a + b;
  const double qap = a + 1.0;
  const double qam = a - 1.0;
  double c = 1.0;
  double d = 1.0 / floored(1.0 - qab * x / qap);
  double h = d;
  for (int m = 1; m <= kMaxIterations; ++m) {
    const double dm = m;
    const double m2 = 2.0 * dm;
    double aa = (b - dm) * dm * x / ((qam + m2) * (a + m2));
    d = 1.0 / floored(1.0 + aa * d);
    c = floored(1.0 + aa / c);
    h = h * d * c;
    aa = -(a + dm) * (qab + dm) * x / ((a + m2) * (qap + m2));
    d = 1.0 / floored(1.0 + aa * d);
    c = floored(1.0 + aa / c);
    const double del = d * c;
    h *= del;
    if (fabs_d(del - 1.0) < kTolerance) break;
  }
  return to_float(h);
}

float betai(float a, float b, float x) {
  if (x < 0.0f || x > 1.0f) return 0.0f;
  const float ab_single = a + b;
  // Shapes whose single precision sum overflows are summed in double.
  const double ab = std::isfinite(ab_single) || !std::isfinite(a) || !std::isfinite(b)
                        ? widen(ab_single)
                        : widen(a) + widen(b);
  float bt = 0.0f;
  if (x != 0.0f && x != 1.0f) {
    const double wx = widen(x);
    bt = to_float(exp_d(gammln(ab) - gammln(widen(a)) - gammln(widen(b)) + widen(a) * log_d(wx) +
                        widen(b) * log_d(1.0 - wx)));
  }
  // Huge shapes cancel ln Γ terms of 1e30 and more, so bt can come out inf,
  // and a tiny shape leaves bt subnormal: what leaves [0, 1] is clamped.
  if (widen(x) < (widen(a) + 1.0) / (ab + 2.0))
    return probability_range(bt * betacf(widen(a), widen(b), widen(x)) / a);
  return probability_range(1.0f - bt * betacf(widen(b), widen(a), 1.0 - widen(x)) / b);
}

float erfcc(float x) {
  const float z = fabs_f(x);
  const float t = to_float(1.0 / (1.0 + 0.5 * widen(z)));
  const double wt = widen(t);
  double poly = kErfcCoefficients[8];
  for (int k = 7; k >= 0; --k) poly = kErfcCoefficients[k] + wt * poly;
  const float ans = to_float(wt * exp_d(widen(-z * z) - kErfcOffset + wt * poly));
  return x >= 0.0f ? ans : to_float(2.0 - widen(ans));
}
