// SPDX-License-Identifier: MIT
// A float's or a double's bit pattern and back, for tests that compare or
// plant exact bits (NaN payloads, signalling NaNs, -0.0).
#ifndef TISSUESTEWARD_TESTS_SUPPORT_FLOAT_BITS_H
#define TISSUESTEWARD_TESTS_SUPPORT_FLOAT_BITS_H

#include <cstdint>
#include <cstring>

namespace ts::testing {

template <class To, class From>
To same_bits(From x) {
  static_assert(sizeof(To) == sizeof(From), "same size");
  To y;
  std::memcpy(&y, &x, sizeof y);
  return y;
}

inline std::uint32_t bits(float x) { return same_bits<std::uint32_t>(x); }
inline float from_bits(std::uint32_t b) { return same_bits<float>(b); }
inline std::uint64_t bits(double x) { return same_bits<std::uint64_t>(x); }
inline double double_from_bits(std::uint64_t b) { return same_bits<double>(b); }

}  // namespace ts::testing

#endif
