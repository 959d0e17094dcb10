// SPDX-License-Identifier: MIT
// Correctly rounded e^x and ln x from MPFR, the independent reference for the
// toolkit's own: MPFR rounds once, into the target format's precision and
// exponent range (subnormals included).
#ifndef TISSUESTEWARD_TESTS_SUPPORT_MPFR_REFERENCE_H
#define TISSUESTEWARD_TESTS_SUPPORT_MPFR_REFERENCE_H

#include <mpfr.h>

namespace ts::testing {

// One MPFR function rounded into a binary format. Not thread-safe across
// formats: MPFR's exponent range is per thread, set on construction.
class MpfrReference {
 public:
  using Function = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
  MpfrReference(Function f, int precision, mpfr_exp_t emin, mpfr_exp_t emax) : f_(f) {
    mpfr_set_emin(emin);
    mpfr_set_emax(emax);
    mpfr_init2(in_, 64);
    mpfr_init2(out_, precision);
  }
  ~MpfrReference() {
    mpfr_clear(in_);
    mpfr_clear(out_);
  }
  MpfrReference(const MpfrReference&) = delete;
  MpfrReference& operator=(const MpfrReference&) = delete;

  double operator()(double x) {
    mpfr_set_d(in_, x, MPFR_RNDN);
    const int inexact = f_(out_, in_, MPFR_RNDN);
    mpfr_subnormalize(out_, inexact, MPFR_RNDN);
    return mpfr_get_d(out_, MPFR_RNDN);
  }

 private:
  Function f_;
  mpfr_t in_, out_;
};

// Exponent ranges in MPFR's convention (x = 0.m * 2^e).
inline MpfrReference double_reference(MpfrReference::Function f) {
  return MpfrReference(f, 53, -1073, 1024);
}
inline MpfrReference float_reference(MpfrReference::Function f) {
  return MpfrReference(f, 24, -148, 128);
}

}  // namespace ts::testing

#endif
