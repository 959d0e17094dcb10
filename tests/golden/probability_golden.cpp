// SPDX-License-Identifier: MIT
// Statistic-to-significance conversions and their 25-move searches, over
// grids of statistics, probabilities and degrees of freedom, with the edges
// each conversion defines (zero degrees of freedom, F < 0, |r| = 1, p = 1).
#include <cmath>

#include "golden.h"
#include "tissuesteward/probability.h"

namespace ts::testing {
namespace {

const unsigned long kDegrees[] = {0, 1, 2, 3, 5, 10, 30, 100, 1000};
const float kProbabilities[] = {-0.1f, 0.0f, 1e-6f, 0.001f, 0.01f, 0.05f, 0.1f,
                                0.5f,  0.9f, 0.99f, 1.0f,   1.5f,  NAN};

const Register t_to_p_grid("t_to_p", "grid", [](Digest &d) {
  const float ts[] = {0.0f, -0.0f, 0.1f,   1.0f,  -1.0f,    2.228f, -2.228f,
                      3.5f, 10.0f, 100.0f, 1e10f, INFINITY, NAN};
  for (unsigned long df : kDegrees)
    for (float t : ts) d.value(t_to_p(t, df));
});

const Register p_to_t_grid("p_to_t", "grid", [](Digest &d) {
  for (unsigned long df : kDegrees)
    for (float p : kProbabilities) d.value(p_to_t(p, df));
});

const Register F_to_p_grid("F_to_p", "grid", [](Digest &d) {
  const float fs[] = {-1.0f, -0.0f, 0.0f, 0.25f, 1.0f, 3.3256836f, 10.0f, 1e3f, INFINITY, NAN};
  for (unsigned long df1 : kDegrees)
    for (unsigned long df2 : {0UL, 1UL, 5UL, 10UL, 60UL})
      for (float f : fs) d.value(F_to_p(f, df1, df2));
});

const Register p_to_F_grid("p_to_F", "grid", [](Digest &d) {
  for (unsigned long df1 : {1UL, 2UL, 5UL, 20UL})
    for (unsigned long df2 : {1UL, 5UL, 10UL, 100UL})
      for (float p : kProbabilities) d.value(p_to_F(p, df1, df2));
});

const Register r_to_p_grid("r_to_p", "grid", [](Digest &d) {
  const float rs[] = {0.0f,   -0.0f,       0.1f, -0.1f, 0.5f, -0.5f, 0.9f,
                      0.999f, 0.99999994f, 1.0f, -1.0f, 1.5f, -1.5f, NAN};
  for (unsigned long n : {0UL, 1UL, 2UL, 3UL, 4UL, 10UL, 50UL, 1000UL})
    for (float r : rs) d.value(r_to_p(r, n));
});

const Register p_to_r_grid("p_to_r", "grid", [](Digest &d) {
  for (unsigned long n : {0UL, 2UL, 3UL, 10UL, 30UL, 500UL})
    for (float p : kProbabilities) d.value(p_to_r(p, n));
});

const Register p_to_z_grid("p_to_z", "grid", [](Digest &d) {
  const float ps[] = {0.0f, -0.0f, 1e-30f, 1e-7f, 0.5f, 0.95f, 0.99999994f, 1.0f, -0.5f, 1.5f, NAN};
  for (float p : ps) d.value(p_to_z(p));
  for (int i = 0; i <= 4096; ++i) d.value(p_to_z(static_cast<float>(i) * 0x1p-12f));
});

}  // namespace
}  // namespace ts::testing
