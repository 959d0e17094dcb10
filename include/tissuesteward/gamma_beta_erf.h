// SPDX-License-Identifier: MIT
// Log-gamma, the regularised incomplete gamma and beta functions and the
// complementary error function.
//
// Values are single precision except where a signature says double; the
// routines widen to double at fixed steps, so results are reproducible bit
// for bit. None keeps state between calls. Fatal reports go through nrerror
// (three lines on stderr, exit status 1). NaN arguments are never rejected:
// gammq, betai and erfcc pass them on as NaN; gser and gcf iterate on them
// until their convergence report.
#ifndef TISSUESTEWARD_GAMMA_BETA_ERF_H
#define TISSUESTEWARD_GAMMA_BETA_ERF_H

#include "tissuesteward/export.h"

// ln Γ(xx) for xx > 0 by a six-term Lanczos series, in double throughout
// (within 1e-12 of ln Γ, relative to max(1, |ln Γ|), on 1e-3..1e3). Not checked:
// xx <= 0 gives whatever the logarithms give.
TS_API double gammln(double xx);

// P(a, x), the regularised lower incomplete gamma function, by its series
// (meant for x < a + 1). Writes ln Γ(a) to *gln first, then P to *gamser;
// x = 0 gives P = 0. A tiny a whose 1/a overflows is summed scaled by a.
// Fatal: "x less than 0 in routine gser" (x < 0), "a too large, ITMAX too
// small in routine gser" (no convergence in 100 terms; *gamser unwritten).
TS_API void gser(float *gamser, float a, float x, float *gln);

// Q(a, x) = 1 - P(a, x) by its continued fraction (meant for x >= a + 1).
// Writes ln Γ(a) to *gln first, then Q to *gammcf.
// Fatal: "a too large, ITMAX too small in gcf" (no convergence in 100 steps).
TS_API void gcf(float *gammcf, float a, float x, float *gln);

// Q(a, x), the regularised upper incomplete gamma function, for a > 0 and
// x >= 0: the series below x = a + 1, the continued fraction from there on.
// A NaN argument gives NaN and x = +infinity gives 0, without iterating.
// The result is kept within [0, 1] (a tiny a can round P past 1).
// Fatal: "Invalid arguments in routine gammq" (x < 0 or a <= 0), or either
// convergence report above (a too large for 100 steps, around a >= 1000).
TS_API float gammq(float a, float x);

// The continued fraction of the incomplete beta function at (a, b, x), in
// double throughout, rounded to single on return. After 100 steps without
// convergence the current value is returned silently. Used by betai.
TS_API float betacf(double a, double b, double x);

// I_x(a, b), the regularised incomplete beta function, for a, b > 0.
// Never fatal: x outside [0, 1] returns 0; x = 0 gives 0 and x = 1 gives 1.
// The result is kept within [0, 1]; with shapes near 1e30 and beyond it has
// no accuracy left.
TS_API float betai(float a, float b, float x);

// erfc(x) = 1 - erf(x) by a fitted exponential-times-polynomial form
// (relative error below 1.2e-7 before rounding). erfcc(-x) is the float
// nearest 2 - erfcc(x). Fails: never.
TS_API float erfcc(float x);

#endif
