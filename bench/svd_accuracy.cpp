// SPDX-License-Identifier: MIT
// SVD and pseudo-inverse against double-precision LAPACK (dgesvd, dgesv) on
// the benchmark inputs. Singular values are compared sorted; U and V are
// judged by how well U·diag(w)·Vᵀ rebuilds A (their signs and order are free).
#include "accuracy.h"
#include "cases.h"
#include "lapack_calls.h"
#include "matrices.h"
#include "svd_routines.h"

#include <Eigen/SVD>

#include <functional>

namespace {

using bench::cases::Dims;

// A decomposition in row-major doubles: U is m x n, V is n x n (not Vᵀ).
struct Factors {
  std::vector<double> u, s, v;
};

std::vector<double> sorted_descending(std::vector<double> values) {
  std::sort(values.begin(), values.end(), std::greater<double>());
  return values;
}

// max |A - U·diag(s)·Vᵀ| / max |A|, in FLT_EPSILON.
double rebuild_error(const std::vector<float> &a, const Factors &f, std::size_t m, std::size_t n) {
  std::vector<double> rebuilt(m * n, 0.0);
  for (std::size_t i = 0; i < m; ++i)
    for (std::size_t k = 0; k < n; ++k) {
      double us = f.u[i * n + k] * f.s[k];
      for (std::size_t j = 0; j < n; ++j) rebuilt[i * n + j] += us * f.v[j * n + k];
    }
  return bench::max_norm_error(rebuilt, a);
}

std::vector<double> true_singular_values(const std::vector<float> &a, std::size_t m,
                                         std::size_t n) {
  std::vector<double> cm = bench::column_major<double>(a, m, n);
  int mi = static_cast<int>(m), ni = static_cast<int>(n), one = 1, lwork = -1, info = 0;
  std::vector<double> s(n);
  double query = 0, unused = 0;
  dgesvd_("N", "N", &mi, &ni, cm.data(), &mi, s.data(), &unused, &one, &unused, &one, &query,
          &lwork, &info, 1, 1);
  std::vector<double> work(static_cast<std::size_t>(query));
  lwork = static_cast<int>(work.size());
  dgesvd_("N", "N", &mi, &ni, cm.data(), &mi, s.data(), &unused, &one, &unused, &one, work.data(),
          &lwork, &info, 1, 1);
  return sorted_descending(s);
}

Factors ours_factors(const std::vector<float> &a, std::size_t m, std::size_t n) {
  ts::testing::Grid u(m, n), v(n, n);
  ts::testing::Vec w(n);
  u.assign(a);
  svdcmp(u.p(), static_cast<int>(m), static_cast<int>(n), w.p(), v.p());
  Factors f{std::vector<double>(m * n), std::vector<double>(n), std::vector<double>(n * n)};
  for (std::size_t i = 0; i < m; ++i)
    for (std::size_t j = 0; j < n; ++j) f.u[i * n + j] = u[i + 1][j + 1];
  for (std::size_t j = 0; j < n; ++j) {
    f.s[j] = w[j + 1];
    for (std::size_t k = 0; k < n; ++k) f.v[j * n + k] = v[j + 1][k + 1];
  }
  return f;
}

Factors lapack_factors(const bench::Lapack &lapack, const std::vector<float> &a, std::size_t m,
                       std::size_t n) {
  bench::LapackSvd svd(lapack, static_cast<int>(m), static_cast<int>(n));
  std::vector<float> cm = bench::column_major(a, m, n);
  svd.run(cm.data());
  Factors f{std::vector<double>(m * n), std::vector<double>(svd.s.begin(), svd.s.end()),
            std::vector<double>(n * n)};
  for (std::size_t i = 0; i < m; ++i)
    for (std::size_t j = 0; j < n; ++j) f.u[i * n + j] = svd.u[j * m + i];
  for (std::size_t j = 0; j < n; ++j)
    for (std::size_t k = 0; k < n; ++k) f.v[j * n + k] = svd.vt[j * n + k];  // V = VTᵀ
  return f;
}

Factors eigen_factors(const std::vector<float> &a, std::size_t m, std::size_t n) {
  Eigen::BDCSVD<Eigen::MatrixXf> svd(bench::eigen_matrix(a, m, n),
                                     Eigen::ComputeThinU | Eigen::ComputeThinV);
  Factors f{std::vector<double>(m * n), std::vector<double>(n), std::vector<double>(n * n)};
  for (std::size_t i = 0; i < m; ++i)
    for (std::size_t j = 0; j < n; ++j) f.u[i * n + j] = svd.matrixU()(i, j);
  for (std::size_t j = 0; j < n; ++j) {
    f.s[j] = svd.singularValues()(j);
    for (std::size_t k = 0; k < n; ++k) f.v[j * n + k] = svd.matrixV()(j, k);
  }
  return f;
}

void svdcmp_accuracy(bench::AccuracyReport &report, Dims shape) {
  const std::size_t m = shape.m, n = shape.n;
  const std::vector<float> &a = bench::random_matrix(m, n, bench::cases::kSvdSeed);
  const std::vector<double> truth = true_singular_values(a, m, n);
  auto value_error = [&](const Factors &f) {
    return bench::max_norm_error(sorted_descending(f.s), truth);
  };

  std::vector<std::pair<std::string, Factors>> peers;
  bench::for_each_lapack([&](const bench::Lapack &lapack) {
    peers.emplace_back(lapack.name + " sgesvd", lapack_factors(lapack, a, m, n));
  });
  peers.emplace_back("Eigen BDCSVD", eigen_factors(a, m, n));
  Factors ours = ours_factors(a, m, n);

  std::vector<bench::PeerError> value_peers, rebuild_peers;
  for (const auto &[name, f] : peers) {
    value_peers.push_back({name, value_error(f)});
    rebuild_peers.push_back({name, rebuild_error(a, f, m, n)});
  }
  const std::string label = "svdcmp " + bench::shape_label(m, n);
  report.add({label + " singular values", "max error / largest singular value", "LAPACK dgesvd",
              value_error(ours), value_peers});
  report.add({label + " U·W·Vᵀ", "max |A - U·W·Vᵀ| / max |A| (in double)", "the input A",
              rebuild_error(a, ours, m, n), rebuild_peers});
}

std::vector<double> true_inverse(const std::vector<float> &a, std::size_t n) {
  std::vector<double> cm = bench::column_major<double>(a, n, n);
  std::vector<double> inverse(n * n, 0.0);  // column-major identity in, A⁻¹ out
  for (std::size_t i = 0; i < n; ++i) inverse[i * n + i] = 1.0;
  std::vector<int> pivots(n);
  int ni = static_cast<int>(n), info = 0;
  dgesv_(&ni, &ni, cm.data(), &ni, pivots.data(), inverse.data(), &ni, &info);
  return inverse;
}

void inverse_accuracy(bench::AccuracyReport &report) {
  const std::size_t n = bench::cases::kInverseOrder;
  const std::vector<float> &a = bench::random_matrix(n, n, bench::cases::kInverseSeed);
  const std::vector<double> truth = true_inverse(a, n);  // column-major

  auto in = ts::testing::Grid::zero_based(n, n), out = ts::testing::Grid::zero_based(n, n);
  in.assign(a);
  getInverseMatrixUsingSVD(in.p(), out.p(), static_cast<int>(n));
  std::vector<float> ours = bench::column_major(out.values(), n, n);

  std::vector<bench::PeerError> peers;
  bench::for_each_lapack([&](const bench::Lapack &lapack) {
    bench::LapackPseudoInverse pinv(lapack, static_cast<int>(n));
    std::vector<float> cm = bench::column_major(a, n, n);
    pinv.run(cm.data());
    peers.push_back({lapack.name + " sgesvd+sgemm", bench::max_norm_error(pinv.result, truth)});
  });
  Eigen::BDCSVD<Eigen::MatrixXf> svd(bench::eigen_matrix(a, n, n),
                                     Eigen::ComputeThinU | Eigen::ComputeThinV);
  const float threshold = 1e-6f * svd.singularValues().maxCoeff();
  Eigen::VectorXf inverse = svd.singularValues().unaryExpr(
      [threshold](float v) { return v > threshold ? 1.0f / v : 0.0f; });
  Eigen::MatrixXf eigen_result = svd.matrixV() * inverse.asDiagonal() * svd.matrixU().transpose();
  std::vector<float> eigen_cm(eigen_result.data(), eigen_result.data() + n * n);
  peers.push_back({"Eigen BDCSVD", bench::max_norm_error(eigen_cm, truth)});

  report.add({"getInverseMatrixUsingSVD " + bench::size_label(n),
              "max-norm error / max-norm of A⁻¹", "LAPACK dgesv",
              bench::max_norm_error(ours, truth), peers});
}

void run(bench::AccuracyReport &report) {
  for (Dims shape : bench::cases::kSvdDims) svdcmp_accuracy(report, shape);
  inverse_accuracy(report);
}

const bool registered = bench::register_accuracy_family("svd", run);

}  // namespace
