// SPDX-License-Identifier: MIT
// Test support: offset-indexed arrays ringed by guard cells, and a seeded
// source of floats whose sequence does not depend on the standard library.
#ifndef TISSUESTEWARD_TESTS_SUPPORT_GUARDED_H
#define TISSUESTEWARD_TESTS_SUPPORT_GUARDED_H

#include "support/float_bits.h"
#include "tissuesteward/arrays.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

namespace support {

// A quiet NaN with a payload no routine produces; compared bit for bit.
inline float guard_value() { return ts::testing::from_bits(0x7fc0deadU); }
inline bool is_guard(float f) { return ts::testing::bits(f) == ts::testing::bits(guard_value()); }

// Rows and columns lo..lo+rows-1 × lo..lo+cols-1 inside one ring of guard
// cells; every cell starts as a guard, so unwritten outputs show too.
class GuardedMatrix {
 public:
  GuardedMatrix(int rows, int cols, int lo = 1)
      : rows_(rows), cols_(cols), lo_(lo), m_(matrix(lo - 1, lo + rows, lo - 1, lo + cols)) {
    for (long i = lo - 1; i <= lo + rows; ++i)
      for (long j = lo - 1; j <= lo + cols; ++j) m_[i][j] = guard_value();
  }
  ~GuardedMatrix() {
    if (m_ != nullptr) free_matrix(m_, lo_ - 1, lo_ + rows_, lo_ - 1, lo_ + cols_);
  }
  GuardedMatrix(GuardedMatrix &&other) noexcept
      : rows_(other.rows_), cols_(other.cols_), lo_(other.lo_), m_(other.m_) {
    other.m_ = nullptr;
  }
  GuardedMatrix(const GuardedMatrix &) = delete;
  GuardedMatrix &operator=(const GuardedMatrix &) = delete;

  float **get() const { return m_; }
  float *operator[](long i) const { return m_[i]; }
  int rows() const { return rows_; }
  int cols() const { return cols_; }

  // The inside, row by row.
  void fill(const std::vector<float> &values) const {
    for (std::size_t k = 0; k < values.size(); ++k)
      m_[lo_ + static_cast<long>(k) / cols_][lo_ + static_cast<long>(k) % cols_] = values[k];
  }
  std::vector<float> elements() const {
    std::vector<float> out;
    for (long i = lo_; i < lo_ + rows_; ++i)
      for (long j = lo_; j < lo_ + cols_; ++j) out.push_back(m_[i][j]);
    return out;
  }
  bool guards_intact() const {
    for (long i = lo_ - 1; i <= lo_ + rows_; ++i)
      for (long j = lo_ - 1; j <= lo_ + cols_; ++j) {
        const bool inside = i >= lo_ && i < lo_ + rows_ && j >= lo_ && j < lo_ + cols_;
        if (!inside && !is_guard(m_[i][j])) return false;
      }
    return true;
  }

 private:
  int rows_, cols_, lo_;
  float **m_;
};

class GuardedVector {
 public:
  explicit GuardedVector(int n, int lo = 1) : n_(n), lo_(lo), v_(vector(lo - 1, lo + n)) {
    for (long i = lo - 1; i <= lo + n; ++i) v_[i] = guard_value();
  }
  ~GuardedVector() {
    if (v_ != nullptr) free_vector(v_, lo_ - 1, lo_ + n_);
  }
  GuardedVector(GuardedVector &&other) noexcept : n_(other.n_), lo_(other.lo_), v_(other.v_) {
    other.v_ = nullptr;
  }
  GuardedVector(const GuardedVector &) = delete;
  GuardedVector &operator=(const GuardedVector &) = delete;

  float *get() const { return v_; }
  float &operator[](long i) const { return v_[i]; }
  bool guards_intact() const { return is_guard(v_[lo_ - 1]) && is_guard(v_[lo_ + n_]); }

 private:
  int n_, lo_;
  float *v_;
};

// Floats from std::mt19937_64's raw words, whose sequence the standard fixes.
class Source {
 public:
  explicit Source(std::uint64_t seed) : words_(seed) {}
  // Uniform in [-1, 1) on a 2^-23 grid: exact in float.
  float signed_unit() {
    return static_cast<float>(static_cast<long>(words_() >> 40) - (1L << 23)) * 0x1p-23f;
  }
  // An integer in 0..n-1.
  int below(int n) { return static_cast<int>(words_() % static_cast<std::uint64_t>(n)); }

 private:
  std::mt19937_64 words_;
};

}  // namespace support

#endif
