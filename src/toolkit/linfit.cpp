// SPDX-License-Identifier: MIT
// Linear least squares by SVD of the weighted design matrix.
#include "tissuesteward/linfit.h"

#include "tissuesteward/arrays.h"
#include "tissuesteward/svd.h"
#include "toolkit/detail/rounding.h"

using ts::detail::to_float;
using ts::detail::widen;

namespace {

// Singular values below this fraction of the largest are set to zero.
constexpr double kRelativeThreshold = 1.0e-5;

}  // namespace

void svdfit(float x[], float y[], float sig[], int ndata, float a[], int ma, float **u, float **v,
            float w[], float *chisq, BasisFunctions funcs) {
  float *weighted_y = vector(1, ndata);
  float *basis = vector(1, ma);

  for (int i = 1; i <= ndata; ++i) {
    funcs(x[i], basis, ma);
    const float weight = 1.0f / sig[i];
    for (int j = 1; j <= ma; ++j) u[i][j] = basis[j] * weight;
    weighted_y[i] = y[i] * weight;
  }
  svdcmp(u, ndata, ma, w, v);

  float largest = 0.0f;
  for (int j = 1; j <= ma; ++j)
    if (w[j] > largest) largest = w[j];
  const float threshold = to_float(widen(largest) * kRelativeThreshold);
  for (int j = 1; j <= ma; ++j)
    if (w[j] < threshold) w[j] = 0.0f;
  svbksb(u, w, v, ndata, ma, weighted_y, a);

  *chisq = 0.0f;
  for (int i = 1; i <= ndata; ++i) {
    funcs(x[i], basis, ma);
    float model = 0.0f;
    for (int j = 1; j <= ma; ++j) model += a[j] * basis[j];
    const float residual = (y[i] - model) / sig[i];
    *chisq += residual * residual;
  }

  free_vector(basis, 1, ma);
  free_vector(weighted_y, 1, ndata);
}

void fpoly(float x, float p[], int np) {
  p[1] = 1.0f;
  for (int j = 2; j <= np; ++j) p[j] = p[j - 1] * x;
}
