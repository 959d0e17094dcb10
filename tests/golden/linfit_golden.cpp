// SPDX-License-Identifier: MIT
// Linear least squares by SVD and the polynomial basis: exact, noisy,
// ill-conditioned, rank-deficient and underdetermined designs.
#include <string>

#include "golden.h"
#include "tissuesteward/linfit.h"

namespace ts::testing {
namespace {

const Register fpoly_powers("fpoly", "powers", [](Digest &d) {
  const float xs[] = {2.0f, 0.0f, -0.0f, 1.0f, -1.0f, 0.5f, -3.0f, 1e-20f, 1e20f, 0.1f, NAN};
  for (float x : xs)
    for (int np : {-1, 0, 1, 2, 4, 12}) {
      Vec p(1, 12);
      fpoly(x, p.p(), np);
      p.digest(d);
    }
});

// Chebyshev polynomials T_0..T_(ma-1) by their recurrence: a basis whose
// design matrix is well conditioned on [-1, 1].
void chebyshev(float x, float p[], int ma) {
  p[1] = 1.0f;
  if (ma > 1) p[2] = x;
  for (int j = 3; j <= ma; ++j) p[j] = 2.0f * x * p[j - 1] - p[j - 2];
}

// 1, x, x, x²: the second and third functions are the same, so the design has
// rank ma - 1 and one singular value is dropped.
void repeated(float x, float p[], int ma) {
  p[1] = 1.0f;
  p[2] = x;
  p[3] = x;
  for (int j = 4; j <= ma; ++j) p[j] = p[j - 1] * x;
}

struct Data {
  int n;
  Vec x, y, sig;
  explicit Data(int count) : n(count), x(1, count), y(1, count), sig(1, count) {}
};

void run_svdfit(Digest &d, Data &data, int ma, BasisFunctions basis) {
  Vec a(1, ma), w(1, ma);
  Grid u(data.n, ma), v(ma, ma);
  float chisq = kGuard;
  svdfit(data.x.p(), data.y.p(), data.sig.p(), data.n, a.p(), ma, u.p(), v.p(), w.p(), &chisq,
         basis);
  a.digest(d);
  w.digest(d);
  u.digest(d);
  v.digest(d);
  d.value(chisq);
  data.x.digest(d);
  data.y.digest(d);
  data.sig.digest(d);
}

// n points on [lo, hi) with y = poly(x) + noise·unit, sig from [sig_lo, sig_hi).
template <class Poly>
void make_points(Data &data, std::uint64_t seed, float lo, float hi, Poly poly, float noise,
                 float sig_lo, float sig_hi) {
  Source src(seed);
  for (int i = 1; i <= data.n; ++i) {
    data.x[i] = src.in(lo, hi);
    data.y[i] = poly(data.x[i]) + noise * src.signed_unit();
    data.sig[i] = src.in(sig_lo, sig_hi);
  }
}

const bool svdfit_cases = [] {
  Register("svdfit", "exact_line_5", [](Digest &d) {
    Data data(5);
    for (int i = 1; i <= 5; ++i) {
      data.x[i] = static_cast<float>(i - 1);
      data.y[i] = 1.0f + 2.0f * data.x[i];
      data.sig[i] = 1.0f;
    }
    run_svdfit(d, data, 2, fpoly);
  });
  Register("svdfit", "cubic_50_noisy", [](Digest &d) {
    Data data(50);
    make_points(
        data, 201, -2.0f, 3.0f, [](float x) { return 0.5f - x + 0.25f * x * x * x; }, 0.1f, 0.05f,
        0.2f);
    run_svdfit(d, data, 4, fpoly);
  });
  Register("svdfit", "degree_7_1000_ill_conditioned", [](Digest &d) {
    Data data(1000);
    make_points(
        data, 202, 0.0f, 10.0f, [](float x) { return 3.0f - 0.01f * x * x; }, 0.5f, 0.5f, 1.5f);
    run_svdfit(d, data, 8, fpoly);
  });
  Register("svdfit", "chebyshev_400", [](Digest &d) {
    Data data(400);
    make_points(
        data, 203, -1.0f, 1.0f, [](float x) { return x * (1.0f - x); }, 0.01f, 0.01f, 0.02f);
    run_svdfit(d, data, 6, chebyshev);
  });
  Register("svdfit", "repeated_basis_function_30", [](Digest &d) {
    Data data(30);
    make_points(
        data, 204, -1.0f, 2.0f, [](float x) { return 2.0f + x; }, 0.05f, 0.1f, 0.1f);
    run_svdfit(d, data, 4, repeated);
  });
  Register("svdfit", "fewer_points_than_functions", [](Digest &d) {
    Data data(3);
    make_points(
        data, 205, -1.0f, 1.0f, [](float x) { return x; }, 0.0f, 1.0f, 2.0f);
    run_svdfit(d, data, 5, fpoly);
  });
  Register("svdfit", "zero_ordinates", [](Digest &d) {
    Data data(12);
    make_points(
        data, 206, 0.0f, 1.0f, [](float) { return 0.0f; }, 0.0f, 1.0f, 1.0f);
    run_svdfit(d, data, 3, fpoly);
  });
  Register("svdfit", "tiny_and_huge_deviations", [](Digest &d) {
    Data data(20);
    make_points(
        data, 207, -1.0f, 1.0f, [](float x) { return 1.0f - x; }, 0.01f, 1.0f, 1.0f);
    for (int i = 1; i <= 20; ++i) data.sig[i] = (i % 2) ? 1e-12f : 1e12f;
    run_svdfit(d, data, 3, fpoly);
  });
  Register("svdfit", "zero_design", [](Digest &d) {
    // Every basis value is 0, so the largest singular value and the
    // threshold are 0 and nothing is dropped.
    Data data(4);
    make_points(
        data, 208, 0.0f, 1.0f, [](float x) { return x; }, 0.0f, 1.0f, 1.0f);
    run_svdfit(d, data, 2, [](float, float p[], int ma) {
      for (int j = 1; j <= ma; ++j) p[j] = 0.0f;
    });
  });
  return true;
}();

}  // namespace
}  // namespace ts::testing
