// SPDX-License-Identifier: MIT
// Levenberg-Marquardt fitting: the stepping routine, the normal equations and
// the sum-of-Gaussians model.
#include "tissuesteward/nlfit.h"

#include "tissuesteward/arrays.h"
#include "tissuesteward/linsolve.h"
#include "toolkit/detail/fatal.h"
#include "toolkit/detail/messages.h"
#include "toolkit/detail/rounding.h"
#include "toolkit/simd/kernels.h"

namespace {

using ts::detail::exp_f;
using ts::detail::to_float;
using ts::detail::widen;

constexpr float kStartLambda = 0.001f;
constexpr double kAcceptFactor = 0.1;  // applied in double precision
constexpr float kRejectFactor = 10.0f;
// Fitted parameters whose derivatives mrqcof packs on the stack (4 KiB).
constexpr int kPacked = 1024;

int count_fitted(const int *ia, int ma) {
  int mfit = 0;
  for (int j = 1; j <= ma; ++j) mfit += ia[j] != 0 ? 1 : 0;
  return mfit;
}

// What a fit keeps between its calls, from the start call to the finishing
// call; null pointers mean no fit is open.
struct FitState {
  int ma = 0;
  int mfit = 0;
  float ochisq = 0.0f;  // chi-square of the last accepted parameters
  float *atry = nullptr;
  float *beta = nullptr;  // gradient at the current parameters
  float *da = nullptr;    // the step, then the gradient at the trial point
  float **oneda = nullptr;

  bool open() const { return atry != nullptr; }

  void allocate(int ma_, int mfit_) {
    ma = ma_;
    mfit = mfit_;
    atry = vector(1, ma);
    beta = vector(1, ma);
    da = vector(1, ma);
    oneda = matrix(1, mfit, 1, 1);
  }

  void release() {
    free_matrix(oneda, 1, mfit, 1, 1);
    free_vector(da, 1, ma);
    free_vector(beta, 1, ma);
    free_vector(atry, 1, ma);
    oneda = nullptr;
    da = beta = atry = nullptr;
  }
};

FitState &fit_state() {
  static FitState state;
  return state;
}

}  // namespace

void mrqcof(float x[], float y[], float sig[], int ndata, float a[], int ia[], int ma,
            float **alpha, float beta[], float *chisq, ts_model_fn funcs) {
  float *dyda = vector(1, ma);
  const int mfit = count_fitted(ia, ma);
  for (int j = 1; j <= mfit; ++j) {
    for (int k = 1; k <= j; ++k) alpha[j][k] = 0.0f;
    beta[j] = 0.0f;
  }
  *chisq = 0.0f;

  // The fitted parameters' derivatives side by side, for the vector kernel:
  // dyda itself when every parameter is fitted, else packed here (up to
  // kPacked of them; more go the plain way).
  const auto add_point = ts::simd::kernels().nlfit.add_point;
  float packed[kPacked];
  const bool all_fitted = mfit == ma;
  const bool by_kernel = all_fitted || mfit <= kPacked;
  const float *fitted = all_fitted ? dyda + 1 : packed;

  for (int i = 1; i <= ndata; ++i) {
    float ymod = 0.0f;
    funcs(x[i], a, &ymod, dyda, ma);
    const float sig2i = 1.0f / (sig[i] * sig[i]);
    const float dy = y[i] - ymod;
    if (by_kernel) {
      if (!all_fitted)
        for (int l = 1, j = 0; l <= ma; ++l)
          if (ia[l] != 0) packed[j++] = dyda[l];
      add_point(alpha, beta, fitted, sig2i, dy, mfit);
    } else {
      // Lower triangle and diagonal only, packed over the fitted parameters.
      for (int l = 1, j = 0; l <= ma; ++l) {
        if (ia[l] == 0) continue;
        ++j;
        const float wt = dyda[l] * sig2i;
        for (int m = 1, k = 0; m <= l; ++m) {
          if (ia[m] != 0) alpha[j][++k] += wt * dyda[m];
        }
        beta[j] += dy * wt;
      }
    }
    *chisq += dy * dy * sig2i;
  }

  for (int j = 2; j <= mfit; ++j) {
    for (int k = 1; k < j; ++k) alpha[k][j] = alpha[j][k];
  }
  free_vector(dyda, 1, ma);
}

void mrqmin(float x[], float y[], float sig[], int ndata, float a[], int ia[], int ma,
            float **covar, float **alpha, float *chisq, ts_model_fn funcs, float *alamda) {
  FitState &s = fit_state();
  if (*alamda < 0.0f) {
    // A start call while a fit is open abandons that fit: release its state
    // rather than lose it.
    if (s.open()) s.release();
    s.allocate(ma, count_fitted(ia, ma));
    *alamda = kStartLambda;
    mrqcof(x, y, sig, ndata, a, ia, ma, alpha, s.beta, chisq, funcs);
    s.ochisq = *chisq;
    for (int j = 1; j <= ma; ++j) s.atry[j] = a[j];
  } else if (!s.open()) {
    ts::detail::fatal(ts::msg::kMrqminNotStarted);
  }

  // Damped normal equations: alpha with its diagonal scaled by 1 + lambda.
  const int mfit = s.mfit;
  for (int j = 1; j <= mfit; ++j) {
    for (int k = 1; k <= mfit; ++k) covar[j][k] = alpha[j][k];
    covar[j][j] = to_float(widen(alpha[j][j]) * (1.0 + widen(*alamda)));
    s.oneda[j][1] = s.beta[j];
  }
  gaussj(covar, mfit, s.oneda, 1);
  for (int j = 1; j <= mfit; ++j) s.da[j] = s.oneda[j][1];

  if (*alamda == 0.0f) {
    // covar now holds the inverse of the undamped curvature.
    covsrt(covar, ma, ia, mfit);
    s.release();
    return;
  }

  for (int l = 1, j = 0; l <= ma; ++l) {
    if (ia[l] != 0) s.atry[l] = a[l] + s.da[++j];
  }
  mrqcof(x, y, sig, ndata, s.atry, ia, ma, covar, s.da, chisq, funcs);
  if (*chisq < s.ochisq) {
    *alamda = to_float(widen(*alamda) * kAcceptFactor);
    s.ochisq = *chisq;
    for (int j = 1; j <= mfit; ++j) {
      for (int k = 1; k <= mfit; ++k) alpha[j][k] = covar[j][k];
      s.beta[j] = s.da[j];
    }
    for (int l = 1; l <= ma; ++l) a[l] = s.atry[l];
  } else {
    *alamda *= kRejectFactor;
    *chisq = s.ochisq;
  }
}

void fgauss(float x, float a[], float *y, float dyda[], int na) {
  *y = 0.0f;
  for (int i = 1; i <= na - 1; i += 3) {
    const float amplitude = a[i];
    const float width = a[i + 2];
    const float u = (x - a[i + 1]) / width;
    const float e = exp_f(-u * u);
    const float t = amplitude * e;
    *y += t;
    const float f = to_float(2.0 * widen(t) * widen(u));
    dyda[i] = e;
    dyda[i + 1] = f / width;
    dyda[i + 2] = f * u / width;
  }
}
