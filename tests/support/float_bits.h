// A float's (or double's) bit pattern and back, for tests that compare or plant exact bits
// (NaN payloads, signalling NaNs, -0.0).
#ifndef TISSUESTEWARD_TESTS_SUPPORT_FLOAT_BITS_H
#define TISSUESTEWARD_TESTS_SUPPORT_FLOAT_BITS_H

#include <cstdint>
#include <cstring>

namespace ts::testing {

inline std::uint32_t bits(float x) {
  std::uint32_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

inline std::uint64_t bits(double x) {
  std::uint64_t b;
  std::memcpy(&b, &x, sizeof b);
  return b;
}

inline float from_bits(std::uint32_t b) {
  float x;
  std::memcpy(&x, &b, sizeof x);
  return x;
}

}  // namespace ts::testing

#endif
