// SPDX-License-Identifier: MIT
// Straight-line least-squares fit y = a + b x, in closed form.
#ifndef TISSUESTEWARD_LINEFIT_H
#define TISSUESTEWARD_LINEFIT_H

#include "tissuesteward/export.h"

// Fits y = a + b x to the points (x[i], y[i]), i = 1..ndata [1-based]; the
// slope comes from sums centred on the (weighted) mean abscissa. x, y and sig
// are only read; nothing is allocated.
//
// mwt != 0: weighted by 1/sig[i]², minimising chi-square. siga and sigb are
//   the standard uncertainties of a and b from sig alone; q is the chi-square
//   goodness of fit gammq((ndata - 2)/2, chi2/2).
// mwt == 0: every point counts alike and sig is never read (it may be null);
//   chi2 is the plain sum of squared residuals, q is 1, and siga and sigb are
//   scaled by the scatter about the line, √(chi2 / (ndata - 2)).
//
// Fatal: a weighted fit of fewer than three points ends the process with
// "Invalid arguments in routine gammq" (a, b, siga, sigb and chi2 written).
// Nothing else is reported: two points unweighted give non-finite siga and
// sigb; equal abscissae or a zero sig give non-finite outputs (q NaN).
TS_API void fit(float x[], float y[], int ndata, float sig[], int mwt, float *a, float *b,
                float *siga, float *sigb, float *chi2, float *q);

#endif
