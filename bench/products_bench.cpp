// SPDX-License-Identifier: MIT
// Dense products against BLAS (reference build and OpenBLAS, one thread)
// and Eigen: A·B against sgemm, A·Aᵀ against ssyrk (lower triangle, which is
// all it computes; ours also mirrors it).
#include "bench_support.h"
#include "cases.h"
#include "lapack_peers.h"
#include "matrices.h"
#include "products_routines.h"

#include <memory>

namespace {

bench::Effort effort_for(std::size_t n) { return n >= 1024 ? bench::heavy(3) : bench::kLight; }

void register_matrix_matrix(std::size_t n) {
  const std::string label = "matrix_matrix_mult " + bench::size_label(n);
  const std::vector<float> &a = bench::random_matrix(n, n, bench::cases::kProductSeedA);
  const std::vector<float> &b = bench::random_matrix(n, n, bench::cases::kProductSeedB);
  const bench::Effort effort = effort_for(n);
  const int order = static_cast<int>(n);

  struct Ours {
    explicit Ours(std::size_t size)
        : a(ts::testing::Grid::zero_based(size, size)),
          b(ts::testing::Grid::zero_based(size, size)),
          z(ts::testing::Grid::zero_based(size, size)) {}
    ts::testing::Grid a, b, z;
  };
  auto ours = std::make_shared<Ours>(n);
  ours->a.assign(a);
  ours->b.assign(b);
  bench::register_in_place(
      label, bench::kOurs, effort, [] {},
      [ours, order] {
        matrix_matrix_mult(ours->a.p(), ours->b.p(), ours->z.p(), order, order, order);
      });

  // Row-major A·B is column-major Bᵀ·Aᵀ read the other way.
  auto z = std::make_shared<std::vector<float>>(n * n);
  bench::for_each_lapack([&](const bench::Lapack &blas) {
    bench::register_in_place(
        label, blas.name + " sgemm", effort, [] {},
        [&blas, &a, &b, z, order] {
          const float one = 1.0f, zero = 0.0f;
          blas.sgemm("N", "N", &order, &order, &order, &one, b.data(), &order, a.data(), &order,
                     &zero, z->data(), &order, 1, 1);
        });
  });

  auto ea = std::make_shared<Eigen::MatrixXf>(bench::eigen_matrix(a, n, n));
  auto eb = std::make_shared<Eigen::MatrixXf>(bench::eigen_matrix(b, n, n));
  auto ez = std::make_shared<Eigen::MatrixXf>(n, n);
  bench::register_in_place(
      label, "Eigen", effort, [] {}, [ea, eb, ez] { ez->noalias() = *ea * *eb; });
}

void register_row_products(std::size_t n) {
  const std::string label = "transposematrix_matrix_mult " + bench::size_label(n);
  const std::vector<float> &a = bench::random_matrix(n, n, bench::cases::kProductSeedA);
  const int order = static_cast<int>(n);

  struct Ours {
    explicit Ours(std::size_t size)
        : a(ts::testing::Grid::zero_based(size, size)),
          z(ts::testing::Grid::zero_based(size, size)) {}
    ts::testing::Grid a, z;
  };
  auto ours = std::make_shared<Ours>(n);
  ours->a.assign(a);
  bench::register_in_place(
      label, bench::kOurs, bench::kLight, [] {},
      [ours, order] { transposematrix_matrix_mult(ours->a.p(), ours->z.p(), order, order); });

  // Row-major A (n × m) is column-major Aᵀ: ssyrk with trans = T forms A·Aᵀ.
  auto z = std::make_shared<std::vector<float>>(n * n);
  bench::for_each_lapack([&](const bench::Lapack &blas) {
    bench::register_in_place(
        label, blas.name + " ssyrk", bench::kLight, [] {},
        [&blas, &a, z, order] {
          const float one = 1.0f, zero = 0.0f;
          blas.ssyrk("L", "T", &order, &order, &one, a.data(), &order, &zero, z->data(), &order, 1,
                     1);
        });
  });

  auto ea = std::make_shared<Eigen::MatrixXf>(bench::eigen_matrix(a, n, n));
  auto ez = std::make_shared<Eigen::MatrixXf>(n, n);
  bench::register_in_place(
      label, "Eigen", bench::kLight, [ez] { ez->setZero(); },
      [ea, ez] { ez->selfadjointView<Eigen::Lower>().rankUpdate(*ea); });
}

}  // namespace

int main(int argc, char **argv) {
  for (std::size_t n : bench::cases::kProductOrders) register_matrix_matrix(n);
  for (std::size_t n : bench::cases::kRowProductOrders) register_row_products(n);
  return bench::run_registered(argc, argv);
}
