// SPDX-License-Identifier: MIT
// Pearson's r from whole arrays and from running sums, a running
// least-squares line, and Spearman's rank correlation.
//
// Whole-array routines read x[1..n] and y[1..n] (1-based, element 0 never
// touched) and never modify them. The running forms keep six single-
// precision accumulators owned by the caller, passed by reference in this
// order: count, sum of x, sum of y, Sxx, Syy, Sxy. Zero all six before the
// first point and pass the same six for every point of one series. Each
// deviation is taken from the running means after the point is added, so r
// and the slope follow the stream and in general differ from the whole-array
// values on the same pairs. Nothing here reports an error; a zero spread
// gives r = 0 (a slope of 0).
#ifndef TISSUESTEWARD_CORRELATION_H
#define TISSUESTEWARD_CORRELATION_H

#include "tissuesteward/export.h"

// *r = Pearson's r of x[1..n] and y[1..n], 0 when either is constant.
// prob and z are neither read nor written.
TS_API void pearsn(float x[], float y[], unsigned long n, float *r, float *prob, float *z);

// *r as pearsn (root and quotient in double, so it may differ in the last
// bit) and *prob = its two-sided significance,
// betai(df/2, 1/2, df/(df + t^2)) with t = r sqrt(df/((1-r)(1+r))) and
// df = n - 2; meaningful for n >= 3 (n = 2 gives NaN). z is not used.
TS_API void pearsn_prob(float x[], float y[], unsigned long n, float *r, float *prob, float *z);

// Adds the point (x, y) to the running sums and writes r of the series so far.
TS_API void pearsn_inc(float x, float y, float &n, float &sumx, float &sumy, float &sxx, float &syy,
                       float &sxy, float *r);

// Adds the point (x, y) to the running sums (as pearsn_inc) and writes the
// least-squares line y = *a + *b x of the series so far and *ay, the mean of
// y. Sxx = 0 (one point, or constant x) gives *b = 0 and *a = *ay.
TS_API void regr_inc(float x, float y, float &n, float &sumx, float &sumy, float &sxx, float &syy,
                     float &sxy, float *a, float *b, float *ay);

// Spearman's rank correlation of x[1..n] and y[1..n], n >= 2, ties given
// their mean rank. Always writes *d, the sum of squared rank differences.
// Then either *zd (d's deviation from its mean, in standard deviations),
// *probd (its two-sided normal significance) and *rs (the rank correlation),
// leaving *probrs alone; or, when either variable is constant, *rs = 0 and
// *probrs = 0, leaving *zd and *probd alone. Works on copies taken from
// vector(1, n). Fatal: "allocation failure in vector()".
TS_API void spear(float x[], float y[], unsigned long n, float *d, float *zd, float *probd,
                  float *rs, float *probrs);

#endif
