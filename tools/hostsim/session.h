// SPDX-License-Identifier: MIT
// Session files: one step per line, played against the plug-in.
//
//   # a comment (lines whose first non-blank character is '#'); blank lines skip
//   set string NAME VALUE      set a script parameter (also: set int, set float)
//   answer path PATH           the next open-file dialog returns 1 with PATH
//   answer cancel              ... returns 0: the user cancelled
//   answer status N            ... returns N and writes nothing
//   execute                    one execute() call on the plug-in object
//   destroy                    delete the object now (else after the last step)
//   expect init true|false     what initPlugin returned
//   expect string NAME VALUE   the parameter holds VALUE (also: expect int, float)
//   expect unset NAME          the parameter was never set
//   expect line TEXT           a transcript line equal to TEXT, later than the
//                              line the previous 'expect line' matched
//   expect no-line TEXT        no transcript line so far equals TEXT
//
// VALUE, PATH and TEXT are the rest of the line without surrounding blanks,
// or a double-quoted string with \" \\ \n \t escapes ("" is the empty text).
// The host refuses texts that do not fit the plug-in's buffers: "Command"
// and "FileType" below 100 characters, a dialog path below PATH_MAX.
#ifndef TISSUESTEWARD_HOSTSIM_SESSION_H
#define TISSUESTEWARD_HOSTSIM_SESSION_H

#include "control.h"

#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace hvsim {

enum class StepKind {
  kSet,
  kAnswer,
  kExecute,
  kDestroy,
  kExpectInit,
  kExpectValue,
  kExpectUnset,
  kExpectLine,
  kExpectNoLine,
};

struct Step {
  StepKind kind;
  int line;                 // 1-based line number in the session file
  std::string text;         // the step as written
  std::string name;         // parameter name
  Value value;              // kSet, kExpectValue
  Answer answer;            // kAnswer
  bool init_result = true;  // kExpectInit
  std::string transcript;   // kExpectLine, kExpectNoLine
};

struct Session {
  std::vector<Step> steps;
  bool expects_refusal = false;  // holds an 'expect init false'
};

// A malformed step; what() reads "line N: ...".
struct SessionError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Reads a whole session; throws SessionError at the first bad line.
Session parse_session(std::istream &in);

// The longest text the host accepts for a parameter (0: no limit).
std::size_t text_limit(const std::string &parameter);

}  // namespace hvsim

#endif
