// SPDX-License-Identifier: MIT
#include "tissuesteward/version.h"

bool checkVersionGreaterEqualVersion(int major, int minor, int patch, int reqMajor, int reqMinor,
                                     int reqPatch) {
  if (major != reqMajor) return major > reqMajor;
  if (minor != reqMinor) return minor > reqMinor;
  return patch >= reqPatch;
}
