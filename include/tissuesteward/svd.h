// SPDX-License-Identifier: MIT
// Singular value decomposition A = U·diag(w)·Vᵀ and what is built on it:
// least-squares solving, parameter covariance and the pseudo-inverse.
//
// Everything is single precision. svdcmp, svbksb and svdvar are one-based
// (indices 1..m, 1..n; element 0 is never touched); getInverseMatrixUsingSVD
// takes and returns zero-based n × n matrices.
//
// Not thread-safe: svdcmp records non-convergence in one process-wide flag,
// which getInverseMatrixUsingSVD reads right after its own decomposition.
// Calls of either must be serialised by the caller.
#ifndef TISSUESTEWARD_SVD_H
#define TISSUESTEWARD_SVD_H

#include "tissuesteward/export.h"

// √(a² + b²) without squaring the larger magnitude, so it neither overflows
// nor underflows before the result does. pythag(0, 0) = 0. Fails: never.
TS_API float pythag(float a, float b);

// Factors the m × n matrix a[1..m][1..n] in place as U·diag(w)·Vᵀ
// (Householder bidiagonalisation, then implicit-shift QR sweeps).
//   a  overwritten with U (m × n): orthonormal columns when m >= n,
//      orthonormal rows when m < n.
//   w  written with the n singular values, w[1..n], NOT sorted; column j of
//      U and of V belongs to w[j]. When m < n at least n - m are 0 or tiny.
//   v  written with V itself (not Vᵀ), v[1..n][1..n]; not read.
// An entry counts as zero when its magnitude is below 1e-6, an absolute
// tolerance: a matrix whose entries are all far below 1e-6 is left at its
// bidiagonal form, and w then holds the magnitudes of its diagonal.
// Each singular value gets at most 100 QR sweeps; one that needs its 100th
// marks the call as not converged (seen only by getInverseMatrixUsingSVD)
// and may be left negative and inaccurate. Allocates one n-element work
// vector: fatal "allocation failure in vector()" if that fails.
// Expects m >= 1 and n >= 1; nothing is validated.
TS_API void svdcmp(float **a, int m, int n, float w[], float **v);

// Least-squares solution x[1..n] of A·x = b for A = U·diag(w)·Vᵀ as left by
// svdcmp (u[1..m][1..n], w[1..n], v[1..n][1..n]) and b[1..m]:
// x = V·diag(1/w)·Uᵀ·b, where a w[j] of exactly 0 drops its component (zero
// small values first for a minimum-norm solution). Reads b only before
// writing x, so x may be the same array as b. Allocates one work vector:
// fatal "allocation failure in vector()" if that fails.
TS_API void svbksb(float **u, float w[], float **v, int m, int n, float b[], float x[]);

// Covariance of p fitted parameters, cvm[1..p][1..p] = V·diag(1/w²)·Vᵀ,
// from v[1..p][1..p] and w[1..p]; a w[i] of exactly 0 contributes nothing.
// Every element of cvm[1..p][1..p] is written; the result is exactly
// symmetric. Allocates one work vector: fatal as for svbksb.
TS_API void svdvar(float **v, int p, float w[], float **cvm);

// r[0..n-1][0..n-1] = pseudo-inverse of the zero-based a[0..n-1][0..n-1],
// V·diag(w⁺)·Uᵀ, where singular values below 1e-6 times the largest (and
// every zero one) are dropped. A decomposition that did not converge is used
// all the same, its unconverged values taken by magnitude with their
// columns of V turned to match. a is only read before r is written, so
// r may be a (inversion in place). The zero matrix gives the zero matrix.
// Returns 1, always. Allocates five n × n matrices and two vectors;
// fatal "allocation failure 1|2 in matrix()" or "allocation failure in
// vector()" if any of them fails.
TS_API int getInverseMatrixUsingSVD(float **a, float **r, int n);

#endif
