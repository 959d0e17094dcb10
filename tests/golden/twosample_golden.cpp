// SPDX-License-Identifier: MIT
// Two-sample statistics: mean and variance, both t statistics, the
// Kolmogorov-Smirnov D (with the samples it sorts) and its significance.
#include <string>

#include "golden.h"
#include "tissuesteward/twosample.h"

namespace ts::testing {
namespace {

// n values spread·unit + offset.
void spread(Vec &v, std::uint64_t seed, float offset, float spread) {
  Source src(seed);
  v.fill([&] { return offset + spread * src.signed_unit(); });
}

void run_avevar(Digest &d, Vec &data) {
  float ave = kGuard, var = kGuard;
  avevar(data.p(), static_cast<unsigned long>(data.hi()), &ave, &var);
  d.value(ave);
  d.value(var);
  data.digest(d);
}

const bool avevar_cases = [] {
  Register("avevar", "one_to_four", [](Digest &d) {
    Vec data(1, 4);
    float k = 0.0f;
    data.fill([&k] { return k += 1.0f; });
    run_avevar(d, data);
  });
  for (long n : {2L, 1000L, 100000L})
    Register("avevar", "random_" + std::to_string(n), [n](Digest &d) {
      Vec data(1, n);
      spread(data, 900 + static_cast<std::uint64_t>(n), 3.0f, 2.0f);
      run_avevar(d, data);
    });
  Register("avevar", "large_offset_10000", [](Digest &d) {
    Vec data(1, 10000);
    spread(data, 901, 1e7f, 1.0f);
    run_avevar(d, data);
  });
  Register("avevar", "shapes_500", [](Digest &d) {
    for (Shape shape : kAllShapes) {
      Vec data(1, 500);
      data.assign(shaped(shape, data.size(), 902));
      run_avevar(d, data);
    }
  });
  Register("avevar", "one_and_no_values", [](Digest &d) {
    Vec one(1, 1), none(1, 0);
    one[1] = 2.5f;
    run_avevar(d, one);
    run_avevar(d, none);
  });
  return true;
}();

enum class T { kUnequal, kPooled };

// Both statistics leave the sixth argument alone; it holds a guard.
void run_t(Digest &d, T which, Vec &a, Vec &b) {
  float t = kGuard, prob = kGuard;
  const auto na = static_cast<unsigned long>(a.hi()), nb = static_cast<unsigned long>(b.hi());
  if (which == T::kUnequal)
    tutest(a.p(), na, b.p(), nb, &t, &prob);
  else
    ttest(a.p(), na, b.p(), nb, &t, &prob);
  d.value(t);
  d.value(prob);
  a.digest(d);
  b.digest(d);
}

const bool t_cases = [] {
  for (T which : {T::kUnequal, T::kPooled}) {
    const char *routine = which == T::kUnequal ? "tutest" : "ttest";
    for (auto [na, nb] : {std::pair{5L, 7L}, {100L, 80L}, {10000L, 10000L}})
      Register(routine, "random_" + std::to_string(na) + "_" + std::to_string(nb),
               [which, na = na, nb = nb](Digest &d) {
                 Vec a(1, na), b(1, nb);
                 spread(a, 910, 0.0f, 1.0f);
                 spread(b, 911, 0.2f, 3.0f);
                 run_t(d, which, a, b);
               });
    Register(routine, "constant_samples", [which](Digest &d) {
      Vec a(1, 4), b(1, 6);
      a.fill([] { return 1.0f; });
      b.fill([] { return 2.0f; });
      run_t(d, which, a, b);
    });
    Register(routine, "one_constant_sample", [which](Digest &d) {
      Vec a(1, 4), b(1, 6);
      a.fill([] { return 1.0f; });
      spread(b, 912, 2.0f, 0.5f);
      run_t(d, which, a, b);
      run_t(d, which, b, a);
    });
    Register(routine, "same_sample", [which](Digest &d) {
      Vec a(1, 9), b(1, 9);
      spread(a, 913, 1.0f, 1.0f);
      spread(b, 913, 1.0f, 1.0f);
      run_t(d, which, a, b);
    });
    Register(routine, "awkward_and_tiny", [which](Digest &d) {
      Vec a(1, 40), b(1, 30), c(1, 2), e(1, 2);
      a.assign(shaped(Shape::kAwkward, a.size(), 914));
      b.assign(shaped(Shape::kFewDistinct, b.size(), 915));
      spread(c, 916, 0.0f, 1.0f);
      spread(e, 917, 0.0f, 1.0f);
      run_t(d, which, a, b);
      run_t(d, which, c, e);
    });
  }
  return true;
}();

void run_kstwo(Digest &d, Vec &a, Vec &b) {
  float dist = kGuard, prob = kGuard;
  kstwo(a.p(), static_cast<unsigned long>(a.hi()), b.p(), static_cast<unsigned long>(b.hi()), &dist,
        &prob);
  d.value(dist);
  d.value(prob);
  a.digest(d);
  b.digest(d);
}

const bool kstwo_cases = [] {
  Register("kstwo", "disjoint_and_identical", [](Digest &d) {
    Vec a(1, 2), b(1, 2), c(1, 5), e(1, 5);
    a[1] = 2, a[2] = 1, b[1] = 4, b[2] = 3;
    run_kstwo(d, a, b);
    spread(c, 920, 0.0f, 1.0f);
    spread(e, 920, 0.0f, 1.0f);
    run_kstwo(d, c, e);
  });
  Register("kstwo", "ties_across_samples", [](Digest &d) {
    Vec a(1, 60), b(1, 45);
    a.assign(shaped(Shape::kFewDistinct, a.size(), 921));
    b.assign(shaped(Shape::kFewDistinct, b.size(), 922));
    run_kstwo(d, a, b);
  });
  for (auto [na, nb] : {std::pair{1L, 1L}, {1L, 9L}, {1000L, 700L}, {10000L, 10000L}})
    Register("kstwo", "random_" + std::to_string(na) + "_" + std::to_string(nb),
             [na = na, nb = nb](Digest &d) {
               Vec a(1, na), b(1, nb);
               spread(a, 923, 0.0f, 1.0f);
               spread(b, 924, 0.1f, 1.2f);
               run_kstwo(d, a, b);
             });
  Register("kstwo", "shapes_300_200", [](Digest &d) {
    for (Shape shape : kAllShapes) {
      Vec a(1, 300), b(1, 200);
      a.assign(shaped(shape, a.size(), 925));
      b.assign(shaped(Shape::kUniform, b.size(), 926));
      run_kstwo(d, a, b);
    }
  });
  Register("kstwo", "empty_sample", [](Digest &d) {
    Vec a(1, 0), b(1, 3);
    spread(b, 927, 0.0f, 1.0f);
    run_kstwo(d, a, b);
    run_kstwo(d, b, a);
  });
  return true;
}();

const Register probks_table("probks", "table", [](Digest &d) {
  const float lambdas[] = {0.0f, -0.0f, 0.02f, 0.031f, 0.05f, 0.1f,   0.5f,     1.0f, 2.0f,
                           3.0f, 5.0f,  10.0f, 1e10f,  -1.0f, -0.05f, INFINITY, NAN};
  for (float lambda : lambdas) d.value(probks(lambda));
  for (int i = 0; i <= 3000; ++i) d.value(probks(static_cast<float>(i) * 0x1p-9f));
});

}  // namespace
}  // namespace ts::testing
