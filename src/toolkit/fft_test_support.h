// SPDX-License-Identifier: MIT
// Inputs shared by the FFT test binaries: copyable 1-based arrays with guard
// cells and real tensors with their Nyquist plane, filled from a seed.
#ifndef TISSUESTEWARD_FFT_TEST_SUPPORT_H
#define TISSUESTEWARD_FFT_TEST_SUPPORT_H

#include "support/guarded.h"
#include "tissuesteward/arrays.h"
#include "tissuesteward/fft.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace fft_test {

// count floats from a seeded source, uniform in [-1, 1).
inline void fill(support::Source &source, float *first, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) first[i] = source.signed_unit();
}

// a[1..n] of floats between guard cells: a[0] and a[n + 1 .. n + kGuards].
class GuardedArray {
 public:
  static constexpr std::size_t kGuards = 4;

  explicit GuardedArray(std::size_t n) : n_(n), cells_(n + 1 + kGuards, support::guard_value()) {}
  GuardedArray(std::size_t n, std::uint32_t seed) : GuardedArray(n) {
    support::Source source(seed);
    fill(source, first(), n);
  }

  float *data() { return cells_.data(); }  // 1-based: data()[1] is the first element
  float *first() { return cells_.data() + 1; }
  const float *first() const { return cells_.data() + 1; }
  float &operator[](std::size_t i) { return cells_[i]; }
  std::size_t size() const { return n_; }

  bool guards_intact() const {
    if (!support::is_guard(cells_[0])) return false;
    for (std::size_t i = n_ + 1; i < cells_.size(); ++i)
      if (!support::is_guard(cells_[i])) return false;
    return true;
  }
  // Same elements, bit for bit.
  bool same_bits(const GuardedArray &other) const {
    return n_ == other.n_ && std::memcmp(first(), other.first(), n_ * sizeof(float)) == 0;
  }

 private:
  std::size_t n_;
  std::vector<float> cells_;
};

// A real tensor data[1..nn1][1..nn2][1..nn3] (f3tensor) with its Nyquist
// plane speq[1..nn1][1..2 nn2] (matrix), both filled from a seed. Copies are
// deep. No guard cells: both blocks are exactly their size, so the sanitizer
// build catches a stray access.
class RealVolume {
 public:
  RealVolume(unsigned long nn1, unsigned long nn2, unsigned long nn3, std::uint32_t seed)
      : nn1_(nn1), nn2_(nn2), nn3_(nn3),
        data_(f3tensor(1, static_cast<long>(nn1), 1, static_cast<long>(nn2), 1,
                       static_cast<long>(nn3))),
        speq_(matrix(1, static_cast<long>(nn1), 1, static_cast<long>(2 * nn2))),
        blocks_{&data_[1], &data_[1][1], &data_[1][1][1], &speq_[1], &speq_[1][1]} {
    support::Source source(seed);
    fill(source, first(), size());
    fill(source, nyquist(), nyquist_size());
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

}  // namespace fft_test

#endif
