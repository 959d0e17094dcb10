// SPDX-License-Identifier: MIT
// Singular value decomposition and the pseudo-inverse built on it, against
// LAPACK's sgesvd (reference build and OpenBLAS, one thread) and Eigen's
// BDCSVD. Every implementation returns U (thin), the singular values and V.
#include "bench_support.h"
#include "cases.h"
#include "lapack_calls.h"
#include "matrices.h"
#include "svd_routines.h"

#include <Eigen/SVD>

#include <memory>

namespace {

using bench::cases::Dims;

bench::Effort effort_for(std::size_t m, std::size_t n) {
  return m * n >= 512 * 512 ? bench::heavy(3) : bench::kLight;
}

void register_svdcmp(Dims shape) {
  const std::size_t m = shape.m, n = shape.n;
  const std::string label = "svdcmp " + bench::shape_label(m, n);
  const std::vector<float> &input = bench::random_matrix(m, n, bench::cases::kSvdSeed);
  const bench::Effort effort = effort_for(m, n);

  struct Ours {
    Ours(std::size_t rows, std::size_t cols) : a(rows, cols), w(cols), v(cols, cols) {}
    ts::testing::Grid a;
    ts::testing::Vec w;
    ts::testing::Grid v;
  };
  auto ours = std::make_shared<Ours>(m, n);
  bench::register_in_place(
      label, bench::kOurs, effort, [ours, &input] { ours->a.assign(input); },
      [ours, m, n] {
        svdcmp(ours->a.p(), static_cast<int>(m), static_cast<int>(n), ours->w.p(), ours->v.p());
      });

  auto column_major = std::make_shared<std::vector<float>>(bench::column_major(input, m, n));
  bench::for_each_lapack([&](const bench::Lapack &lapack) {
    auto svd = std::make_shared<bench::LapackSvd>(lapack, static_cast<int>(m), static_cast<int>(n));
    auto a = std::make_shared<std::vector<float>>(m * n);
    bench::register_in_place(
        label, lapack.name + " sgesvd", effort, [a, column_major] { *a = *column_major; },
        [svd, a] { svd->run(a->data()); });
  });

  auto eigen_input = std::make_shared<Eigen::MatrixXf>(bench::eigen_matrix(input, m, n));
  bench::register_in_place(
      label, "Eigen BDCSVD", effort, [] {},
      [eigen_input] {
        Eigen::BDCSVD<Eigen::MatrixXf> svd(*eigen_input, Eigen::ComputeThinU | Eigen::ComputeThinV);
        benchmark::DoNotOptimize(svd.singularValues().data());
      });
}

void register_inverse() {
  const std::size_t n = bench::cases::kInverseOrder;
  const std::string label = "getInverseMatrixUsingSVD " + bench::size_label(n);
  const std::vector<float> &input = bench::random_matrix(n, n, bench::cases::kInverseSeed);

  struct Ours {
    explicit Ours(std::size_t order)
        : a(ts::testing::Grid::zero_based(order, order)),
          r(ts::testing::Grid::zero_based(order, order)) {}
    ts::testing::Grid a, r;
  };
  auto ours = std::make_shared<Ours>(n);
  ours->a.assign(input);  // read only
  bench::register_in_place(
      label, bench::kOurs, bench::kLight, [] {},
      [ours, n] { getInverseMatrixUsingSVD(ours->a.p(), ours->r.p(), static_cast<int>(n)); });

  auto column_major = std::make_shared<std::vector<float>>(bench::column_major(input, n, n));
  bench::for_each_lapack([&](const bench::Lapack &lapack) {
    auto pinv = std::make_shared<bench::LapackPseudoInverse>(lapack, static_cast<int>(n));
    auto a = std::make_shared<std::vector<float>>(n * n);
    bench::register_in_place(
        label, lapack.name + " sgesvd+sgemm", bench::kLight,
        [a, column_major] { *a = *column_major; }, [pinv, a] { pinv->run(a->data()); });
  });

  auto eigen_input = std::make_shared<Eigen::MatrixXf>(bench::eigen_matrix(input, n, n));
  auto eigen_result = std::make_shared<Eigen::MatrixXf>(n, n);
  bench::register_in_place(
      label, "Eigen BDCSVD", bench::kLight, [] {},
      [eigen_input, eigen_result] {
        Eigen::BDCSVD<Eigen::MatrixXf> svd(*eigen_input, Eigen::ComputeThinU | Eigen::ComputeThinV);
        const Eigen::VectorXf &s = svd.singularValues();
        const float threshold = 1e-6f * s.maxCoeff();
        Eigen::VectorXf inverse =
            s.unaryExpr([threshold](float v) { return v > threshold ? 1.0f / v : 0.0f; });
        eigen_result->noalias() = svd.matrixV() * inverse.asDiagonal() * svd.matrixU().transpose();
      });
}

}  // namespace

int main(int argc, char **argv) {
  for (Dims shape : bench::cases::kSvdDims) register_svdcmp(shape);
  register_inverse();
  return bench::run_registered(argc, argv);
}
