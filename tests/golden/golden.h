// SPDX-License-Identifier: MIT
// Golden-output corpus: every exported toolkit routine run on fixed inputs,
// each output's exact bytes reduced to a 64-bit FNV-1a digest.
//
// Inputs come from the shared seeded source (support/source.h), arrays from
// the shared guarded cells (support/guarded.h). A case registers a function
// that runs the routine and feeds every output (arrays, scalars, flags,
// generator states, and the guard cells around each array) into the digest.
#ifndef TISSUESTEWARD_TESTS_GOLDEN_H
#define TISSUESTEWARD_TESTS_GOLDEN_H

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "support/guarded.h"
#include "support/shapes.h"
#include "support/source.h"

namespace ts::testing {

class Digest {
 public:
  void bytes(const void *data, std::size_t size) {
    const auto *p = static_cast<const unsigned char *>(data);
    for (std::size_t i = 0; i < size; ++i) {
      hash_ ^= p[i];
      hash_ *= 0x100000001b3ULL;
    }
  }
  template <class T>
  void value(const T &v) {
    bytes(&v, sizeof v);
  }
  // Floating-point values compare bit for bit (-0.0 included), except that
  // every NaN counts as one value: the routines define when a result is NaN,
  // not which NaN, and the sign and payload of a computed NaN follow operand
  // order and constant folding. Values that a routine only moves are hashed
  // with bits() instead, payloads and all.
  void value(float v) {
    if (std::isnan(v)) v = std::numeric_limits<float>::quiet_NaN();
    bytes(&v, sizeof v);
  }
  void value(double v) {
    if (std::isnan(v)) v = std::numeric_limits<double>::quiet_NaN();
    bytes(&v, sizeof v);
  }
  // Raw bytes of elements lo..hi.
  template <class T>
  void bits(const T *a, long lo, long hi) {
    for (long i = lo; i <= hi; ++i) bytes(&a[i], sizeof a[i]);
  }
  // Elements lo..hi of an offset-indexed or plain array.
  template <class T>
  void range(const T *a, long lo, long hi) {
    for (long i = lo; i <= hi; ++i) value(a[i]);
  }
  // Rows rlo..rhi, columns clo..chi of a row-pointer matrix.
  template <class T>
  void rows(T *const *m, long rlo, long rhi, long clo, long chi) {
    for (long i = rlo; i <= rhi; ++i) range(m[i], clo, chi);
  }
  std::uint64_t result() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

struct Case {
  std::string family;  // the cases' file, foo_golden.cpp: "foo"
  std::string routine;
  std::string name;
  std::function<void(Digest &)> run;
};

std::vector<Case> &registry();

// "fft" for any path ending in fft_golden.cpp.
std::string family_of(const char *file);

// Registers a case at static-initialisation time: one object per case. The
// family comes from the registering file, so ctest runs each family's cases
// in one process.
struct Register {
  Register(std::string routine, std::string name, std::function<void(Digest &)> run,
           const char *file = __builtin_FILE()) {
    registry().push_back({family_of(file), std::move(routine), std::move(name), std::move(run)});
  }
};

}  // namespace ts::testing

#endif
