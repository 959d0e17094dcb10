// SPDX-License-Identifier: MIT
// Levenberg-Marquardt: the Gaussian-peaks model, chi-square with its
// gradient and curvature under every flag pattern, and whole fits through
// mrqmin (start call, accepted and rejected steps, a NaN trial, a restart
// while a fit is open, finishing call), digested after every call.
#include <string>
#include <vector>

#include "golden.h"
#include "tissuesteward/nlfit.h"

namespace ts::testing {
namespace {

void run_fgauss(Digest &d, float x, const std::vector<float> &params) {
  const int na = static_cast<int>(params.size());
  Vec a(1, na), dyda(1, na);
  for (int i = 1; i <= na; ++i) a[i] = params[static_cast<std::size_t>(i - 1)];
  float y = kGuard;
  fgauss(x, a.p(), &y, dyda.p(), na);
  d.value(y);
  dyda.digest(d);
}

const bool fgauss_cases = [] {
  Register("fgauss", "one_peak_at_centre", [](Digest &d) {
    run_fgauss(d, 2.0f, {3.0f, 2.0f, 0.5f});
  });
  Register("fgauss", "three_peaks_grid", [](Digest &d) {
    for (int k = -200; k <= 1200; ++k)
      run_fgauss(d, static_cast<float>(k) * 0.01f,
                 {1.0f, 1.0f, 0.3f, -2.0f, 4.5f, 1.5f, 0.5f, 9.0f, -0.7f});
  });
  Register("fgauss", "zero_width_and_far_tails", [](Digest &d) {
    run_fgauss(d, 1.0f, {1.0f, 1.0f, 0.0f});
    run_fgauss(d, 1.5f, {1.0f, 1.0f, 0.0f});
    run_fgauss(d, 1e3f, {1.0f, 0.0f, 1.0f});
    run_fgauss(d, 1e20f, {1.0f, 0.0f, 1.0f});
  });
  Register("fgauss", "no_peaks", [](Digest &d) { run_fgauss(d, 0.5f, {}); });
  return true;
}();

// y = a1 / (1 + a2 x²) + a3.
void rational(float x, float a[], float *y, float dyda[], int) {
  const float x2 = x * x, den = 1.0f + a[2] * x2;
  *y = a[1] / den + a[3];
  dyda[1] = 1.0f / den;
  dyda[2] = -a[1] * x2 / (den * den);
  dyda[3] = 1.0f;
}

// y = a1 x + a2.
void line(float x, float a[], float *y, float dyda[], int) {
  *y = a[1] * x + a[2];
  dyda[1] = x;
  dyda[2] = 1.0f;
}

// The same line, but NaN wherever a1 > 2: fitted to data of slope 2.4, every
// trial past 2 has a NaN chi-square and must be rejected.
void capped_line(float x, float a[], float *y, float dyda[], int ma) {
  line(x, a, y, dyda, ma);
  if (a[1] > 2.0f) *y = NAN;
}

struct Data {
  int n;
  Vec x, y, sig;
  explicit Data(int count) : n(count), x(1, count), y(1, count), sig(1, count) {}
};

// Points of a model on an even grid over [lo, hi), with noise and sig.
Data make_data(int n, float lo, float hi, ts_model_fn model, const std::vector<float> &truth,
               float noise, std::uint64_t seed) {
  Data data(n);
  Source src(seed);
  const int ma = static_cast<int>(truth.size());
  Vec a(1, ma), dyda(1, ma);
  for (int i = 1; i <= ma; ++i) a[i] = truth[static_cast<std::size_t>(i - 1)];
  for (int i = 1; i <= n; ++i) {
    data.x[i] = lo + (hi - lo) * static_cast<float>(i - 1) / static_cast<float>(n);
    float y = 0.0f;
    model(data.x[i], a.p(), &y, dyda.p(), ma);
    data.y[i] = y + noise * src.signed_unit();
    data.sig[i] = noise > 0.0f ? noise * src.in(0.5f, 1.5f) : 1.0f;
  }
  return data;
}

Data &two_peaks() {
  static Data data =
      make_data(200, 0.0f, 10.0f, fgauss, {3.0f, 3.0f, 0.8f, 1.5f, 6.5f, 1.2f}, 0.05f, 1500);
  return data;
}
Data &bump() {
  static Data data = make_data(60, -3.0f, 3.0f, rational, {2.0f, 1.5f, -0.5f}, 0.02f, 1501);
  return data;
}
Data &slope_three() {
  static Data data = make_data(30, -1.0f, 2.0f, line, {2.4f, 0.5f}, 0.1f, 1502);
  return data;
}

Cells<int> flags_of(const std::vector<int> &flags) {
  Cells<int> ia(1, static_cast<long>(flags.size()));
  for (std::size_t j = 0; j < flags.size(); ++j) ia[static_cast<long>(j) + 1] = flags[j];
  return ia;
}

void run_mrqcof(Digest &d, Data &data, ts_model_fn model, const std::vector<float> &params,
                const std::vector<int> &flags) {
  const int ma = static_cast<int>(params.size());
  Vec a(1, ma), beta(1, ma);
  Grid alpha(ma, ma);
  Cells<int> ia = flags_of(flags);
  for (int i = 1; i <= ma; ++i) a[i] = params[static_cast<std::size_t>(i - 1)];
  float chisq = kGuard;
  mrqcof(data.x.p(), data.y.p(), data.sig.p(), data.n, a.p(), ia.p(), ma, alpha.p(), beta.p(),
         &chisq, model);
  d.value(chisq);
  beta.digest(d);
  alpha.digest(d);
  a.digest(d);
}

const bool mrqcof_cases = [] {
  const std::vector<float> start = {2.5f, 3.3f, 1.0f, 1.0f, 6.0f, 1.5f};
  const std::pair<const char *, std::vector<int>> patterns[] = {
      {"all_fitted", {1, 1, 1, 1, 1, 1}},
      {"some_held", {1, 0, 1, 1, 0, 1}},
      {"one_fitted", {0, 0, 0, 0, 1, 0}},
      {"none_fitted", {0, 0, 0, 0, 0, 0}},
  };
  for (const auto &[name, flags] : patterns)
    Register("mrqcof", std::string("two_peaks_") + name, [start, flags = flags](Digest &d) {
      run_mrqcof(d, two_peaks(), fgauss, start, flags);
    });
  Register("mrqcof", "rational_at_truth_and_away", [](Digest &d) {
    run_mrqcof(d, bump(), rational, {2.0f, 1.5f, -0.5f}, {1, 1, 1});
    run_mrqcof(d, bump(), rational, {1.0f, 0.2f, 0.0f}, {1, 1, 1});
  });
  Register("mrqcof", "single_point", [](Digest &d) {
    Data one(1);
    one.x[1] = 0.25f, one.y[1] = 1.0f, one.sig[1] = 0.5f;
    run_mrqcof(d, one, rational, {1.0f, 2.0f, 0.0f}, {1, 0, 1});
  });
  return true;
}();

// One fit through mrqmin: the start call, `steps` steps and the finishing
// call, with a, chi-square, lambda, covar and alpha digested after each.
class Fit {
 public:
  Fit(Data &data, ts_model_fn model, const std::vector<float> &start, const std::vector<int> &flags)
      : data_(data),
        model_(model),
        ma_(static_cast<int>(start.size())),
        a_(1, ma_),
        ia_(flags_of(flags)),
        covar_(ma_, ma_),
        alpha_(ma_, ma_) {
    for (int i = 1; i <= ma_; ++i) a_[i] = start[static_cast<std::size_t>(i - 1)];
  }
  void call(Digest &d, float alamda) {
    alamda_ = alamda;
    call(d);
  }
  void call(Digest &d) {
    mrqmin(data_.x.p(), data_.y.p(), data_.sig.p(), data_.n, a_.p(), ia_.p(), ma_, covar_.p(),
           alpha_.p(), &chisq_, model_, &alamda_);
    d.value(alamda_);
    d.value(chisq_);
    a_.digest(d);
    covar_.digest(d);
    alpha_.digest(d);
  }
  void whole(Digest &d, int steps) {
    call(d, -1.0f);
    for (int s = 0; s < steps; ++s) call(d);
    call(d, 0.0f);
  }

 private:
  Data &data_;
  ts_model_fn model_;
  int ma_;
  Vec a_;
  Cells<int> ia_;
  Grid covar_, alpha_;
  float chisq_ = kGuard, alamda_ = kGuard;
};

const bool mrqmin_cases = [] {
  const std::vector<float> start = {2.5f, 3.3f, 1.0f, 1.0f, 6.0f, 1.5f};
  Register("mrqmin", "two_peaks_all_fitted", [start](Digest &d) {
    Fit(two_peaks(), fgauss, start, {1, 1, 1, 1, 1, 1}).whole(d, 12);
  });
  Register("mrqmin", "two_peaks_some_held", [start](Digest &d) {
    Fit(two_peaks(), fgauss, start, {1, 0, 1, 1, 1, 0}).whole(d, 8);
  });
  Register("mrqmin", "two_peaks_far_start", [](Digest &d) {
    // Far from the peaks: rejected steps before the first accepted one.
    Fit(two_peaks(), fgauss, {0.5f, 4.5f, 3.0f, 0.2f, 8.0f, 0.4f}, {1, 1, 1, 1, 1, 1}).whole(d, 15);
  });
  Register("mrqmin", "rational", [](Digest &d) {
    Fit(bump(), rational, {1.0f, 0.5f, 0.0f}, {1, 1, 1}).whole(d, 10);
  });
  Register("mrqmin", "nan_trial_rejected", [](Digest &d) {
    Fit(slope_three(), capped_line, {0.0f, 0.0f}, {1, 1}).whole(d, 6);
  });
  Register("mrqmin", "converged_steps_rejected", [](Digest &d) {
    // Many steps past convergence: chi-square stops falling and lambda grows.
    Fit(bump(), rational, {2.0f, 1.5f, -0.5f}, {1, 1, 1}).whole(d, 25);
  });
  Register("mrqmin", "restart_while_open", [start](Digest &d) {
    Fit first(two_peaks(), fgauss, start, {1, 1, 1, 1, 1, 1});
    first.call(d, -1.0f);
    first.call(d);
    Fit second(bump(), rational, {1.0f, 0.5f, 0.0f}, {1, 0, 1});
    second.whole(d, 4);
  });
  return true;
}();

}  // namespace
}  // namespace ts::testing
