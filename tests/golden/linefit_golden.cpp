// SPDX-License-Identifier: MIT
// Straight-line fit, unweighted and weighted, from two points to 10^4, with
// equal abscissae, zero and extreme deviations and a large abscissa offset.
#include <string>

#include "golden.h"
#include "tissuesteward/linefit.h"

namespace ts::testing {
namespace {

struct Points {
  int n;
  Vec x, y, sig;
  explicit Points(int count) : n(count), x(1, count), y(1, count), sig(1, count) {}
};

// mwt as given; a null sig when unweighted and null_sig is set.
void run_fit(Digest &d, Points &pts, int mwt, bool null_sig = false) {
  float out[6];
  for (float &o : out) o = kGuard;
  fit(pts.x.p(), pts.y.p(), pts.n, null_sig ? nullptr : pts.sig.p(), mwt, &out[0], &out[1], &out[2],
      &out[3], &out[4], &out[5]);
  for (float o : out) d.value(o);
  pts.x.digest(d);
  pts.y.digest(d);
  pts.sig.digest(d);
}

// y = a + b·x + noise, x on [lo, hi), sig on [sig_lo, sig_hi).
void scatter(Points &pts, std::uint64_t seed, float lo, float hi, float a, float b, float noise,
             float sig_lo, float sig_hi) {
  Source src(seed);
  for (int i = 1; i <= pts.n; ++i) {
    pts.x[i] = src.in(lo, hi);
    pts.y[i] = a + b * pts.x[i] + noise * src.signed_unit();
    pts.sig[i] = src.in(sig_lo, sig_hi);
  }
}

const bool fit_cases = [] {
  for (int mwt : {0, 1}) {
    const std::string kind = mwt ? "weighted_" : "unweighted_";
    Register("fit", kind + "exact_3", [mwt](Digest &d) {
      Points pts(3);
      for (int i = 1; i <= 3; ++i) {
        pts.x[i] = static_cast<float>(i - 1);
        pts.y[i] = 1.0f + 2.0f * pts.x[i];
        pts.sig[i] = 1.0f;
      }
      run_fit(d, pts, mwt);
    });
    for (int n : {3, 100, 10000})
      Register("fit", kind + "noisy_" + std::to_string(n), [mwt, n](Digest &d) {
        Points pts(n);
        scatter(pts, 400 + n, -5.0f, 5.0f, 0.75f, -1.25f, 0.3f, 0.1f, 0.6f);
        run_fit(d, pts, mwt);
      });
    Register("fit", kind + "offset_abscissae", [mwt](Digest &d) {
      Points pts(50);
      scatter(pts, 401, 1e4f, 1e4f + 10.0f, 3.0f, 0.5f, 0.01f, 0.02f, 0.05f);
      run_fit(d, pts, mwt);
    });
    Register("fit", kind + "equal_abscissae", [mwt](Digest &d) {
      Points pts(5);
      scatter(pts, 402, 0.0f, 1.0f, 1.0f, 1.0f, 0.5f, 1.0f, 2.0f);
      for (int i = 1; i <= 5; ++i) pts.x[i] = 2.5f;
      run_fit(d, pts, mwt);
    });
    Register("fit", kind + "tiny_and_huge_values", [mwt](Digest &d) {
      Points pts(8);
      scatter(pts, 403, -1.0f, 1.0f, 1e-20f, 1e20f, 1e19f, 1e-10f, 1e10f);
      run_fit(d, pts, mwt);
    });
  }
  Register("fit", "unweighted_two_points", [](Digest &d) {
    Points pts(2);
    scatter(pts, 410, 0.0f, 1.0f, 1.0f, 2.0f, 0.0f, 1.0f, 1.0f);
    run_fit(d, pts, 0);
  });
  Register("fit", "unweighted_one_and_no_points", [](Digest &d) {
    Points one(1), none(0);
    scatter(one, 411, 0.0f, 1.0f, 1.0f, 2.0f, 0.0f, 1.0f, 1.0f);
    run_fit(d, one, 0);
    run_fit(d, none, 0);
  });
  Register("fit", "unweighted_null_deviations", [](Digest &d) {
    Points pts(20);
    scatter(pts, 412, -1.0f, 1.0f, 0.0f, 1.0f, 0.1f, 1.0f, 1.0f);
    run_fit(d, pts, 0, true);
  });
  Register("fit", "weighted_zero_deviation", [](Digest &d) {
    Points pts(6);
    scatter(pts, 413, -1.0f, 1.0f, 0.0f, 1.0f, 0.1f, 0.5f, 1.0f);
    pts.sig[4] = 0.0f;
    run_fit(d, pts, 1);
  });
  Register("fit", "any_nonzero_switch_weights", [](Digest &d) {
    Points pts(12);
    scatter(pts, 414, -3.0f, 3.0f, 2.0f, 0.5f, 0.2f, 0.1f, 0.3f);
    run_fit(d, pts, 2);
    run_fit(d, pts, -1);
  });
  return true;
}();

}  // namespace
}  // namespace ts::testing
