// SPDX-License-Identifier: MIT
// Real tensors with their Nyquist plane, filled from a seed, for the FFT
// tests.
#ifndef TISSUESTEWARD_TESTS_SUPPORT_FFT_VOLUME_H
#define TISSUESTEWARD_TESTS_SUPPORT_FFT_VOLUME_H

#include "support/source.h"
#include "tissuesteward/arrays.h"
#include "tissuesteward/fft.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace ts::testing {

// A real tensor data[1..nn1][1..nn2][1..nn3] (f3tensor) with its Nyquist
// plane speq[1..nn1][1..2 nn2] (matrix), both filled from a seed. Copies are
// deep. No guard cells: both blocks are exactly their size, so the sanitizer
// build catches a stray access.
class RealVolume {
 public:
  RealVolume(unsigned long nn1, unsigned long nn2, unsigned long nn3, std::uint32_t seed)
      : nn1_(nn1),
        nn2_(nn2),
        nn3_(nn3),
        data_(f3tensor(1, static_cast<long>(nn1), 1, static_cast<long>(nn2), 1,
                       static_cast<long>(nn3))),
        speq_(matrix(1, static_cast<long>(nn1), 1, static_cast<long>(2 * nn2))),
        blocks_{&data_[1], &data_[1][1], &data_[1][1][1], &speq_[1], &speq_[1][1]} {
    Source source(seed);
    for (float *x = first(); x != first() + size(); ++x) *x = source.signed_unit();
    for (float *x = nyquist(); x != nyquist() + nyquist_size(); ++x) *x = source.signed_unit();
  }
  RealVolume(const RealVolume &other) : RealVolume(other.nn1_, other.nn2_, other.nn3_, 0) {
    std::memcpy(first(), other.first(), size() * sizeof(float));
    std::memcpy(nyquist(), other.nyquist(), nyquist_size() * sizeof(float));
  }
  RealVolume &operator=(const RealVolume &) = delete;
  ~RealVolume() {
    free_matrix(speq_, 1, static_cast<long>(nn1_), 1, static_cast<long>(2 * nn2_));
    free_f3tensor(data_, 1, static_cast<long>(nn1_), 1, static_cast<long>(nn2_), 1,
                  static_cast<long>(nn3_));
  }

  float ***data() { return data_; }
  float **speq() { return speq_; }
  float *first() { return &data_[1][1][1]; }
  const float *first() const { return &data_[1][1][1]; }
  float *nyquist() { return &speq_[1][1]; }
  const float *nyquist() const { return &speq_[1][1]; }
  std::size_t size() const { return nn1_ * nn2_ * nn3_; }
  std::size_t nyquist_size() const { return 2 * nn1_ * nn2_; }
  void rlft3(int isign) { ::rlft3(data_, speq_, nn1_, nn2_, nn3_, isign); }

  bool same_bits(const RealVolume &other) const {
    return size() == other.size() &&
           std::memcmp(first(), other.first(), size() * sizeof(float)) == 0 &&
           std::memcmp(nyquist(), other.nyquist(), nyquist_size() * sizeof(float)) == 0;
  }

 private:
  unsigned long nn1_, nn2_, nn3_;
  float ***data_;
  float **speq_;
  // The blocks' own addresses (a handle points before its block): a death
  // test's child exits without releasing them, and the leak checker must
  // still find them reachable.
  [[maybe_unused]] std::array<const void *, 5> blocks_;
};

}  // namespace ts::testing

#endif
