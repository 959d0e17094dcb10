// SPDX-License-Identifier: MIT
// Two-sample statistics: mean and variance, Student's t (unequal and pooled
// variances), the Kolmogorov-Smirnov D and its significance function.
//
// Samples are 1-based float arrays read at 1..n; element 0 is never touched.
// The t and D routines keep a sixth pointer argument where a significance
// level would go; they neither read nor write it (t_to_p turns t into a
// level, probks turns a scaled D into one). Nothing here reports an error.
#ifndef TISSUESTEWARD_TWOSAMPLE_H
#define TISSUESTEWARD_TWOSAMPLE_H

#include "tissuesteward/export.h"

// *ave = mean of data[1..n]; *var = unbiased variance (divisor n - 1), with
// the rounding error of the mean compensated. Both outputs serve as
// accumulators while it runs and must not alias data. n = 1 gives a NaN
// variance, n = 0 a NaN mean as well.
TS_API void avevar(float data[], unsigned long n, float *ave, float *var);

// *t = Student's t for samples of unequal variance,
// (mean1 - mean2) / sqrt(var1/n1 + var2/n2); 0 when both variances are 0.
// prob is not used.
TS_API void tutest(float data1[], unsigned long n1, float data2[], unsigned long n2, float *t,
                   float *prob);

// *t = Student's t with the pooled variance
// sv = ((n1-1) var1 + (n2-1) var2) / (n1+n2-2): (mean1 - mean2) /
// sqrt(sv (1/n1 + 1/n2)); 0 when sv is 0. Degrees of freedom n1+n2-2 are
// the caller's to supply. prob is not used.
TS_API void ttest(float data1[], unsigned long n1, float data2[], unsigned long n2, float *t,
                  float *prob);

// *d = the two-sample Kolmogorov-Smirnov statistic, the largest distance
// between the two empirical distribution functions. Sorts data1[1..n1] and
// data2[1..n2] ascending in place (see sort). An empty sample gives D = 0;
// a NaN in either sample gives D = NaN once the walk reaches it.
// prob is not used. Fatal only as sort is.
TS_API void kstwo(float data1[], unsigned long n1, float data2[], unsigned long n2, float *d,
                  float *prob);

// Q_KS(lambda) = 2 sum_{j>=1} (-1)^(j-1) exp(-2 j^2 lambda^2), summed until a
// term is small against the previous one or the sum; 1 when 100 terms do not
// settle (lambda below about 0.031), 0 once the first term underflows.
TS_API float probks(float alam);

#endif
