// SPDX-License-Identifier: MIT
// hvsim's command line (the session mode; `hvsim validate` reads its own).
#ifndef TISSUESTEWARD_HOSTSIM_OPTIONS_H
#define TISSUESTEWARD_HOSTSIM_OPTIONS_H

#include <string>

namespace hvsim {

inline constexpr double kDefaultTimeout = 60.0;  // seconds per plug-in call
inline constexpr double kLongestTimeout = 86400.0;

struct UsageError {
  std::string what;
};

struct Options {
  bool help = false;
  int version[3] = {2, 6, 0};
  std::string api = "full";
  bool global = false;
  double timeout = kDefaultTimeout;
  std::string library;
  std::string session;
};

// Reads the options and the two positional arguments (unless --help was
// given); throws UsageError at the first one it cannot take.
Options parse_options(int argc, char **argv);

}  // namespace hvsim

#endif
