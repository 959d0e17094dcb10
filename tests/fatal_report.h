// Death-test matchers for the toolkit's three-line fatal report.
#ifndef TISSUESTEWARD_TESTS_FATAL_REPORT_H
#define TISSUESTEWARD_TESTS_FATAL_REPORT_H

#include "toolkit/detail/messages.h"

#include <string>

// Present only in sanitizer builds.
extern "C" __attribute__((weak)) void __lsan_disable();

namespace ts::test {

// A fatal path ends the process without releasing its scratch storage, which
// the leak checker of a sanitizer build would report after the fatal report.
// Call this first in a death test's statement.
inline void ignore_leaks_of_fatal_path() {
  if (__lsan_disable != nullptr) __lsan_disable();
}

// A regex matching, literally and up to the end of stderr, the report that
// nrerror writes for `message`.
inline std::string fatal_report(const std::string &message) {
  const std::string text =
      std::string(ts::msg::kReportHead) + message + "\n" + ts::msg::kReportTail;
  std::string out;
  for (char c : text) {
    if (std::string("\\^$.|?*+()[]{}").find(c) != std::string::npos) out += '\\';
    out += c;
  }
  return out + "$";
}

}  // namespace ts::test

#endif
