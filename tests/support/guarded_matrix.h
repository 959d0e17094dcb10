// 1-based float matrices and vectors with a ring of guard cells, for
// catching stray writes of the toolkit's routines.
#ifndef TISSUESTEWARD_TESTS_SUPPORT_GUARDED_MATRIX_H
#define TISSUESTEWARD_TESTS_SUPPORT_GUARDED_MATRIX_H

#include "tissuesteward/arrays.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace ts::testing {

inline constexpr float kGuard = -12345.5f;

inline bool is_guard(float v) { return std::memcmp(&v, &kGuard, sizeof v) == 0; }

// rows × cols usable at [1..rows][1..cols]; row 0, column 0, row rows+1 and
// column cols+1 hold kGuard.
class GuardedMatrix {
 public:
  GuardedMatrix(int rows, int cols) : rows_(rows), cols_(cols) {
    m_ = matrix(0, rows + 1, 0, cols + 1);
    for (int i = 0; i <= rows + 1; ++i)
      for (int j = 0; j <= cols + 1; ++j) m_[i][j] = kGuard;
  }
  GuardedMatrix(int rows, int cols, const std::vector<float> &row_major)
      : GuardedMatrix(rows, cols) {
    for (int i = 1; i <= rows; ++i)
      for (int j = 1; j <= cols; ++j) m_[i][j] = row_major[(i - 1) * cols + (j - 1)];
  }
  ~GuardedMatrix() {
    if (m_ != nullptr) free_matrix(m_, 0, rows_ + 1, 0, cols_ + 1);
  }
  GuardedMatrix(GuardedMatrix &&other) noexcept
      : rows_(other.rows_), cols_(other.cols_), m_(other.m_) {
    other.m_ = nullptr;
  }
  GuardedMatrix(const GuardedMatrix &) = delete;
  GuardedMatrix &operator=(const GuardedMatrix &) = delete;

  float **get() const { return m_; }
  float *operator[](int i) const { return m_[i]; }
  int rows() const { return rows_; }
  int cols() const { return cols_; }

  bool guards_intact() const {
    for (int i = 0; i <= rows_ + 1; ++i)
      for (int j = 0; j <= cols_ + 1; ++j) {
        const bool border = i == 0 || j == 0 || i == rows_ + 1 || j == cols_ + 1;
        if (border && !is_guard(m_[i][j])) return false;
      }
    return true;
  }

 private:
  int rows_;
  int cols_;
  float **m_;
};

// n elements usable at [1..n]; elements 0 and n+1 hold kGuard.
class GuardedVector {
 public:
  explicit GuardedVector(int n) : n_(n), v_(vector(0, n + 1)) {
    for (int i = 0; i <= n + 1; ++i) v_[i] = kGuard;
  }
  ~GuardedVector() {
    if (v_ != nullptr) free_vector(v_, 0, n_ + 1);
  }
  GuardedVector(GuardedVector &&other) noexcept : n_(other.n_), v_(other.v_) { other.v_ = nullptr; }
  GuardedVector(const GuardedVector &) = delete;
  GuardedVector &operator=(const GuardedVector &) = delete;

  float *get() const { return v_; }
  float &operator[](int i) const { return v_[i]; }
  bool guards_intact() const { return is_guard(v_[0]) && is_guard(v_[n_ + 1]); }

 private:
  int n_;
  float *v_;
};

}  // namespace ts::testing

#endif
