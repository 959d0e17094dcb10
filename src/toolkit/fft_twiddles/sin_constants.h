// SPDX-License-Identifier: MIT
// The sin values every FFT twiddle factor starts from, as exact doubles: the
// correctly rounded sin of each angle a transform of any power-of-two length
// steps by (which the platform's double-precision sin also returns; a test
// checks both). The tables are generated from them at build time, and the
// longer axes step from them at run time, so no transform calls sin. From
// k = 29 on, the angle is below 2^-26 and its sin rounds to the angle itself.
#ifndef TISSUESTEWARD_FFT_TWIDDLES_SIN_CONSTANTS_H
#define TISSUESTEWARD_FFT_TWIDDLES_SIN_CONSTANTS_H

namespace ts::fft_twiddles {

// sin(6.28318530717959 / 2^k) for k = 0, 1, ..., 64. The complex stage
// pairing values `half` apart has the angle 6.28318530717959 / (2 half), and
// half is at most 2^62.
inline constexpr double kSinTwoPiOver[] = {
    0x1.dcb3b399d747fp-49, -0x1.dcb3b399d747fp-50, 0x1p+0,
    0x1.6a09e667f3bcfp-1,  0x1.87de2a6aea966p-2,   0x1.8f8b83c69a60ep-3,
    0x1.917a6bc29b43p-4,   0x1.91f65f10dd818p-5,   0x1.92155f7a36682p-6,
    0x1.921d1fcdec788p-7,  0x1.921f0fe670075p-8,   0x1.921f8becca4bep-9,
    0x1.921faaee64731p-10, 0x1.921fb2aecb364p-11,  0x1.921fb49ee4eaap-12,
    0x1.921fb51aeb57fp-13, 0x1.921fb539ecf35p-14,  0x1.921fb541ad5a2p-15,
    0x1.921fb5439d73ep-16, 0x1.921fb544197a4p-17,  0x1.921fb544387bep-18,
    0x1.921fb544403c5p-19, 0x1.921fb544422c6p-20,  0x1.921fb54442a87p-21,
    0x1.921fb54442c77p-22, 0x1.921fb54442cf3p-23,  0x1.921fb54442d12p-24,
    0x1.921fb54442d19p-25, 0x1.921fb54442d1bp-26,  0x1.921fb54442d1cp-27,
    0x1.921fb54442d1cp-28, 0x1.921fb54442d1cp-29,  0x1.921fb54442d1cp-30,
    0x1.921fb54442d1cp-31, 0x1.921fb54442d1cp-32,  0x1.921fb54442d1cp-33,
    0x1.921fb54442d1cp-34, 0x1.921fb54442d1cp-35,  0x1.921fb54442d1cp-36,
    0x1.921fb54442d1cp-37, 0x1.921fb54442d1cp-38,  0x1.921fb54442d1cp-39,
    0x1.921fb54442d1cp-40, 0x1.921fb54442d1cp-41,  0x1.921fb54442d1cp-42,
    0x1.921fb54442d1cp-43, 0x1.921fb54442d1cp-44,  0x1.921fb54442d1cp-45,
    0x1.921fb54442d1cp-46, 0x1.921fb54442d1cp-47,  0x1.921fb54442d1cp-48,
    0x1.921fb54442d1cp-49, 0x1.921fb54442d1cp-50,  0x1.921fb54442d1cp-51,
    0x1.921fb54442d1cp-52, 0x1.921fb54442d1cp-53,  0x1.921fb54442d1cp-54,
    0x1.921fb54442d1cp-55, 0x1.921fb54442d1cp-56,  0x1.921fb54442d1cp-57,
    0x1.921fb54442d1cp-58, 0x1.921fb54442d1cp-59,  0x1.921fb54442d1cp-60,
    0x1.921fb54442d1cp-61, 0x1.921fb54442d1cp-62,
};

// sin(3.141592653589793 / 2^m) for m = 0, 1, ..., 64. The real transform
// of n values has the angle 3.141592653589793 / (n / 2), and n is at most 2^63.
inline constexpr double kSinPiOver[] = {
    0x1.1a62633145c07p-53, 0x1p+0,
    0x1.6a09e667f3bccp-1,  0x1.87de2a6aea963p-2,
    0x1.8f8b83c69a60ap-3,  0x1.917a6bc29b42cp-4,
    0x1.91f65f10dd814p-5,  0x1.92155f7a3667ep-6,
    0x1.921d1fcdec784p-7,  0x1.921f0fe670071p-8,
    0x1.921f8becca4bap-9,  0x1.921faaee6472dp-10,
    0x1.921fb2aecb36p-11,  0x1.921fb49ee4ea6p-12,
    0x1.921fb51aeb57bp-13, 0x1.921fb539ecf31p-14,
    0x1.921fb541ad59ep-15, 0x1.921fb5439d73ap-16,
    0x1.921fb544197ap-17,  0x1.921fb544387bap-18,
    0x1.921fb544403c1p-19, 0x1.921fb544422c2p-20,
    0x1.921fb54442a83p-21, 0x1.921fb54442c73p-22,
    0x1.921fb54442cefp-23, 0x1.921fb54442d0ep-24,
    0x1.921fb54442d15p-25, 0x1.921fb54442d17p-26,
    0x1.921fb54442d18p-27, 0x1.921fb54442d18p-28,
    0x1.921fb54442d18p-29, 0x1.921fb54442d18p-30,
    0x1.921fb54442d18p-31, 0x1.921fb54442d18p-32,
    0x1.921fb54442d18p-33, 0x1.921fb54442d18p-34,
    0x1.921fb54442d18p-35, 0x1.921fb54442d18p-36,
    0x1.921fb54442d18p-37, 0x1.921fb54442d18p-38,
    0x1.921fb54442d18p-39, 0x1.921fb54442d18p-40,
    0x1.921fb54442d18p-41, 0x1.921fb54442d18p-42,
    0x1.921fb54442d18p-43, 0x1.921fb54442d18p-44,
    0x1.921fb54442d18p-45, 0x1.921fb54442d18p-46,
    0x1.921fb54442d18p-47, 0x1.921fb54442d18p-48,
    0x1.921fb54442d18p-49, 0x1.921fb54442d18p-50,
    0x1.921fb54442d18p-51, 0x1.921fb54442d18p-52,
    0x1.921fb54442d18p-53, 0x1.921fb54442d18p-54,
    0x1.921fb54442d18p-55, 0x1.921fb54442d18p-56,
    0x1.921fb54442d18p-57, 0x1.921fb54442d18p-58,
    0x1.921fb54442d18p-59, 0x1.921fb54442d18p-60,
    0x1.921fb54442d18p-61, 0x1.921fb54442d18p-62,
    0x1.921fb54442d18p-63,
};

static_assert(sizeof kSinTwoPiOver / sizeof kSinTwoPiOver[0] == 65,
              "an entry for every power of two");
static_assert(sizeof kSinPiOver / sizeof kSinPiOver[0] == 65, "an entry for every power of two");

}  // namespace ts::fft_twiddles

#endif
