// SPDX-License-Identifier: MIT
// Matching the toolkit's three-line fatal report in death tests.
#ifndef TISSUESTEWARD_TESTS_SUPPORT_FATAL_REPORT_H
#define TISSUESTEWARD_TESTS_SUPPORT_FATAL_REPORT_H

#include "toolkit/detail/messages.h"

#include <string>

// Present only in sanitizer builds.
extern "C" __attribute__((weak)) void __lsan_disable();

namespace ts::testing {

// The exact report nrerror writes for a message.
inline std::string report(const char *message) {
  return std::string(ts::msg::kReportHead) + message + "\n" + ts::msg::kReportTail;
}

// gtest death-test matchers take a regex; match a text literally, up to the
// end of stderr (a sanitizer may write a warning before it).
inline std::string literal(const std::string &text) {
  std::string out;
  for (char c : text) {
    if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) out += '\\';
    out += c;
  }
  return out + "$";
}

// For EXPECT_EXIT(..., ExitedWithCode(1), fatal_report(ts::msg::kSomething)).
inline std::string fatal_report(const char *message) { return literal(report(message)); }

// A fatal path ends the process without releasing its scratch storage, which
// a sanitizer build's leak checker would report after the fatal report. Call
// this first in a death test's statement when the dying routine allocates.
inline void ignore_leaks_of_fatal_path() {
  if (__lsan_disable != nullptr) __lsan_disable();
}

}  // namespace ts::testing

#endif
