// SPDX-License-Identifier: MIT
// Fast Fourier transforms of single-precision data, in place.
//
// Conventions shared by every routine here:
// - Arrays are 1-based; element 0 is never touched.
// - Complex values are interleaved: value m (from 0) has its real part at
//   data[2m + 1] and its imaginary part at data[2m + 2].
// - isign = +1 computes X(k) = sum_m x(m) exp(+2 pi i m k / N); isign = -1
//   uses exp(-2 pi i m k / N). Note the sign: isign = +1 is the direction
//   other libraries often call "backward".
// - Nothing is normalised: a transform followed by the opposite one returns
//   the input times N (times N/2 for the real transforms, see each routine).
// - Every length must be a power of two; a length that is not (which would
//   index past the array) ends the process through nrerror before any data is
//   touched, e.g. "four1: nn=12 is not a power of two". So does an isign other
//   than +1 or -1 where a routine names no other meaning for it:
//   "four1: isign=2 is neither 1 nor -1".
// - No allocation, no state: calls on different arrays may run concurrently.
#ifndef TISSUESTEWARD_FFT_H
#define TISSUESTEWARD_FFT_H

#include "tissuesteward/export.h"

// Transforms nn complex values data[1..2nn] (radix 2, decimation in time).
// nn = 0 or 1 leaves the data unchanged.
// Fatal: nn not a power of two; isign not +1 or -1.
TS_API void four1(float data[], unsigned long nn, int isign);

// Transforms n real samples r(0..n-1) in data[1..n] (isign = 1) into their
// packed spectrum F(k) = sum_j r(j) exp(+2 pi i j k / n), in place:
// data[1] = F(0), data[2] = F(n/2) (both real), data[2k+1] + i data[2k+2] =
// F(k) for k = 1..n/2-1; the other half is the conjugate mirror.
// Any isign other than 1 runs the inverse: a packed spectrum in, n/2 times
// the samples out.
// Fatal: n below 2 or not a power of two.
TS_API void realft(float data[], unsigned long n, int isign);

// Transforms an ndim-dimensional complex array in place. The lengths are
// nn[1..ndim]; the values data[1..2 nn[1]...nn[ndim]] are row-major with the
// last index fastest: value (m1, ..., md) is complex number
// (...(m1 nn[2] + m2) nn[3] + ...) nn[d] + md. Lengths of 1 are allowed;
// ndim <= 0 leaves the data unchanged.
// Fatal: a length not a power of two; isign not +1 or -1.
TS_API void fourn(float data[], unsigned long nn[], int ndim, int isign);

// Transforms a real tensor data[1..nn1][1..nn2][1..nn3], whose elements must
// form one row-major block (as f3tensor gives them), into the spectrum
// F(k1, k2, k3) = sum r(m1, m2, m3) exp(+2 pi i (m1 k1/nn1 + m2 k2/nn2 +
// m3 k3/nn3)), r(m1, m2, m3) = data[m1+1][m2+1][m3+1], with isign = +1:
// data[i1][i2][2k3+1] + i data[i1][i2][2k3+2] = F(i1-1, i2-1, k3) for
// k3 = 0..nn3/2-1, and the plane k3 = nn3/2 in speq[1..nn1][1..2nn2]:
// speq[i1][2i2-1] + i speq[i1][2i2] = F(i1-1, i2-1, nn3/2). The other half
// along k3 is the conjugate mirror. isign = -1 takes that form back and
// returns the samples times nn1 nn2 nn3 / 2. speq is overwritten either way.
// Fatal: a length not a power of two, nn3 below 2, isign not +1 or -1.
// A tensor whose first nn1 x nn2 x nn3 elements are not one block ends the
// process with status 1 at once, printing nothing.
TS_API void rlft3(float ***data, float **speq, unsigned long nn1, unsigned long nn2,
                  unsigned long nn3, int isign);

#endif
