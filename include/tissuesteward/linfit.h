// SPDX-License-Identifier: MIT
// Linear least squares by SVD: fits y(x) = Σ a[j]·X_j(x), j = 1..ma, to data
// with individual standard deviations, and a ready-made polynomial basis.
// One-based throughout.
#ifndef TISSUESTEWARD_LINFIT_H
#define TISSUESTEWARD_LINFIT_H

#include "tissuesteward/export.h"

// Basis callback: writes X_1(x)..X_ma(x) into p[1..ma]. Called twice per
// data point, and must give the same values both times.
using BasisFunctions = void (*)(float x, float p[], int ma);

// Minimises chi-square over the ndata points (x[i], y[i]) with standard
// deviations sig[i] (each non-zero), i = 1..ndata; all three are read only.
//   a    coefficients a[1..ma] (written).
//   u    u[1..ndata][1..ma] (written): the left factor U of the weighted
//        design matrix [X_j(x[i]) / sig[i]].
//   v    v[1..ma][1..ma] (written): its right factor V.
//   w    w[1..ma] (written): its singular values, those below 1e-5 times the
//        largest set to 0 (their combinations of basis functions get no
//        weight). v and w are what svdvar takes for the covariance.
//   chisq  receives Σ ((y[i] - fit(x[i])) / sig[i])².
// A decomposition that does not converge is used as it stands. Allocates two
// work vectors; fatal "allocation failure in vector()" if either fails.
// Not thread-safe (see svdcmp).
TS_API void svdfit(float x[], float y[], float sig[], int ndata, float a[], int ma, float **u,
                   float **v, float w[], float *chisq, BasisFunctions funcs);

// The polynomial basis 1, x, x², ...: p[1] = 1 and p[j] = p[j-1]·x for
// j = 2..np. Writes p[1] even when np < 1. Fails: never.
TS_API void fpoly(float x, float p[], int np);

#endif
