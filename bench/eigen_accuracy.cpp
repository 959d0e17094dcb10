// SPDX-License-Identifier: MIT
// jacobi against LAPACK dsyev in double on the benchmark inputs: eigenvalues
// (sorted) and the residual of A·V = V·diag(d) (vectors are free up to sign).
#include "accuracy.h"
#include "cases.h"
#include "eigen_routines.h"
#include "lapack_calls.h"
#include "matrices.h"

#include <Eigen/Eigenvalues>

namespace {

// Eigenvalues d and eigenvectors as the columns of row-major v (n x n).
struct Decomposition {
  std::vector<double> d, v;
};

std::vector<double> sorted(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values;
}

// max |A·v_k - d_k·v_k| / max |A|, in FLT_EPSILON, products in double.
double residual(const std::vector<float> &a, const Decomposition &e, std::size_t n) {
  double worst = 0.0, scale = 0.0;
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t k = 0; k < n; ++k) {
      double s = 0.0;
      for (std::size_t j = 0; j < n; ++j) s += a[i * n + j] * e.v[j * n + k];
      worst = std::max(worst, std::fabs(s - e.d[k] * e.v[i * n + k]));
    }
  for (float x : a) scale = std::max(scale, static_cast<double>(std::fabs(x)));
  return worst / scale / FLT_EPSILON;
}

void jacobi_accuracy(bench::AccuracyReport &report, std::size_t n) {
  const std::vector<float> a = bench::symmetric_matrix(n, bench::cases::kJacobiSeed);
  int ni = static_cast<int>(n), lwork = -1, info = 0;
  std::vector<double> wide(a.begin(), a.end()), truth(n);
  double query = 0;
  dsyev_("N", "U", &ni, wide.data(), &ni, truth.data(), &query, &lwork, &info, 1, 1);
  std::vector<double> work(static_cast<std::size_t>(query));
  lwork = static_cast<int>(work.size());
  dsyev_("N", "U", &ni, wide.data(), &ni, truth.data(), work.data(), &lwork, &info, 1, 1);

  ts::testing::Grid ours_a(n, n), ours_v(n, n);
  ts::testing::Vec ours_d(n);
  ours_a.assign(a);
  int rotations = 0;
  jacobi(ours_a.p(), ni, ours_d.p(), ours_v.p(), &rotations);
  Decomposition ours{std::vector<double>(n), std::vector<double>(n * n)};
  for (std::size_t k = 0; k < n; ++k) {
    ours.d[k] = ours_d[k + 1];
    for (std::size_t i = 0; i < n; ++i) ours.v[i * n + k] = ours_v[i + 1][k + 1];
  }

  std::vector<std::pair<std::string, Decomposition>> peers;
  bench::for_each_lapack([&](const bench::Lapack &lapack) {
    bench::LapackSymmetricEigen solver(lapack, ni);
    std::vector<float> cm(a);  // symmetric
    solver.run(cm.data());
    Decomposition e{std::vector<double>(solver.w.begin(), solver.w.end()),
                    std::vector<double>(n * n)};
    for (std::size_t k = 0; k < n; ++k)
      for (std::size_t i = 0; i < n; ++i) e.v[i * n + k] = cm[k * n + i];
    peers.emplace_back(lapack.name + " ssyev", std::move(e));
  });
  Eigen::SelfAdjointEigenSolver<Eigen::MatrixXf> solver(bench::eigen_matrix(a, n, n));
  Decomposition eigen{std::vector<double>(n), std::vector<double>(n * n)};
  for (std::size_t k = 0; k < n; ++k) {
    eigen.d[k] = solver.eigenvalues()(k);
    for (std::size_t i = 0; i < n; ++i) eigen.v[i * n + k] = solver.eigenvectors()(i, k);
  }
  peers.emplace_back("Eigen SelfAdjointEigenSolver", std::move(eigen));

  std::vector<bench::PeerError> value_peers, residual_peers;
  for (const auto &[name, e] : peers) {
    value_peers.push_back({name, bench::max_norm_error(sorted(e.d), truth)});
    residual_peers.push_back({name, residual(a, e, n)});
  }
  const std::string label = "jacobi " + bench::size_label(n);
  report.add({label + " eigenvalues", "max error / largest |eigenvalue|", "LAPACK dsyev",
              bench::max_norm_error(sorted(ours.d), truth), value_peers});
  report.add({label + " A·V - V·D", "max |A·V - V·D| / max |A| (in double)", "zero",
              residual(a, ours, n), residual_peers});
}

void run(bench::AccuracyReport &report) {
  for (std::size_t n : bench::cases::kJacobiOrders) jacobi_accuracy(report, n);
}

const bool registered = bench::register_accuracy_family("eigen", run);

}  // namespace
