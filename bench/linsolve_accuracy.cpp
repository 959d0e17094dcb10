// SPDX-License-Identifier: MIT
// gaussj against LAPACK dgesv in double on the benchmark inputs: the inverse
// and the solution of one right-hand side.
#include "accuracy.h"
#include "cases.h"
#include "lapack_calls.h"
#include "linsolve_routines.h"
#include "matrices.h"

namespace {

void gaussj_accuracy(bench::AccuracyReport &report, std::size_t n) {
  const std::vector<float> &a = bench::random_matrix(n, n, bench::cases::kGaussjSeed);
  const std::vector<float> &rhs = bench::uniform_floats(n, bench::cases::kGaussjRhsSeed);

  // Truth: column-major [I | b] solved in double gives [A⁻¹ | x].
  std::vector<double> lu = bench::column_major<double>(a, n, n);
  std::vector<double> truth(n * (n + 1), 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    truth[i * n + i] = 1.0;
    truth[n * n + i] = rhs[i];
  }
  std::vector<int> pivots(n);
  int ni = static_cast<int>(n), columns = ni + 1, info = 0;
  dgesv_(&ni, &columns, lu.data(), &ni, pivots.data(), truth.data(), &ni, &info);
  std::vector<double> truth_inverse(truth.begin(), truth.begin() + n * n);
  std::vector<double> truth_x(truth.begin() + n * n, truth.end());

  ts::testing::Grid ours_a(n, n), ours_b(n, 1);
  ours_a.assign(a);
  ours_b.assign(rhs);
  gaussj(ours_a.p(), ni, ours_b.p(), 1);
  std::vector<float> ours_inverse = bench::column_major(ours_a.values(), n, n);
  std::vector<float> ours_x = ours_b.values();

  std::vector<bench::PeerError> inverse_peers, x_peers;
  bench::for_each_lapack([&](const bench::Lapack &lapack) {
    bench::LapackSolveInvert solver(lapack, ni);
    std::vector<float> cm = bench::column_major(a, n, n);
    std::vector<float> x(rhs);
    solver.run(cm.data(), x.data());
    const std::string name = lapack.name + " sgesv+sgetri";
    inverse_peers.push_back({name, bench::max_norm_error(cm, truth_inverse)});
    x_peers.push_back({name, bench::max_norm_error(x, truth_x)});
  });

  const std::string label = "gaussj " + bench::size_label(n);
  report.add({label + " inverse", "max-norm error / max-norm of A⁻¹", "LAPACK dgesv",
              bench::max_norm_error(ours_inverse, truth_inverse), inverse_peers});
  report.add({label + " solution", "max-norm error / max-norm of x", "LAPACK dgesv",
              bench::max_norm_error(ours_x, truth_x), x_peers});
}

void run(bench::AccuracyReport &report) {
  for (std::size_t n : bench::cases::kGaussjOrders) gaussj_accuracy(report, n);
}

const bool registered = bench::register_accuracy_family("linsolve", run);

}  // namespace
