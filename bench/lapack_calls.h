// SPDX-License-Identifier: MIT
// Single-precision LAPACK computations the matrix routines are compared with,
// each owning its workspace (sized once by a workspace query) so a timed call
// is the computation alone. Column-major throughout.
#ifndef TS_BENCH_LAPACK_CALLS_H
#define TS_BENCH_LAPACK_CALLS_H

#include "lapack_peers.h"

#include <algorithm>
#include <vector>

namespace bench {

// Thin SVD A = U·diag(s)·VT of an m x n matrix, m >= n (jobu = jobvt = 'S').
class LapackSvd {
 public:
  std::vector<float> s, u, vt;  // results of the last run

  LapackSvd(const Lapack &lapack, int m, int n)
      : s(n),
        u(static_cast<std::size_t>(m) * n),
        vt(static_cast<std::size_t>(n) * n),
        lapack_(lapack),
        m_(m),
        n_(n) {
    float query = 0;
    int lwork = -1, info = 0;
    std::vector<float> a(static_cast<std::size_t>(m) * n);
    lapack_.sgesvd("S", "S", &m_, &n_, a.data(), &m_, s.data(), u.data(), &m_, vt.data(), &n_,
                   &query, &lwork, &info, 1, 1);
    work_.resize(static_cast<std::size_t>(query));
  }
  // Overwrites a (m x n, column-major).
  int run(float *a) {
    int lwork = static_cast<int>(work_.size()), info = 0;
    lapack_.sgesvd("S", "S", &m_, &n_, a, &m_, s.data(), u.data(), &m_, vt.data(), &n_,
                   work_.data(), &lwork, &info, 1, 1);
    return info;
  }

 private:
  const Lapack &lapack_;
  int m_, n_;
  std::vector<float> work_;
};

// Pseudo-inverse V·diag(1/s)·Uᵀ of a square matrix, singular values below
// 1e-6·max dropped, by sgesvd and one sgemm.
class LapackPseudoInverse {
 public:
  std::vector<float> result;  // column-major, of the last run

  LapackPseudoInverse(const Lapack &lapack, int n)
      : result(static_cast<std::size_t>(n) * n), lapack_(lapack), n_(n), svd_(lapack, n, n) {}
  int run(float *a) {
    int info = svd_.run(a);
    float largest = 0.0f;
    for (float v : svd_.s) largest = std::max(largest, v);
    const float threshold = 1e-6f * largest;
    for (int i = 0; i < n_; ++i) {  // row i of VT times 1/s[i]
      float scale = svd_.s[i] > threshold ? 1.0f / svd_.s[i] : 0.0f;
      for (int j = 0; j < n_; ++j) svd_.vt[static_cast<std::size_t>(j) * n_ + i] *= scale;
    }
    const float one = 1.0f, zero = 0.0f;
    lapack_.sgemm("T", "T", &n_, &n_, &n_, &one, svd_.vt.data(), &n_, svd_.u.data(), &n_, &zero,
                  result.data(), &n_, 1, 1);
    return info;
  }

 private:
  const Lapack &lapack_;
  int n_;
  LapackSvd svd_;
};

// A⁻¹ and the solution of A·x = b: sgesv (LU with partial pivoting, one
// right-hand side) followed by sgetri on the factors.
class LapackSolveInvert {
 public:
  LapackSolveInvert(const Lapack &lapack, int n) : lapack_(lapack), n_(n), pivots_(n) {
    float query = 0;
    int lwork = -1, info = 0;
    std::vector<float> a(static_cast<std::size_t>(n) * n);
    lapack_.sgetri(&n_, a.data(), &n_, pivots_.data(), &query, &lwork, &info);
    work_.resize(std::max<std::size_t>(static_cast<std::size_t>(query), n));
  }
  // a (n x n, column-major) becomes A⁻¹, b (n) becomes x.
  int run(float *a, float *b) {
    int one = 1, info = 0;
    lapack_.sgesv(&n_, &one, a, &n_, pivots_.data(), b, &n_, &info);
    if (info != 0) return info;
    int lwork = static_cast<int>(work_.size());
    lapack_.sgetri(&n_, a, &n_, pivots_.data(), work_.data(), &lwork, &info);
    return info;
  }

 private:
  const Lapack &lapack_;
  int n_;
  std::vector<int> pivots_;
  std::vector<float> work_;
};

// Eigenvalues (ascending, in w) and eigenvectors (columns of a) of a
// symmetric matrix by ssyev('V', 'U').
class LapackSymmetricEigen {
 public:
  std::vector<float> w;  // eigenvalues of the last run

  LapackSymmetricEigen(const Lapack &lapack, int n) : w(n), lapack_(lapack), n_(n) {
    float query = 0;
    int lwork = -1, info = 0;
    std::vector<float> a(static_cast<std::size_t>(n) * n);
    lapack_.ssyev("V", "U", &n_, a.data(), &n_, w.data(), &query, &lwork, &info, 1, 1);
    work_.resize(static_cast<std::size_t>(query));
  }
  int run(float *a) {
    int lwork = static_cast<int>(work_.size()), info = 0;
    lapack_.ssyev("V", "U", &n_, a, &n_, w.data(), work_.data(), &lwork, &info, 1, 1);
    return info;
  }

 private:
  const Lapack &lapack_;
  int n_;
  std::vector<float> work_;
};

}  // namespace bench

#endif
