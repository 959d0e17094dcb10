// SPDX-License-Identifier: MIT
// Jacobi eigen-decomposition of a symmetric matrix (values and vectors)
// against LAPACK's ssyev (reference build and OpenBLAS, one thread) and
// Eigen's SelfAdjointEigenSolver.
#include "bench_support.h"
#include "cases.h"
#include "eigen_routines.h"
#include "lapack_calls.h"
#include "matrices.h"

#include <Eigen/Eigenvalues>

#include <memory>

namespace {

void register_jacobi(std::size_t n) {
  const std::string label = "jacobi " + bench::size_label(n);
  auto input =
      std::make_shared<std::vector<float>>(bench::symmetric_matrix(n, bench::cases::kJacobiSeed));

  struct Ours {
    explicit Ours(std::size_t order) : a(order, order), d(order), v(order, order) {}
    ts::testing::Grid a;
    ts::testing::Vec d;
    ts::testing::Grid v;
  };
  auto ours = std::make_shared<Ours>(n);
  bench::register_in_place(
      label, bench::kOurs, bench::kLight, [ours, input] { ours->a.assign(*input); },
      [ours, n] {
        int rotations = 0;
        jacobi(ours->a.p(), static_cast<int>(n), ours->d.p(), ours->v.p(), &rotations);
      });

  // Symmetric: the row-major input is its own column-major form.
  bench::for_each_lapack([&](const bench::Lapack &lapack) {
    auto solver = std::make_shared<bench::LapackSymmetricEigen>(lapack, static_cast<int>(n));
    auto a = std::make_shared<std::vector<float>>(n * n);
    bench::register_in_place(
        label, lapack.name + " ssyev", bench::kLight, [a, input] { *a = *input; },
        [solver, a] { solver->run(a->data()); });
  });

  auto eigen_input = std::make_shared<Eigen::MatrixXf>(bench::eigen_matrix(*input, n, n));
  bench::register_in_place(
      label, "Eigen SelfAdjointEigenSolver", bench::kLight, [] {},
      [eigen_input] {
        Eigen::SelfAdjointEigenSolver<Eigen::MatrixXf> solver(*eigen_input);
        benchmark::DoNotOptimize(solver.eigenvalues().data());
      });
}

}  // namespace

int main(int argc, char **argv) {
  for (std::size_t n : bench::cases::kJacobiOrders) register_jacobi(n);
  return bench::run_registered(argc, argv);
}
