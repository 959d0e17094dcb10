// SPDX-License-Identifier: MIT
// Levenberg-Marquardt fitting of a non-linear model to data with individual
// standard deviations, with any subset of the parameters held fixed.
// 1-based, single precision. Fitted parameter k (in increasing index order
// among those with a non-zero flag) occupies position k of every packed
// quantity (gradient, curvature, step).
#ifndef TISSUESTEWARD_NLFIT_H
#define TISSUESTEWARD_NLFIT_H

#include "tissuesteward/export.h"

// Model callback: (x, a[1..ma], &y, dyda[1..ma], ma) stores the model value
// at x in y and its partial derivatives with respect to every parameter in
// dyda. No user-data argument.
using ts_model_fn = void (*)(float, float *, float *, float *, int);

// One damped step per call; the caller drives the iteration through *alamda:
//   *alamda < 0   start: allocate the fit's state, set lambda to 0.001, take
//                 one trial step from a[1..ma];
//   *alamda > 0   one trial step;
//   *alamda == 0  finish: covar[1..ma][1..ma] receives the full covariance
//                 (zero rows and columns for held parameters), state released.
// A trial whose chi-square is strictly lower than the current one is accepted
// (a, alpha and *chisq updated, lambda /= 10); otherwise it is rejected (a and
// alpha unchanged, *chisq reports the current chi-square, lambda *= 10).
// x, y, sig[1..ndata] are read only (sig non-zero). ia[1..ma] (non-zero =
// fitted) and ma must not change during a fit; covar is working storage of at
// least ma×ma; alpha (at least mfit×mfit) holds the packed curvature at the
// current parameters and must not be changed by the caller during a fit.
// The fit's state is process-wide: one fit at a time, from one thread.
// Fatal (exit 1): gaussj's singular-matrix reports; "mrqmin: called with
// alamda >= 0 before a start call (alamda < 0)" for a step or finish with no
// fit started. A start call while a fit is open releases the old fit first.
TS_API void mrqmin(float x[], float y[], float sig[], int ndata, float a[], int ia[], int ma,
                   float **covar, float **alpha, float *chisq, ts_model_fn funcs, float *alamda);

// Chi-square at a[1..ma], its gradient beta[1..mfit] and the curvature matrix
// alpha[1..mfit][1..mfit] (fully written, symmetric), packed over the fitted
// parameters. Scratch: one vector(1, ma). Fails: never (apart from allocation).
TS_API void mrqcof(float x[], float y[], float sig[], int ndata, float a[], int ia[], int ma,
                   float **alpha, float beta[], float *chisq, ts_model_fn funcs);

// Model callback for a sum of Gaussian peaks: a[1..na] holds triples
// (amplitude, centre, width); y = Σ amplitude·exp(-((x - centre)/width)²)
// and dyda[1..na] its derivatives. na must be a multiple of 3; a width of
// 0.0 gives non-finite values. Fails: never.
TS_API void fgauss(float x, float a[], float *y, float dyda[], int na);

#endif
