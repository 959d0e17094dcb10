// SPDX-License-Identifier: MIT
// Dense matrix and vector products over zero-based row-pointer arrays.
//
// A matrix is any array of row pointers (`float**`): element (i, j) is
// a[i][j]. Offset-indexed matrices from arrays.h qualify. Every routine here
// is zero-based (indices 0..count-1) except copy_matrix, whose mode picks the
// base of each side. Counts of zero or less give empty loops.
//
// Arithmetic is single precision. Every sum starts at 0, adds its terms in
// ascending index order, and rounds each product to float before adding it
// (no fused multiply-add), so results are reproducible term by term.
//
// None of these routines allocates, checks its arguments or fails: the caller
// guarantees that every row and element of the stated ranges exists, and
// that outputs do not share storage with inputs unless stated otherwise.
#ifndef TISSUESTEWARD_PRODUCTS_H
#define TISSUESTEWARD_PRODUCTS_H

#include "tissuesteward/export.h"

// Z = A·B with A n × p, B p × m, Z n × m. Each Z[i][j] is written once, after
// its sum is complete; with p <= 0 it is 0. Z must not share storage with A or B.
TS_API void matrix_matrix_mult(float **a, float **b, float **z, int n, int p, int m);

// Z = A·Aᵀ (n × n) for A n × m: the dot products of A's rows. Only the lower
// triangle and diagonal are computed; the upper triangle is copied from it,
// so Z is exactly symmetric. Z must not share storage with A.
TS_API void transposematrix_matrix_mult(float **a, float **z, int n, int m);

// The same as transposematrix_matrix_mult(a, z, n, m). b, p and both flags
// are not read (b is not written); they are kept for the calling convention.
TS_API void fast_matrix_matrix_mult(float **a, float **b, float **z, int n, int p, int m,
                                    bool first_flag, bool second_flag);

// y = A·x for A n × m and x[0..m-1]; y[0..n-1] is used as the running sum
// (0 when m <= 0), so y must not share storage with x or A.
TS_API void matrix_vector_mult(float **a, float *x, float *y, int n, int m);

// Σ x[i]·y[i] over i = 0..n-1; 0 when n <= 0.
TS_API float vector_vector_mult(float *x, float *y, int n);

// B = Aᵀ: B[j][i] = A[i][j] for A n × m, B m × n. B must not share storage with A.
TS_API void matrix_transpose(float **a, float **b, int n, int m);

// A = diag(d)·A in place: row i of the n × m matrix A is scaled by d[i].
TS_API void diagmatrix_matrix_mult(float *d, float **a, int n, int m);

// Copies an n × m block bit for bit, rows then columns, ascending. Mode:
//   0  source[0..n-1][0..m-1] -> destination[0..n-1][0..m-1]
//   1  source[1..n][1..m]     -> destination[1..n][1..m]
//   2  source[0..n-1][0..m-1] -> destination[1..n][1..m]
//   3  source[1..n][1..m]     -> destination[0..n-1][0..m-1]
// Any other mode copies nothing.
TS_API void copy_matrix(float **source, float **destination, int n, int m, int mode);

#endif
