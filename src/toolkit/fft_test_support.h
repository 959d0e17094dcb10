// Inputs shared by the FFT test binaries: seeded data and 1-based arrays
// with guard cells.
#ifndef TISSUESTEWARD_FFT_TEST_SUPPORT_H
#define TISSUESTEWARD_FFT_TEST_SUPPORT_H

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

namespace fft_test {

// Uniform values in [-1, 1) on a 2^-23 grid, from the raw words of
// std::mt19937 (whose sequence the standard fixes).
class Source {
 public:
  explicit Source(std::uint32_t seed) : words_(seed) {}
  float next() { return static_cast<float>(words_() >> 8) * 0x1p-23f - 1.0f; }
  void fill(float *first, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) first[i] = next();
  }

 private:
  std::mt19937 words_;
};

// a[1..n] of floats between guard cells: a[0] and a[n + 1 .. n + kGuards].
class GuardedArray {
 public:
  static constexpr std::size_t kGuards = 4;
  static constexpr float kGuard = -1234.5f;

  explicit GuardedArray(std::size_t n) : n_(n), cells_(n + 1 + kGuards, kGuard) {}
  GuardedArray(std::size_t n, std::uint32_t seed) : GuardedArray(n) {
    Source(seed).fill(first(), n);
  }

  float *data() { return cells_.data(); }  // 1-based: data()[1] is the first element
  float *first() { return cells_.data() + 1; }
  const float *first() const { return cells_.data() + 1; }
  float &operator[](std::size_t i) { return cells_[i]; }
  std::size_t size() const { return n_; }

  bool guards_intact() const {
    if (cells_[0] != kGuard) return false;
    for (std::size_t i = n_ + 1; i < cells_.size(); ++i)
      if (cells_[i] != kGuard) return false;
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

}  // namespace fft_test

#endif
