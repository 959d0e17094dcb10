// SPDX-License-Identifier: MIT
// Offset-indexed arrays ringed by guard cells, for tests, the golden corpus
// and the benchmarks alike.
//
// Every cell, inside and out, starts as the guard, so an output cell a
// routine fails to write shows as well as a write outside its range; and
// nothing a test reads or digests is ever uninitialised memory.
#ifndef TISSUESTEWARD_TESTS_SUPPORT_GUARDED_H
#define TISSUESTEWARD_TESTS_SUPPORT_GUARDED_H

#include "support/float_bits.h"
#include "support/source.h"
#include "tissuesteward/arrays.h"

#include <cstddef>
#include <cstring>
#include <type_traits>
#include <vector>

namespace ts::testing {

// The guard: finite, so that a routine which reads it by mistake computes on
// with a huge value instead of a NaN that a comparison might let through,
// and never produced by a routine on the corpus inputs. The golden digests
// record it, so it cannot change.
inline constexpr float kGuard = -0x1.a5a5a4p+97f;

template <class T>
T guard_of() {
  if constexpr (std::is_floating_point_v<T>)
    return static_cast<T>(kGuard);
  else
    return static_cast<T>(0x5a5a5a5aUL);  // cut to the type's width when narrower
}

// Bit for bit, so that -0.0 or a NaN never passes for the guard.
template <class T>
bool is_guard(const T &x) {
  const T guard = guard_of<T>();
  return std::memcmp(&x, &guard, sizeof(T)) == 0;
}

// A 1-D array of T over lo..hi with one guard cell before it and
// kGuardsAfter after it: a vector store that runs a few elements past the
// end still lands in a guard. Copies are deep.
template <class T>
class Cells {
 public:
  static constexpr long kGuardsAfter = 4;

  Cells(long lo, long hi)
      : lo_(lo),
        hi_(hi),
        store_(static_cast<std::size_t>(hi - lo + 2 + kGuardsAfter), guard_of<T>()) {}
  // 1..n.
  explicit Cells(long n) : Cells(1, n) {}
  // 1..values.size(), holding values.
  explicit Cells(const std::vector<T> &values) : Cells(static_cast<long>(values.size())) {
    assign(values);
  }

  // The handle a routine takes: p()[lo] is the first element.
  T *p() { return store_.data() + 1 - lo_; }
  const T *p() const { return store_.data() + 1 - lo_; }
  T *first() { return store_.data() + 1; }
  const T *first() const { return store_.data() + 1; }
  T &operator[](long i) { return p()[i]; }
  const T &operator[](long i) const { return p()[i]; }
  long lo() const { return lo_; }
  long hi() const { return hi_; }
  unsigned long size() const { return static_cast<unsigned long>(hi_ - lo_ + 1); }

  template <class Gen>
  Cells &fill(Gen gen) {
    for (long i = lo_; i <= hi_; ++i) p()[i] = gen();
    return *this;
  }
  // The inside from values[0..size-1].
  Cells &assign(const std::vector<T> &values) {
    if (!values.empty()) std::memcpy(first(), values.data(), values.size() * sizeof(T));
    return *this;
  }
  std::vector<T> values() const { return {first(), first() + size()}; }
  bool same_bits(const Cells &other) const {
    return size() == other.size() && std::memcmp(first(), other.first(), size() * sizeof(T)) == 0;
  }
  bool guards_intact() const {
    if (!is_guard(store_.front())) return false;
    for (std::size_t i = size() + 1; i < store_.size(); ++i)
      if (!is_guard(store_[i])) return false;
    return true;
  }
  // The inside with the guard on each side, through a golden Digest.
  template <class Digest>
  void digest(Digest &d) const {
    d.range(p(), lo_ - 1, hi_ + 1);
  }
  template <class Digest>
  void digest_bits(Digest &d) const {
    d.bits(p(), lo_ - 1, hi_ + 1);
  }

 private:
  long lo_, hi_;
  std::vector<T> store_;
};

using Vec = Cells<float>;

// values[0..n-1] as 1..n.
inline Vec one_based(const std::vector<float> &values) { return Vec(values); }

// 1..n uniform in [-1, 1) from a seed.
inline Vec signed_units(long n, std::uint64_t seed) {
  Source source(seed);
  Vec v(n);
  v.fill([&] { return source.signed_unit(); });
  return v;
}

// A float matrix rows rlo..rhi, columns clo..chi from matrix(), so rows are
// contiguous as every caller's are, with a ring of guard cells around it.
class Grid {
 public:
  Grid(long rlo, long rhi, long clo, long chi)
      : rlo_(rlo), rhi_(rhi), clo_(clo), chi_(chi), m_(matrix(rlo - 1, rhi + 1, clo - 1, chi + 1)) {
    for (long i = rlo - 1; i <= rhi + 1; ++i)
      for (long j = clo - 1; j <= chi + 1; ++j) m_[i][j] = kGuard;
  }
  // 1-based rows × cols.
  Grid(long rows, long cols) : Grid(1, rows, 1, cols) {}
  static Grid zero_based(long rows, long cols) { return Grid(0, rows - 1, 0, cols - 1); }
  ~Grid() {
    if (m_ != nullptr) free_matrix(m_, rlo_ - 1, rhi_ + 1, clo_ - 1, chi_ + 1);
  }
  Grid(Grid &&other) noexcept
      : rlo_(other.rlo_), rhi_(other.rhi_), clo_(other.clo_), chi_(other.chi_), m_(other.m_) {
    other.m_ = nullptr;
  }
  Grid(const Grid &) = delete;
  Grid &operator=(const Grid &) = delete;

  float **p() const { return m_; }
  float *operator[](long i) const { return m_[i]; }
  long rows() const { return rhi_ - rlo_ + 1; }
  long cols() const { return chi_ - clo_ + 1; }

  template <class Gen>
  Grid &fill(Gen gen) {
    for (long i = rlo_; i <= rhi_; ++i)
      for (long j = clo_; j <= chi_; ++j) m_[i][j] = gen();
    return *this;
  }
  // The inside from row-major values.
  Grid &assign(const std::vector<float> &row_major) {
    if (cols() > 0)
      for (long i = rlo_; i <= rhi_; ++i)
        std::memcpy(&m_[i][clo_], row_major.data() + (i - rlo_) * cols(),
                    static_cast<std::size_t>(cols()) * sizeof(float));
    return *this;
  }
  // Copies the inside of another grid of the same shape.
  Grid &copy_from(const Grid &other) {
    for (long i = rlo_; i <= rhi_; ++i)
      for (long j = clo_; j <= chi_; ++j) m_[i][j] = other.m_[i][j];
    return *this;
  }
  // The inside, row by row.
  std::vector<float> values() const {
    std::vector<float> out;
    for (long i = rlo_; i <= rhi_; ++i) out.insert(out.end(), &m_[i][clo_], &m_[i][chi_] + 1);
    return out;
  }
  bool guards_intact() const {
    for (long i = rlo_ - 1; i <= rhi_ + 1; ++i)
      for (long j = clo_ - 1; j <= chi_ + 1; ++j) {
        const bool inside = i >= rlo_ && i <= rhi_ && j >= clo_ && j <= chi_;
        if (!inside && !is_guard(m_[i][j])) return false;
      }
    return true;
  }
  template <class Digest>
  void digest(Digest &d) const {
    d.rows(m_, rlo_ - 1, rhi_ + 1, clo_ - 1, chi_ + 1);
  }
  template <class Digest>
  void digest_bits(Digest &d) const {
    for (long i = rlo_ - 1; i <= rhi_ + 1; ++i) d.bits(m_[i], clo_ - 1, chi_ + 1);
  }

 private:
  long rlo_, rhi_, clo_, chi_;
  float **m_;
};

}  // namespace ts::testing

#endif
