// SPDX-License-Identifier: MIT
// The host function table and its binding by name.
#include "tissuesteward/host_table.h"

#include <dlfcn.h>

#include <cstddef>
#include <iterator>
#include <type_traits>

// Every entry, null until bound. Their symbols are the host functions' names.
extern "C" {
#define TS_HOST_FUNCTION(name, ...) decltype(name) name{};
#include "tissuesteward/host_functions.def"
}

namespace {

// One row of the binding list: the name to look up and where to store it.
struct Entry {
  const char *name;
  const void *slot;             // the table variable itself
  void (*store)(void *symbol);  // writes the symbol into the variable
};

template <auto *slot>
void store_symbol(void *symbol) {
  using Pointer = std::remove_pointer_t<decltype(slot)>;
  *slot = reinterpret_cast<Pointer>(symbol);
}

template <auto *slot>
constexpr Entry entry(const char *name) {
  return {name, slot, &store_symbol<slot>};
}

// Binding order: the list's. The version function comes first: it decides
// whether the running program is a host at all.
constexpr Entry kHostTable[] = {
#define TS_HOST_FUNCTION(name, ...) entry<&name>(#name),
#include "tissuesteward/host_functions.def"
};
static_assert(std::size(kHostTable) == 184, "the host exports 184 plug-in functions");

// What the running program exports under the entry's name. Loaded with
// global symbols into a host that lacks the function, the library would find
// its own table variable there; that is data, not the host's function.
void *lookup(void *program, const Entry &entry) {
  void *symbol = dlsym(program, entry.name);
  return symbol == entry.slot ? nullptr : symbol;
}

}  // namespace

bool InitHVAccess() {
  void *program = dlopen(nullptr, RTLD_LAZY);  // never closed: the table points into it
  if (program == nullptr) return false;

  const Entry &version = kHostTable[0];
  void *version_function = lookup(program, version);
  version.store(version_function);
  if (version_function == nullptr) return false;

  for (std::size_t i = 1; i < std::size(kHostTable); ++i)
    kHostTable[i].store(lookup(program, kHostTable[i]));
  return true;
}
