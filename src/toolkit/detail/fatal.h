// SPDX-License-Identifier: MIT
// The toolkit's one fatal path: every routine that cannot go on ends the
// process through here.
#ifndef TISSUESTEWARD_DETAIL_FATAL_H
#define TISSUESTEWARD_DETAIL_FATAL_H

#include "tissuesteward/errors.h"

#include <cstdio>
#include <cstdlib>

namespace ts::detail {

// The end of every fatal path: status 1 through the normal process exit, so
// that exit handlers run and open streams are flushed. It writes nothing:
// nrerror calls it after its report, and rlft3 calls it directly, since a
// tensor that is not one block is documented to end the process silently.
[[noreturn]] inline void fatal_exit() { std::exit(1); }

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
