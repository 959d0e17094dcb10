// SPDX-License-Identifier: MIT
// Eigen-decomposition of a real symmetric matrix by cyclic Jacobi rotations,
// and the ordering of a decomposition by decreasing eigenvalue. 1-based.
#ifndef TISSUESTEWARD_EIGEN_H
#define TISSUESTEWARD_EIGEN_H

#include "tissuesteward/export.h"

// Eigenvalues d[1..n] (in no particular order) and normalised eigenvectors,
// as the columns of v[1..n][1..n], of the symmetric a[1..n][1..n]. Only the
// diagonal (read once) and the strict upper triangle of a are used; the upper
// triangle is destroyed (exactly 0.0 on return), the diagonal and the lower
// triangle are left alone. Every element of v is written. *nrot receives the
// number of plane rotations applied. Scratch: two vector(1, n).
// Fatal (exit 1): "Too many iterations in routine jacobi" when the upper
// triangle is not exactly zero after 50 sweeps (e.g. it holds a NaN).
TS_API void jacobi(float **a, int n, float d[], float **v, int *nrot);

// Sorts d[1..n] into decreasing order in place and exchanges the columns of
// v[1..n][1..n] along with it. Among equal values the later one is taken
// first; a NaN is never chosen nor moved. Fails: never.
TS_API void eigsrt(float d[], float **v, int n);

#endif
