// SPDX-License-Identifier: MIT
// Finding and loading the host API providers, relative to hvsim itself.
#ifndef TISSUESTEWARD_HOSTSIM_PROVIDERS_H
#define TISSUESTEWARD_HOSTSIM_PROVIDERS_H

#include "control.h"
#include "plugin_library.h"

#include <string>

namespace hvsim {

// A loaded host API provider: its state, and its library, which stays open
// for as long as the object lives.
struct Provider {
  Library library;
  Control *control = nullptr;
};

// Loads the provider of `api` ("full", "version" or "none") with global
// symbols. Its control is null when none loaded; `error` then names the
// places tried.
// Providers are looked for beside hvsim, then in the install tree's private
// library folder (bin/../lib/hvsim), wherever the tree was moved to.
Provider load_provider(const std::string &api, std::string &error);

// A name without '/' makes dlopen search the loader's path, not the current
// folder: for such a name, a hint line suggesting "./NAME"; otherwise "".
std::string bare_name_hint(const std::string &library);

}  // namespace hvsim

#endif
