// SPDX-License-Identifier: MIT
// Conversions between test statistics and significance levels.
//
// Forward conversions (statistic to probability) are closed forms over the
// incomplete beta function; the inverses run a fixed search of exactly 25
// moves over the matching forward conversion, with no tolerance test, so
// their accuracy is whatever 25 halvings of the start step reach. Degrees of
// freedom and pair counts are converted to float before use. No routine
// keeps state or reports an error.
#ifndef TISSUESTEWARD_PROBABILITY_H
#define TISSUESTEWARD_PROBABILITY_H

#include "tissuesteward/export.h"

// Two-sided probability of Student's t at least |t| with df degrees of
// freedom: betai(df/2, 1/2, df/(t² + df)). df = 0 gives NaN.
TS_API float t_to_p(float t, unsigned long df);

// The t whose two-sided probability is p, searched from 4 in steps from 2
// (reach: 4 ± 50). p <= 0 gives the top of the range, 54.
TS_API float p_to_t(float p, unsigned long df);

// Upper-tail probability of Fisher's F at least F with df1 (numerator) and
// df2 (denominator) degrees of freedom: betai(df2/2, df1/2, df2/(F df1 + df2)).
// F < 0 gives 0; a zero count of degrees of freedom gives NaN.
TS_API float F_to_p(float F, unsigned long df1, unsigned long df2);

// The F whose upper-tail probability is p, searched from 10 in steps from 2
// (reach: 10 ± 50).
TS_API float p_to_F(float p, unsigned long df1, unsigned long df2);

// Two-sided probability of a correlation at least |r| from n pairs (n - 2
// degrees of freedom). n < 2 or r = 0 gives 1; r = 1 gives 0. |r| > 1 gives NaN.
TS_API float r_to_p(float r, unsigned long n);

// The r whose two-sided probability is p for n pairs, searched from 0.4 in
// steps from 0.2. The search may pass r = 1, where r_to_p is NaN; it then
// keeps moving upward (p <= 0 gives the top of the range, 5.4).
TS_API float p_to_r(float p, unsigned long n);

// 2·√(-ln(1 - p)) for 0 <= p < 1, computed as (1 - p)·√(-2 ln s / s) with
// s = (1 - p)²; p = 1 is taken as 1 - 2^-23 (giving 7.9855833). This closed
// formula is not the normal quantile.
TS_API float p_to_z(float p);

#endif
