// SPDX-License-Identifier: MIT
// What a test host needs to play the host to the plug-in library.
//
// Each test host is an executable that exports (part of) the host API itself,
// through the stand-in host's state linked into it, and loads the built
// library with dlopen, as the real host does. What a host exports is fixed
// per process, so each kind of host is its own executable.
#ifndef TISSUESTEWARD_TESTS_FRAME_PLUGIN_HOST_H
#define TISSUESTEWARD_TESTS_FRAME_PLUGIN_HOST_H

#include "control.h"
#include "plugin_library.h"
#include "tissuesteward/plugin_interface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace ts::testing {

// The host table's names, in binding order.
inline constexpr const char *kHostFunctionNames[] = {
#define TS_HOST_FUNCTION(name, ...) #name,
#include "tissuesteward/host_functions.def"
};

// The symbols of the frame's C++ functions: frame_symbol::InitHVAccess...
namespace frame_symbol {
#define TS_FRAME_FUNCTION(name, symbol) inline constexpr char name[] = symbol;
#include "frame/exports.def"
}  // namespace frame_symbol

using Transcript = std::vector<std::string>;

// The plug-in library, loaded once per process with this host's dlopen mode,
// and its entry points found as hvsim finds them.
class Plugin {
 public:
  static const Plugin &get() {
    static const Plugin plugin;
    return plugin;
  }

  void *symbol(const char *name) const { return library_.symbol(name); }

  KOHVPluginInterface *create() const { return entries_.create(); }
  const char *text(const char *entry_point) const {
    return function<const char *()>(entry_point)();
  }
  bool bind() const { return function<bool()>(frame_symbol::InitHVAccess)(); }
  bool version_at_least(int major, int minor, int patch, int req_major, int req_minor,
                        int req_patch) const {
    return function<bool(int, int, int, int, int, int)>(
        frame_symbol::checkVersionGreaterEqualVersion)(major, minor, patch, req_major, req_minor,
                                                       req_patch);
  }

  // The host table variable of that name, as the library exports it.
  void **entry_variable(const char *name) const {
    void *variable = symbol(name);
    if (variable == nullptr) die("the library exports no table entry ", name);
    return static_cast<void **>(variable);
  }
  void *entry(const char *name) const { return *entry_variable(name); }

 private:
  Plugin() : library_(TS_PLUGIN_PATH, TS_PLUGIN_DLOPEN_MODE | RTLD_NOW) {
    if (!library_) die("cannot load the plug-in: ", dlerror());
    std::string missing;
    entries_ = hvsim::find_entry_points(library_, missing);
    if (!missing.empty()) die("the library lacks the entry points ", missing.c_str());
  }

  template <class Signature>
  Signature *function(const char *name) const {
    void *found = symbol(name);
    if (found == nullptr) die("the library exports no ", name);
    return reinterpret_cast<Signature *>(found);
  }

  [[noreturn]] static void die(const char *what, const char *detail) {
    std::fprintf(stderr, "%s%s\n", what, detail);
    std::abort();
  }

  hvsim::Library library_;
  hvsim::EntryPoints entries_{};
};

inline const Plugin &plugin() { return Plugin::get(); }
inline hvsim::Control &host() { return *hvsim_control(); }

// Every test starts with a fresh host: version 2.6.0, nothing set or queued.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override { host().reset(); }
};

}  // namespace ts::testing

#endif
