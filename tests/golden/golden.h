// SPDX-License-Identifier: MIT
// Golden-output corpus: every exported toolkit routine run on fixed inputs,
// each output's exact bytes reduced to a 64-bit FNV-1a digest.
//
// Inputs come from std::mt19937_64's raw words (whose sequence the C++
// standard fixes) turned into floats by our own code, never from a standard
// distribution, whose output differs between standard libraries. A case
// registers a function that runs the routine and feeds every output (arrays,
// scalars, flags, generator states) into the digest.
#ifndef TISSUESTEWARD_TESTS_GOLDEN_H
#define TISSUESTEWARD_TESTS_GOLDEN_H

#include <cstdint>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace golden {

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

// Deterministic inputs from a seed.
class Source {
 public:
  explicit Source(std::uint64_t seed) : words_(seed) {}
  std::uint64_t word() { return words_(); }
  // Uniform in [0, 1) on a 2^-24 grid: exact in float.
  float unit() { return static_cast<float>(word() >> 40) * 0x1p-24f; }
  // Uniform in [lo, hi), rounded once.
  float in(float lo, float hi) { return lo + (hi - lo) * unit(); }
  // Uniform in [-1, 1).
  float signed_unit() { return 2.0f * unit() - 1.0f; }
  // An integer in 0..n-1 (n > 0; the modulo bias is irrelevant here).
  unsigned long below(unsigned long n) { return static_cast<unsigned long>(word() % n); }
  // A value scaled by a power of two between 2^lo_exp and 2^hi_exp.
  float scaled(int lo_exp, int hi_exp) {
    int e = lo_exp + static_cast<int>(below(static_cast<unsigned long>(hi_exp - lo_exp + 1)));
    return std::ldexp(signed_unit(), e);
  }
  // Awkward values: zeros of both signs, ties, tiny and huge magnitudes.
  float awkward() {
    static const float pool[] = {0.0f,     -0.0f,   1.0f,   -1.0f,   0.5f,    2.0f,
                                 1e-30f,   -1e-30f, 1e30f,  -1e30f,  1e-8f,   3.0f,
                                 0x1p-126f, 1e-38f, 7.0f,   7.0f,    -7.0f,   1e8f};
    return pool[below(sizeof pool / sizeof pool[0])];
  }
  // Mostly scaled values, one in four awkward.
  float mixed(int lo_exp, int hi_exp) { return below(4) == 0 ? awkward() : scaled(lo_exp, hi_exp); }

 private:
  std::mt19937_64 words_;
};

struct Case {
  std::string routine;
  std::string name;
  std::function<void(Digest &)> run;
};

std::vector<Case> &registry();

// Registers a case at static-initialisation time: one object per case.
struct Register {
  Register(std::string routine, std::string name, std::function<void(Digest &)> run) {
    registry().push_back({std::move(routine), std::move(name), std::move(run)});
  }
};

}  // namespace golden

#endif
