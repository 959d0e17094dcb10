// Matching the toolkit's three-line fatal report in death tests.
#ifndef TISSUESTEWARD_TESTS_SUPPORT_FATAL_REPORT_H
#define TISSUESTEWARD_TESTS_SUPPORT_FATAL_REPORT_H

#include "toolkit/detail/messages.h"

#include <string>

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

}  // namespace ts::testing

#endif
