// SPDX-License-Identifier: MIT
// Linked into the test binaries that ctest runs once per vector target
// (TISSUESTEWARD_SIMD set to the target). On a machine without that target
// the library would quietly run a narrower one, so the run is skipped
// instead (exit 77), and a run that does take place names its target first,
// so that a mismatch reads against it.
#include "toolkit/simd/cpu.h"

#include <cstdio>
#include <cstdlib>

namespace {

struct AnnounceTarget {
  AnnounceTarget() {
    using namespace ts::simd;
    const char *value = std::getenv("TISSUESTEWARD_SIMD");
    Target wanted = kScalar;
    if (value == nullptr || !parse_target(value, wanted)) return;
    if (wanted > best_supported_target()) {
      std::printf("skipped: this machine has no %s\n", target_name(wanted));
      std::exit(77);
    }
    std::printf("vector target: %s\n", target_name(wanted));
  }
} announce_target;

}  // namespace
