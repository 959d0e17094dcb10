// SPDX-License-Identifier: MIT
// Gauss-Jordan elimination with full pivoting, and the re-ordering of a packed
// covariance matrix into full parameter order. Single precision, 1-based.
#ifndef TISSUESTEWARD_LINSOLVE_H
#define TISSUESTEWARD_LINSOLVE_H

#include "tissuesteward/export.h"

// Solves a·x = b for the m columns of b[1..n][1..m] and inverts a[1..n][1..n],
// both in place: on return a holds a⁻¹ and each column of b its solution.
// Full pivoting; among candidates of equal magnitude the one visited last
// (highest row, then highest column) is taken. Rows are exchanged element by
// element, so the row pointers of a and b are never permuted. With m <= 0 the
// matrix b is never touched and may be null. Scratch: three ivector(1, n).
// Fatal (exit 1): "gaussj: Singular Matrix-2" when a chosen pivot is exactly
// 0.0 (e.g. a zero row or column); "gaussj: Singular Matrix-1" when a pass
// finds no pivot candidate at all (every remaining candidate is NaN).
TS_API void gaussj(float **a, int n, float **b, int m);

// Spreads the covariance of the mfit fitted parameters, packed into the
// leading mfit×mfit block of covar[1..ma][1..ma] in list order, back into
// full order: rows and columns of held parameters (ia[j] == 0) become 0.0.
// In place, no scratch. Fatal (exit 1) when the number of non-zero flags in
// ia[1..ma] differs from mfit: "covsrt: mfit=<mfit> but <k> of <ma> flags are
// set".
TS_API void covsrt(float **covar, int ma, int ia[], int mfit);

#endif
