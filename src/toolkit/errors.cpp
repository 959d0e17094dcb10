// SPDX-License-Identifier: MIT
// The fatal exit with its three-line report.
#include "tissuesteward/errors.h"

#include "toolkit/detail/fatal.h"
#include "toolkit/detail/messages.h"

#include <cstdio>

void nrerror(char error_text[]) {
  std::fputs(ts::msg::kReportHead, stderr);
  std::fprintf(stderr, "%s\n", error_text);
  std::fputs(ts::msg::kReportTail, stderr);
  ts::detail::fatal_exit();
}
