// SPDX-License-Identifier: MIT
// Dense inputs for the matrix cases, in the three layouts the callers want:
// the toolkit's row-pointer matrices (through its own allocator), LAPACK's
// column-major arrays and Eigen matrices, all holding one seeded matrix.
#ifndef TS_BENCH_MATRICES_H
#define TS_BENCH_MATRICES_H

#include "inputs.h"
#include "tissuesteward/arrays.h"

#include <Eigen/Dense>

#include <string>

namespace bench {

// m x n, row-major, uniform in [-1, 1).
inline const std::vector<float> &random_matrix(std::size_t m, std::size_t n, std::uint32_t seed) {
  return uniform_floats(m * n, seed);
}

// (R + Rᵀ)/2 of a random n x n matrix R, row-major.
inline std::vector<float> symmetric_matrix(std::size_t n, std::uint32_t seed) {
  const std::vector<float> &r = random_matrix(n, n, seed);
  std::vector<float> s(n * n);
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = 0; j < n; ++j) s[i * n + j] = 0.5f * (r[i * n + j] + r[j * n + i]);
  return s;
}

template <class T = float>
std::vector<T> column_major(const std::vector<float> &row_major, std::size_t m, std::size_t n) {
  std::vector<T> out(m * n);
  for (std::size_t i = 0; i < m; ++i)
    for (std::size_t j = 0; j < n; ++j) out[j * m + i] = row_major[i * n + j];
  return out;
}

inline Eigen::MatrixXf eigen_matrix(const std::vector<float> &row_major, std::size_t m,
                                    std::size_t n) {
  return Eigen::Map<const Eigen::Matrix<float, Eigen::Dynamic, Eigen::Dynamic, Eigen::RowMajor>>(
      row_major.data(), static_cast<Eigen::Index>(m), static_cast<Eigen::Index>(n));
}

inline std::string shape_label(std::size_t m, std::size_t n) {
  return m == n ? std::to_string(n) : std::to_string(m) + "x" + std::to_string(n);
}

// A toolkit matrix with rows and columns base..base+m-1 / base..base+n-1
// (matrix() and free_matrix(), one contiguous row-major block).
class ToolkitMatrix {
 public:
  ToolkitMatrix(std::size_t m, std::size_t n, long base = 1)
      : m_(m), n_(n), base_(base),
        rows_(::matrix(base, base + static_cast<long>(m) - 1, base, base + static_cast<long>(n) - 1)) {}
  ~ToolkitMatrix() {
    ::free_matrix(rows_, base_, base_ + static_cast<long>(m_) - 1, base_,
                base_ + static_cast<long>(n_) - 1);
  }
  ToolkitMatrix(const ToolkitMatrix &) = delete;
  ToolkitMatrix &operator=(const ToolkitMatrix &) = delete;

  float **rows() { return rows_; }
  float *block() { return &rows_[base_][base_]; }
  const float *block() const { return &rows_[base_][base_]; }
  float at(std::size_t i, std::size_t j) const {  // 0-based
    return rows_[base_ + static_cast<long>(i)][base_ + static_cast<long>(j)];
  }
  void restore(const std::vector<float> &row_major) {
    std::memcpy(block(), row_major.data(), m_ * n_ * sizeof(float));
  }

 private:
  std::size_t m_, n_;
  long base_;
  float **rows_;
};

// A toolkit vector base..base+n-1.
class ToolkitVector {
 public:
  explicit ToolkitVector(std::size_t n, long base = 1)
      : n_(n), base_(base), v_(::vector(base, base + static_cast<long>(n) - 1)) {}
  ~ToolkitVector() { ::free_vector(v_, base_, base_ + static_cast<long>(n_) - 1); }
  ToolkitVector(const ToolkitVector &) = delete;
  ToolkitVector &operator=(const ToolkitVector &) = delete;

  float *data() { return v_; }
  float at(std::size_t i) const { return v_[base_ + static_cast<long>(i)]; }  // 0-based

 private:
  std::size_t n_;
  long base_;
  float *v_;
};

}  // namespace bench

#endif
