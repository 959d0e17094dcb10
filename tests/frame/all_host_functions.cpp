// SPDX-License-Identifier: MIT
// The binding host's API: every function of the host table, each a distinct
// function returning its place in the table, and all of them in table order.
namespace {

enum Place : int {
#define TS_HOST_FUNCTION(name, ...) place_##name,
#include "tissuesteward/host_functions.def"
};

}  // namespace

extern "C" {

#define TS_HOST_FUNCTION(name, ...) \
  __attribute__((visibility("default"))) int name() { return place_##name; }
#include "tissuesteward/host_functions.def"

extern int (*const kAllHostFunctions[])() = {
#define TS_HOST_FUNCTION(name, ...) &name,
#include "tissuesteward/host_functions.def"
};
}
