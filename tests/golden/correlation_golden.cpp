// SPDX-License-Identifier: MIT
// Pearson's r (plain and with its significance), the running correlation
// and regression fed point by point, and Spearman's rank correlation on both
// of its paths.
#include <string>

#include "golden.h"
#include "tissuesteward/correlation.h"

namespace ts::testing {
namespace {

struct Pairs {
  long n;
  Vec x, y;
  explicit Pairs(long count) : n(count), x(1, count), y(1, count) {}
};

// y = slope·x + noise, x uniform in [-1, 1).
void line(Pairs &p, std::uint64_t seed, float slope, float noise) {
  Source src(seed);
  for (long i = 1; i <= p.n; ++i) {
    p.x[i] = src.signed_unit();
    p.y[i] = slope * p.x[i] + noise * src.signed_unit();
  }
}

// A named set of inputs shared by the whole-array routines.
struct Input {
  std::string name;
  long n;
  void (*make)(Pairs &);
};

const Input kInputs[] = {
    {"noisy_2", 2, [](Pairs &p) { line(p, 1000, 1.0f, 0.5f); }},
    {"noisy_3", 3, [](Pairs &p) { line(p, 1001, 1.0f, 0.5f); }},
    {"noisy_50", 50, [](Pairs &p) { line(p, 1002, -0.5f, 0.3f); }},
    {"noisy_10000", 10000, [](Pairs &p) { line(p, 1003, 0.1f, 1.0f); }},
    {"noisy_100000", 100000, [](Pairs &p) { line(p, 1004, 2.0f, 0.01f); }},
    {"exact_line_20", 20, [](Pairs &p) { line(p, 1005, 2.0f, 0.0f); }},
    {"exact_falling_20", 20, [](Pairs &p) { line(p, 1006, -1.0f, 0.0f); }},
    {"constant_x_10", 10,
     [](Pairs &p) {
       line(p, 1007, 1.0f, 1.0f);
       for (long i = 1; i <= p.n; ++i) p.x[i] = 3.0f;
     }},
    {"constant_y_10", 10,
     [](Pairs &p) {
       line(p, 1008, 1.0f, 1.0f);
       for (long i = 1; i <= p.n; ++i) p.y[i] = -2.0f;
     }},
    {"ties_300", 300,
     [](Pairs &p) {
       p.x.assign(shaped(Shape::kFewDistinct, p.x.size(), 1009));
       p.y.assign(shaped(Shape::kFewDistinct, p.y.size(), 1010));
     }},
    {"awkward_64", 64,
     [](Pairs &p) {
       p.x.assign(shaped(Shape::kAwkward, p.x.size(), 1011));
       p.y.assign(shaped(Shape::kUniform, p.y.size(), 1012));
     }},
    {"large_offset_1000", 1000,
     [](Pairs &p) {
       line(p, 1013, 1.0f, 0.2f);
       for (long i = 1; i <= p.n; ++i) p.x[i] += 1e5f;
     }},
};

const bool pearson_cases = [] {
  for (bool with_prob : {false, true})
    for (const Input &input : kInputs)
      Register(with_prob ? "pearsn_prob" : "pearsn", input.name, [with_prob, &input](Digest &d) {
        Pairs p(input.n);
        input.make(p);
        float r = kGuard, prob = kGuard, z = kGuard;
        if (with_prob)
          pearsn_prob(p.x.p(), p.y.p(), static_cast<unsigned long>(p.n), &r, &prob, &z);
        else
          pearsn(p.x.p(), p.y.p(), static_cast<unsigned long>(p.n), &r, &prob, &z);
        d.value(r);
        d.value(prob);
        d.value(z);
        p.x.digest(d);
        p.y.digest(d);
      });
  return true;
}();

// Feeds the points one by one, digesting every accumulator and result after
// each call.
void run_stream(Digest &d, bool regression, Pairs &p) {
  float acc[6] = {0, 0, 0, 0, 0, 0};
  for (long i = 1; i <= p.n; ++i) {
    float out[3] = {kGuard, kGuard, kGuard};
    const float x = p.x[i], y = p.y[i];
    if (regression)
      regr_inc(x, y, acc[0], acc[1], acc[2], acc[3], acc[4], acc[5], &out[0], &out[1], &out[2]);
    else
      pearsn_inc(x, y, acc[0], acc[1], acc[2], acc[3], acc[4], acc[5], &out[0]);
    for (float a : acc) d.value(a);
    for (float o : out) d.value(o);
  }
}

const bool running_cases = [] {
  for (bool regression : {false, true}) {
    const char *routine = regression ? "regr_inc" : "pearsn_inc";
    Register(routine, "small_streams", [regression](Digest &d) {
      const float streams[][4][2] = {{{1, 2}, {2, 4}, {3, 6}, {4, 8}},
                                     {{0, 0}, {1, 1}, {2, 0}, {3, 1}},
                                     {{1, 1}, {2, 3}, {3, 2}, {4, 5}},
                                     {{5, 1}, {5, 2}, {5, 3}, {5, 4}}};
      for (const auto &stream : streams) {
        Pairs p(4);
        for (long i = 0; i < 4; ++i) p.x[i + 1] = stream[i][0], p.y[i + 1] = stream[i][1];
        run_stream(d, regression, p);
      }
    });
    for (const Input &input : kInputs)
      if (input.n <= 10000)
        Register(routine, input.name, [regression, &input](Digest &d) {
          Pairs p(input.n);
          input.make(p);
          run_stream(d, regression, p);
        });
  }
  return true;
}();

// probrs is written only on the degenerate path, zd and probd only on the
// regular one; the others keep their guards.
void run_spear(Digest &d, Pairs &p) {
  float out[5] = {kGuard, kGuard, kGuard, kGuard, kGuard};
  spear(p.x.p(), p.y.p(), static_cast<unsigned long>(p.n), &out[0], &out[1], &out[2], &out[3],
        &out[4]);
  for (float o : out) d.value(o);
  p.x.digest(d);
  p.y.digest(d);
}

const bool spear_cases = [] {
  Register("spear", "identical_1_to_5", [](Digest &d) {
    Pairs p(5);
    for (long i = 1; i <= 5; ++i) p.x[i] = p.y[i] = static_cast<float>(i);
    run_spear(d, p);
  });
  for (const Input &input : kInputs)
    Register("spear", input.name, [&input](Digest &d) {
      Pairs p(input.n);
      input.make(p);
      run_spear(d, p);
    });
  Register("spear", "shapes_200", [](Digest &d) {
    for (Shape shape : kAllShapes) {
      Pairs p(200);
      p.x.assign(shaped(shape, p.x.size(), 1020));
      p.y.assign(shaped(Shape::kFewDistinct, p.y.size(), 1021));
      run_spear(d, p);
    }
  });
  return true;
}();

}  // namespace
}  // namespace ts::testing
