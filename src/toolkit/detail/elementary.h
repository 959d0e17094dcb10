// SPDX-License-Identifier: MIT
// The toolkit's own exponential and logarithm, correctly rounded.
//
// Each returns the exact value rounded to nearest, ties to even, so the bits
// do not depend on the C library or the CPU. They use only IEEE additions,
// subtractions, multiplications and divisions (never fused) and integer
// arithmetic. A fast path carries a proven error bound; when its result lies
// too near a rounding boundary to decide, an integer path with 2^-116
// relative accuracy decides instead. Special values follow IEEE 754: NaN in,
// NaN out; exp(-inf) = +0, exp(+inf) = +inf, overflow gives +inf and
// underflow rounds through the subnormals to +0; log(+-0) = -inf,
// log(+inf) = +inf, log of a negative number is NaN.
#ifndef TISSUESTEWARD_DETAIL_ELEMENTARY_H
#define TISSUESTEWARD_DETAIL_ELEMENTARY_H

namespace ts::detail {

// e^x rounded to the nearest double.
double rounded_exp(double x);
// ln x rounded to the nearest double.
double rounded_log(double x);
// e^x rounded to the nearest float (not through a double: one rounding).
float rounded_expf(float x);
// sqrt(1 + r^2) rounded to the nearest double, from + - * and one square
// root, with no overflow for any finite r: +inf for an infinite r, NaN for a
// NaN.
double rounded_hypot_with_one(double r);

}  // namespace ts::detail

#endif
