// SPDX-License-Identifier: MIT
// The host's version function: all the API that a "version only" host has.
#include "host_state.h"

#include "tissuesteward/host_api.h"

#include <string>
#include <type_traits>

extern "C" HVSIM_EXPORT void hvGetVersionOfKorvelHV(int *major, int *minor, int *patch) {
  int have[3];
  hvsim::host().version(have[0], have[1], have[2]);
  if (major != nullptr) *major = have[0];
  if (minor != nullptr) *minor = have[1];
  if (patch != nullptr) *patch = have[2];
  hvsim::host().record("hvGetVersionOfKorvelHV -> " + std::to_string(have[0]) + "." +
                       std::to_string(have[1]) + "." + std::to_string(have[2]));
}
static_assert(std::is_same_v<decltype(hvGetVersionOfKorvelHV), hvapi::GetVersion>);
