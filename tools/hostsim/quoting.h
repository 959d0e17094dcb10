// SPDX-License-Identifier: MIT
// How the stand-in host shows texts in its transcript.
#ifndef TISSUESTEWARD_HOSTSIM_QUOTING_H
#define TISSUESTEWARD_HOSTSIM_QUOTING_H

#include <cstdio>
#include <string>

namespace hvsim {

// Text in double quotes with \" \\ \n \t \r and \xNN escapes, or (null).
inline std::string quoted(const char *text) {
  if (text == nullptr) return "(null)";
  std::string out = "\"";
  for (const char *p = text; *p != '\0'; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char escaped[5];
          std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
          out += escaped;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

}  // namespace hvsim

#endif
