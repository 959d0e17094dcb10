// SPDX-License-Identifier: MIT
#include "tissuesteward/arrays.h"
#include "tissuesteward/library_version.h"

#include <cstdio>

int main() {
  float *v = vector(1, 3);
  for (long i = 1; i <= 3; ++i) v[i] = static_cast<float>(i);
  std::printf("%s sum %g\n", TISSUESTEWARD_VERSION_STRING, static_cast<double>(v[1] + v[2] + v[3]));
  free_vector(v, 1, 3);
  return 0;
}
