// SPDX-License-Identifier: MIT
// The checks of `hvsim validate`. Each runs in a process of its own, which
// has loaded one host API provider and the plug-in library, and nothing else.
#ifndef TISSUESTEWARD_HOSTSIM_VALIDATE_CHECKS_H
#define TISSUESTEWARD_HOSTSIM_VALIDATE_CHECKS_H

#include "control.h"
#include "plugin_library.h"

#include <string>

namespace hvsim::validate {

enum class Verdict { kPass, kFail, kSkip };

struct Outcome {
  Verdict verdict;
  std::string reason;  // one line
};

// The loaded plug-in's entry points and its host. `missing` names the entry
// points not found; when it is not empty, the pointers of the missing ones
// are null.
struct Plugin : EntryPoints {
  Control &host;
  std::string missing;
};

struct Check {
  const char *name;
  const char *description;
  const char *api;  // the host API provider: "full", "version" or "none"
  Outcome (*run)(Plugin &plugin);
};

// Every check, in the order they run.
const Check *checks_begin();
const Check *checks_end();

}  // namespace hvsim::validate

#endif
