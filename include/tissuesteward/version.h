// SPDX-License-Identifier: MIT
// The host-version predicate.
#ifndef TISSUESTEWARD_VERSION_H
#define TISSUESTEWARD_VERSION_H

#include "tissuesteward/export.h"

// True when major.minor.patch >= reqMajor.reqMinor.reqPatch, compared as a
// triple of integers (major first), so 10.0.0 is newer than 2.6.0.
TS_API bool checkVersionGreaterEqualVersion(int major, int minor, int patch, int reqMajor,
                                            int reqMinor, int reqPatch);

#endif
