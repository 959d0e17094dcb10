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

#endif
