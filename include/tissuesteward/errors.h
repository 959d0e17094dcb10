// SPDX-License-Identifier: MIT
// The toolkit's fatal exit.
//
// Nothing in the toolkit returns an error code. A condition it cannot recover
// from (an allocation that fails, a singular matrix, a length that is not a
// power of two, ...) ends the process here: each routine's header comment
// names its messages. The one exception is rlft3 on a tensor that is not one
// block, which ends the process with the same status and no report.
#ifndef TISSUESTEWARD_ERRORS_H
#define TISSUESTEWARD_ERRORS_H

#include "tissuesteward/export.h"

// Writes "Numerical Toolkit run-time error...", the message and
// "...now exiting to system..." to stderr, one line each, then exit(1).
// error_text is only read.
[[noreturn]] TS_API void nrerror(char error_text[]);

#endif
