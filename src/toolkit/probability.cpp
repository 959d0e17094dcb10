// SPDX-License-Identifier: MIT
// Statistic-to-probability conversions over betai, and their fixed searches.
#include "tissuesteward/probability.h"

#include "tissuesteward/gamma_beta_erf.h"
#include "toolkit/detail/rounding.h"

namespace {

using ts::detail::count_f;
using ts::detail::log_d;
using ts::detail::sqrt_d;
using ts::detail::to_float;
using ts::detail::widen;

// Every inverse makes exactly this many moves; the step halves on each turn.
constexpr int kSearchMoves = 25;
constexpr float kStepShrink = 0.5f;

// Keeps 1 - r and 1 + r off zero in r_to_p.
constexpr double kCorrelationGuard = 1.0e-20;

// p_to_z takes an input of exactly 1 as the float just below it.
constexpr float kBelowOne = 1.0f - 0x1p-23f;

// Walks v toward the statistic whose probability is p. The probability falls
// as the statistic grows, so a target above the current probability moves v
// down. The step is applied, then halved whenever the direction turns (a
// first move downward counts as a turn). Unordered comparisons (NaN) move up.
template <class Forward>
float search_statistic(float p, float start, float step, Forward forward) {
  float v = start;
  float s = step;
  bool last_move_up = true;
  for (int move = 0; move < kSearchMoves; ++move) {
    const float pc = forward(v);
    if (p > pc) {
      v -= s;
      if (last_move_up) s *= kStepShrink;
      last_move_up = false;
    } else {
      v += s;
      if (!last_move_up) s *= kStepShrink;
      last_move_up = true;
    }
  }
  return v;
}

}  // namespace

float t_to_p(float t, unsigned long df) {
  const float d = count_f(df);
  const float x = d / (t * t + d);
  return betai(0.5f * d, 0.5f, x);
}

float p_to_t(float p, unsigned long df) {
  return search_statistic(p, 4.0f, 2.0f, [df](float t) { return t_to_p(t, df); });
}

float F_to_p(float F, unsigned long df1, unsigned long df2) {
  if (F < 0.0f) return 0.0f;
  const float d1 = count_f(df1);
  const float d2 = count_f(df2);
  const float x = d2 / (F * d1 + d2);
  return betai(0.5f * d2, 0.5f * d1, x);  // first shape from the denominator
}

float p_to_F(float p, unsigned long df1, unsigned long df2) {
  return search_statistic(p, 10.0f, 2.0f, [df1, df2](float F) { return F_to_p(F, df1, df2); });
}

float r_to_p(float r, unsigned long n) {
  if (n < 2) return 1.0f;
  const float df = count_f(n - 2);
  if (r == 0.0f) return 1.0f;
  if (r == 1.0f) return 0.0f;
  const double wr = widen(r);
  const float t = to_float(
      wr * sqrt_d(widen(df) / ((1.0 - wr + kCorrelationGuard) * (1.0 + wr + kCorrelationGuard))));
  return betai(0.5f * df, 0.5f, df / (t * t + df));
}

float p_to_r(float p, unsigned long n) {
  return search_statistic(p, 0.4f, 0.2f, [n](float r) { return r_to_p(r, n); });
}

float p_to_z(float p) {
  const float q = p == 1.0f ? kBelowOne : p;
  const float x = 1.0f - q;
  const double s = widen(x * x);
  return to_float(sqrt_d(-2.0 * log_d(s) / s)) * x;
}
