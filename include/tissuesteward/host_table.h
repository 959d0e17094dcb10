// SPDX-License-Identifier: MIT
// The host function table: one pointer per function of the host's plug-in
// API, each an exported C variable named exactly like the host function it
// holds. All are null until InitHVAccess binds them, and a function the host
// does not export stays null: check an entry before calling through it.
//
// The library exports these names as data while the host exports them as
// code; the library is linked so that its own references bind to its own
// variables (never to the host's functions of the same name).
#ifndef TISSUESTEWARD_HOST_TABLE_H
#define TISSUESTEWARD_HOST_TABLE_H

#include "tissuesteward/export.h"
#include "tissuesteward/host_api.h"

#include <type_traits>

// Opens the running program through the dynamic loader and binds every entry
// by name, in table order. The version function comes first: when the program
// does not export it, its entry is set null, the rest keep their values and
// the result is false. Otherwise each entry receives what the program exports
// under its name, or null, and the result is true. A name that resolves to
// the library's own variable (the plug-in loaded with global symbols into a
// host that lacks the function) counts as missing. May run any number of times.
TS_API bool InitHVAccess();

// The entries, one per row of host_functions.def (the host's functions in
// binding order): `extern "C" hvapi::LogText *hvLogText;` and so on, each a
// pointer to the function type its row gives.
extern "C" {
#define TS_HOST_FUNCTION(name, ...) extern TS_API std::add_pointer_t<__VA_ARGS__> name;
#include "tissuesteward/host_functions.def"
}

#endif
