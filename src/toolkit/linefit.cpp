// SPDX-License-Identifier: MIT
// Straight-line fit by centred sums, single precision with the uncertainties'
// quotients and square roots in double.
#include "tissuesteward/linefit.h"

#include "tissuesteward/gamma_beta_erf.h"
#include "toolkit/detail/rounding.h"

namespace {

using ts::detail::count_d;
using ts::detail::count_f;
using ts::detail::sqrt_d;
using ts::detail::sqrt_f;
using ts::detail::to_float;
using ts::detail::widen;

}  // namespace

void fit(float x[], float y[], int ndata, float sig[], int mwt, float *a, float *b, float *siga,
         float *sigb, float *chi2, float *q) {
  const bool weighted = mwt != 0;

  // Sums of weights, abscissae and ordinates, point by point.
  float ss = 0.0f;
  float sx = 0.0f;
  float sy = 0.0f;
  if (weighted) {
    for (int i = 1; i <= ndata; ++i) {
      const float wt = to_float(1.0 / widen(sig[i] * sig[i]));  // 1/0 is +inf
      ss += wt;
      sx += x[i] * wt;
      sy += y[i] * wt;
    }
  } else {
    for (int i = 1; i <= ndata; ++i) {
      sx += x[i];
      sy += y[i];
    }
    ss = count_f(ndata);
  }

  // Sums centred on the mean abscissa give the slope.
  const float mean_x = sx / ss;
  float stt = 0.0f;
  float slope_sum = 0.0f;
  for (int i = 1; i <= ndata; ++i) {
    if (weighted) {
      const float t = (x[i] - mean_x) / sig[i];
      stt += t * t;
      slope_sum += t * y[i] / sig[i];
    } else {
      const float t = x[i] - mean_x;
      stt += t * t;
      slope_sum += t * y[i];
    }
  }
  const float slope = slope_sum / stt;
  const float intercept = (sy - sx * slope) / ss;
  float sig_a = to_float(sqrt_d((1.0 + widen(sx * sx / (ss * stt))) / widen(ss)));
  float sig_b = to_float(sqrt_d(1.0 / widen(stt)));

  float chi_square = 0.0f;
  for (int i = 1; i <= ndata; ++i) {
    float residual = y[i] - intercept - slope * x[i];
    if (weighted) residual /= sig[i];
    chi_square += residual * residual;
  }

  if (!weighted) {
    // Without given uncertainties, estimate them from the scatter about the line.
    const float scatter = sqrt_f(chi_square / count_f(ndata - 2));
    sig_a *= scatter;
    sig_b *= scatter;
  }
  *a = intercept;
  *b = slope;
  *siga = sig_a;
  *sigb = sig_b;
  *chi2 = chi_square;
  *q = weighted ? gammq(to_float(0.5 * count_d(ndata - 2)), 0.5f * chi_square) : 1.0f;
}
