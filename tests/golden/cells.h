// SPDX-License-Identifier: MIT
// Arrays for golden cases: index ranges lo..hi ringed by guard cells.
//
// Every cell, inside and out, starts as kGuard, and a case digests the whole
// ring with the inside. An output cell a routine fails to write, or a write
// outside its range, therefore changes the digest, and nothing a case digests
// is ever uninitialised memory.
#ifndef TISSUESTEWARD_TESTS_GOLDEN_CELLS_H
#define TISSUESTEWARD_TESTS_GOLDEN_CELLS_H

#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "../support/float_bits.h"
#include "golden.h"
#include "tissuesteward/arrays.h"

namespace golden {

// Finite, and never produced by a routine on the corpus inputs.
inline constexpr float kGuard = -0x1.a5a5a4p+97f;

// The float with a given bit pattern (NaN payloads, signalling NaNs).
using ts::testing::from_bits;

// A 1-D array of T over lo..hi (lo is 0 or 1) with one guard cell each side.
template <class T>
class Cells {
 public:
  Cells(long lo, long hi, T guard)
      : lo_(lo), hi_(hi), store_(static_cast<std::size_t>(hi - lo + 3), guard) {}
  Cells(long lo, long hi) : Cells(lo, hi, default_guard()) {}

  // The handle a routine takes: p()[lo] is the first element.
  T *p() { return store_.data() + 1 - lo_; }
  T &operator[](long i) { return p()[i]; }
  long lo() const { return lo_; }
  long hi() const { return hi_; }

  template <class Gen>
  Cells &fill(Gen gen) {
    for (long i = lo_; i <= hi_; ++i) p()[i] = gen();
    return *this;
  }
  // Inside and both guards.
  void digest(Digest &d) { d.range(p(), lo_ - 1, hi_ + 1); }
  void digest_bits(Digest &d) { d.bits(p(), lo_ - 1, hi_ + 1); }

 private:
  static T default_guard() {
    if constexpr (std::is_floating_point_v<T>)
      return static_cast<T>(kGuard);
    else
      return static_cast<T>(0x5a5a5a5aUL);  // cut to the type's width when narrower
  }

  long lo_, hi_;
  std::vector<T> store_;
};

using Vec = Cells<float>;

// A float matrix rows rlo..rhi, columns clo..chi from matrix(), so rows are
// contiguous as every caller's are, with a ring of guard cells around it.
class Grid {
 public:
  Grid(long rlo, long rhi, long clo, long chi)
      : rlo_(rlo), rhi_(rhi), clo_(clo), chi_(chi), m_(matrix(rlo - 1, rhi + 1, clo - 1, chi + 1)) {
    for (long i = rlo - 1; i <= rhi + 1; ++i)
      for (long j = clo - 1; j <= chi + 1; ++j) m_[i][j] = kGuard;
  }
  // One-based n × m.
  Grid(long n, long m) : Grid(1, n, 1, m) {}
  ~Grid() { free_matrix(m_, rlo_ - 1, rhi_ + 1, clo_ - 1, chi_ + 1); }
  Grid(const Grid &) = delete;
  Grid &operator=(const Grid &) = delete;

  float **p() const { return m_; }
  float *operator[](long i) const { return m_[i]; }

  template <class Gen>
  Grid &fill(Gen gen) {
    for (long i = rlo_; i <= rhi_; ++i)
      for (long j = clo_; j <= chi_; ++j) m_[i][j] = gen();
    return *this;
  }
  // Copies the inside of another grid of the same shape.
  Grid &copy_from(const Grid &other) {
    for (long i = rlo_; i <= rhi_; ++i)
      for (long j = clo_; j <= chi_; ++j) m_[i][j] = other.m_[i][j];
    return *this;
  }
  void digest(Digest &d) const { d.rows(m_, rlo_ - 1, rhi_ + 1, clo_ - 1, chi_ + 1); }
  void digest_bits(Digest &d) const {
    for (long i = rlo_ - 1; i <= rhi_ + 1; ++i) d.bits(m_[i], clo_ - 1, chi_ + 1);
  }

 private:
  long rlo_, rhi_, clo_, chi_;
  float **m_;
};

}  // namespace golden

#endif
