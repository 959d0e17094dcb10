// SPDX-License-Identifier: MIT
// Read-only twiddle factors of the FFTs, generated at build time
// (fft_twiddles/generate.cpp) by the recurrence the transforms document:
// the same doubles a transform's own recurrence reaches, for the positive
// sign. With the negative sign the recurrence reaches the same wr and the
// negated wi, except that w_0 keeps wi = +0; 0 - wi gives exactly that.
#ifndef TISSUESTEWARD_FFT_TWIDDLES_H
#define TISSUESTEWARD_FFT_TWIDDLES_H

namespace ts::fft_twiddles {

// Both tables hold blocks of `count` = 1, 2, 4, ... kMaxCount factors
// w_g = wr + i wi, g = 0 .. count - 1, at [count - 1 + g].
constexpr unsigned long kMaxCount = 1UL << 15;
constexpr unsigned long kEntries = 2 * kMaxCount - 1;

// The radix-2 stage pairing complex values `half` apart: angle
// 6.28318530717959 / (2 half), count = half. Also the untangling twiddles
// of a real 3-D transform whose last length is 2 half.
extern const double kStageWr[kEntries];
extern const double kStageWi[kEntries];

// The untangling of a real 1-D transform of n values: angle
// 3.141592653589793 / (n / 2), count = n / 4.
extern const double kRealWr[kEntries];
extern const double kRealWi[kEntries];

}  // namespace ts::fft_twiddles

#endif
