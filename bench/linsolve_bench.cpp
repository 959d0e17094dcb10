// SPDX-License-Identifier: MIT
// Gauss-Jordan elimination (inverse plus one right-hand side) against
// LAPACK's sgesv + sgetri, reference build and OpenBLAS on one thread.
#include "bench_support.h"
#include "cases.h"
#include "lapack_calls.h"
#include "linsolve_routines.h"
#include "matrices.h"

#include <memory>

namespace {

void register_gaussj(std::size_t n) {
  const std::string label = "gaussj " + bench::size_label(n);
  const std::vector<float> &input = bench::random_matrix(n, n, bench::cases::kGaussjSeed);
  const std::vector<float> &rhs = bench::uniform_floats(n, bench::cases::kGaussjRhsSeed);

  struct Ours {
    explicit Ours(std::size_t order) : a(order, order), b(order, 1) {}
    ts::testing::Grid a, b;
  };
  auto ours = std::make_shared<Ours>(n);
  bench::register_in_place(
      label, bench::kOurs, bench::kLight,
      [ours, &input, &rhs] {
        ours->a.assign(input);
        ours->b.assign(rhs);
      },
      [ours, n] { gaussj(ours->a.p(), static_cast<int>(n), ours->b.p(), 1); });

  auto column_major = std::make_shared<std::vector<float>>(bench::column_major(input, n, n));
  bench::for_each_lapack([&](const bench::Lapack &lapack) {
    auto solver = std::make_shared<bench::LapackSolveInvert>(lapack, static_cast<int>(n));
    auto a = std::make_shared<std::vector<float>>(n * n);
    auto b = std::make_shared<std::vector<float>>(n);
    bench::register_in_place(
        label, lapack.name + " sgesv+sgetri", bench::kLight,
        [a, b, column_major, &rhs] {
          *a = *column_major;
          *b = rhs;
        },
        [solver, a, b] { solver->run(a->data(), b->data()); });
  });
}

}  // namespace

int main(int argc, char **argv) {
  for (std::size_t n : bench::cases::kGaussjOrders) register_gaussj(n);
  return bench::run_registered(argc, argv);
}
