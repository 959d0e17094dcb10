// SPDX-License-Identifier: MIT
// The sin values the FFT twiddle tables start from, as exact doubles: what
// the platform's double-precision sin returns for these angles (and the
// correctly rounded values, a test checks both).
#ifndef TISSUESTEWARD_FFT_TWIDDLES_SIN_CONSTANTS_H
#define TISSUESTEWARD_FFT_TWIDDLES_SIN_CONSTANTS_H

namespace ts::fft_twiddles {

// sin(6.28318530717959 / 2^k) for k = 0, 1, ..., 17. The complex stage pairing values `half` apart has the angle
// 6.28318530717959 / (2 half).
inline constexpr double kSinTwoPiOver[] = {
    0x1.dcb3b399d747fp-49,
    -0x1.dcb3b399d747fp-50,
    0x1p+0,
    0x1.6a09e667f3bcfp-1,
    0x1.87de2a6aea966p-2,
    0x1.8f8b83c69a60ep-3,
    0x1.917a6bc29b43p-4,
    0x1.91f65f10dd818p-5,
    0x1.92155f7a36682p-6,
    0x1.921d1fcdec788p-7,
    0x1.921f0fe670075p-8,
    0x1.921f8becca4bep-9,
    0x1.921faaee64731p-10,
    0x1.921fb2aecb364p-11,
    0x1.921fb49ee4eaap-12,
    0x1.921fb51aeb57fp-13,
    0x1.921fb539ecf35p-14,
    0x1.921fb541ad5a2p-15,
};

// sin(3.141592653589793 / 2^m) for m = 0, 1, ..., 17. The real transform
// of n values has the angle 3.141592653589793 / (n / 2).
inline constexpr double kSinPiOver[] = {
    0x1.1a62633145c07p-53,
    0x1p+0,
    0x1.6a09e667f3bccp-1,
    0x1.87de2a6aea963p-2,
    0x1.8f8b83c69a60ap-3,
    0x1.917a6bc29b42cp-4,
    0x1.91f65f10dd814p-5,
    0x1.92155f7a3667ep-6,
    0x1.921d1fcdec784p-7,
    0x1.921f0fe670071p-8,
    0x1.921f8becca4bap-9,
    0x1.921faaee6472dp-10,
    0x1.921fb2aecb36p-11,
    0x1.921fb49ee4ea6p-12,
    0x1.921fb51aeb57bp-13,
    0x1.921fb539ecf31p-14,
    0x1.921fb541ad59ep-15,
    0x1.921fb5439d73ap-16,
};

}  // namespace ts::fft_twiddles

#endif
