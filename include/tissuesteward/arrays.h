// SPDX-License-Identifier: MIT
// Offset-indexed vectors, matrices and 3-D tensors.
//
// Every array has inclusive index bounds chosen by the caller (most often
// 1..n). A vector is one malloc block; the handle is that block's address
// minus lo elements, so handle[lo] is the first element. A matrix is a block
// of row pointers over one contiguous row-major element block, so
// &m[rlo][clo] can also be read as a flat array. A tensor adds a block of
// pointers per row and column over one contiguous element block.
//
// Ownership: whoever obtains a handle releases it with the release function
// of the same kind and the same bounds (only the lower bounds are read).
// Elements are never initialised. Allocators never return null: a failed
// request, or a size that is negative or does not fit 64-bit arithmetic,
// ends the process through nrerror (errors.h, included here) with the
// allocator's message.
#ifndef TISSUESTEWARD_ARRAYS_H
#define TISSUESTEWARD_ARRAYS_H

#include "tissuesteward/errors.h"
#include "tissuesteward/export.h"

// Vectors v[lo..hi]. Fails: "allocation failure in vector()" (ivector() ...).
TS_API float *vector(long nl, long nh);
TS_API int *ivector(long nl, long nh);
TS_API unsigned char *cvector(long nl, long nh);
TS_API unsigned long *lvector(long nl, long nh);
TS_API double *dvector(long nl, long nh);

// Matrices m[rlo..rhi][clo..chi], two blocks (row pointers, elements).
// Fails: "allocation failure 1 in matrix()" (row pointers) or
// "allocation failure 2 in matrix()" (elements); dmatrix and imatrix alike.
TS_API float **matrix(long nrl, long nrh, long ncl, long nch);
TS_API double **dmatrix(long nrl, long nrh, long ncl, long nch);
TS_API int **imatrix(long nrl, long nrh, long ncl, long nch);

// A view of a[oldrl..oldrh][oldcl..] as b[newrl..][newcl..]: only row
// pointers are allocated, writes through the view change a.
// Fails: "allocation failure in submatrix()".
TS_API float **submatrix(float **a, long oldrl, long oldrh, long oldcl, long oldch, long newrl,
                         long newcl);

// A row-pointer view m[rlo..rhi][clo..chi] of a caller's flat row-major
// array, which is neither read nor copied.
// Fails: "allocation failure in convert_matrix()".
TS_API float **convert_matrix(float *a, long nrl, long nrh, long ncl, long nch);

// Tensors t[rlo..rhi][clo..chi][dlo..dhi], three blocks, elements contiguous.
// Fails: "allocation failure 1|2|3 in f3tensor()" (c3tensor() likewise).
TS_API float ***f3tensor(long nrl, long nrh, long ncl, long nch, long ndl, long ndh);
TS_API unsigned char ***c3tensor(long nrl, long nrh, long ncl, long nch, long ndl, long ndh);

// Release functions: same handle, same bounds (upper bounds are ignored).
TS_API void free_vector(float *v, long nl, long nh);
TS_API void free_ivector(int *v, long nl, long nh);
TS_API void free_cvector(unsigned char *v, long nl, long nh);
TS_API void free_lvector(unsigned long *v, long nl, long nh);
TS_API void free_dvector(double *v, long nl, long nh);
TS_API void free_matrix(float **m, long nrl, long nrh, long ncl, long nch);
TS_API void free_dmatrix(double **m, long nrl, long nrh, long ncl, long nch);
TS_API void free_imatrix(int **m, long nrl, long nrh, long ncl, long nch);
// Releases the view's row pointers only; pass the view's own bounds.
TS_API void free_submatrix(float **b, long nrl, long nrh, long ncl, long nch);
TS_API void free_convert_matrix(float **b, long nrl, long nrh, long ncl, long nch);
TS_API void free_f3tensor(float ***t, long nrl, long nrh, long ncl, long nch, long ndl, long ndh);
TS_API void free_c3tensor(unsigned char ***t, long nrl, long nrh, long ncl, long nch, long ndl,
                          long ndh);

#endif
