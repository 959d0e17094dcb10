// SPDX-License-Identifier: MIT
// Dense inputs for the matrix cases, in the three layouts the callers want:
// row-major vectors (copied into the toolkit's row-pointer matrices, the
// guarded Grid), LAPACK's column-major arrays and Eigen matrices, all
// holding one seeded matrix.
#ifndef TS_BENCH_MATRICES_H
#define TS_BENCH_MATRICES_H

#include "inputs.h"

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

}  // namespace bench

#endif
