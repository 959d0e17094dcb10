// SPDX-License-Identifier: MIT
#include "options.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace hvsim {
namespace {

void parse_version(const std::string &text, int (&version)[3]) {
  const char *p = text.c_str();
  for (int i = 0; i < 3; ++i) {
    char *end = nullptr;
    errno = 0;
    const long part = std::strtol(p, &end, 10);
    // Digits only: strtol would also take blanks and a sign before them.
    if (!std::isdigit(static_cast<unsigned char>(*p)) || errno == ERANGE || part > 999999 ||
        *end != (i < 2 ? '.' : '\0'))
      throw UsageError{"--host-version takes MAJOR.MINOR.PATCH, not '" + text + "'"};
    version[i] = static_cast<int>(part);
    p = end + 1;
  }
}

}  // namespace

Options parse_options(int argc, char **argv) {
  Options options;
  std::string positional[2];
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 == argc) throw UsageError{arg + " needs a value"};
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--host-version") {
      parse_version(value(), options.version);
    } else if (arg == "--api") {
      options.api = value();
      if (options.api != "full" && options.api != "version" && options.api != "none")
        throw UsageError{"--api takes full, version or none, not '" + options.api + "'"};
    } else if (arg == "--global") {
      options.global = true;
    } else if (arg == "--timeout") {
      const std::string text = value();
      char *end = nullptr;
      options.timeout = std::strtod(text.c_str(), &end);
      if (text.empty() || *end != '\0' || !(options.timeout > 0.0) ||
          !(options.timeout <= kLongestTimeout))
        throw UsageError{"--timeout takes seconds above 0, up to 86400, not '" + text + "'"};
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError{"unknown option " + arg};
    } else if (count == 2) {
      throw UsageError{"unexpected argument '" + arg + "'"};
    } else {
      positional[count++] = arg;
    }
  }
  if (!options.help && count < 2) throw UsageError{"needs a LIBRARY and a SESSION"};
  options.library = positional[0];
  options.session = positional[1];
  return options;
}

}  // namespace hvsim
