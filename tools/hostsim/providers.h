// SPDX-License-Identifier: MIT
// Finding and loading the host API providers, relative to hvsim itself.
#ifndef TISSUESTEWARD_HOSTSIM_PROVIDERS_H
#define TISSUESTEWARD_HOSTSIM_PROVIDERS_H

#include "control.h"

#include <string>

namespace hvsim {

// Loads the provider of `api` ("full", "version" or "none") with global
// symbols and returns its state, or null with the places tried in `error`.
// Providers are looked for beside hvsim, then in the install tree's private
// library folder (bin/../lib/hvsim), wherever the tree was moved to.
Control *load_provider(const std::string &api, std::string &error);

// A name without '/' makes dlopen search the loader's path, not the current
// folder: for such a name, a hint line suggesting "./NAME"; otherwise "".
std::string bare_name_hint(const std::string &library);

}  // namespace hvsim

#endif
