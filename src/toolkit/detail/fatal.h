// SPDX-License-Identifier: MIT
// The toolkit's one reporting path, for messages held as string constants.
#ifndef TISSUESTEWARD_DETAIL_FATAL_H
#define TISSUESTEWARD_DETAIL_FATAL_H

#include "tissuesteward/arrays.h"

#include <cstdio>

namespace ts::detail {

// nrerror takes a non-const char* in its exported signature but never writes
// through it; this keeps string literals out of const_casts at call sites.
[[noreturn]] inline void fatal(const char *message) { nrerror(const_cast<char *>(message)); }

// For messages that carry values, e.g. "select: k=0 outside 1..10".
template <class... Args>
[[noreturn]] void fatalf(const char *format, Args... args) {
  char text[256];
  std::snprintf(text, sizeof text, format, args...);
  nrerror(text);
}

}  // namespace ts::detail

#endif
