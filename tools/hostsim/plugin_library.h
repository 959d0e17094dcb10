// SPDX-License-Identifier: MIT
// A library opened with dlopen, and the seven entry points the host looks up
// in a plug-in: shared by hvsim, its validator and the test hosts.
#ifndef TISSUESTEWARD_HOSTSIM_PLUGIN_LIBRARY_H
#define TISSUESTEWARD_HOSTSIM_PLUGIN_LIBRARY_H

#include "tissuesteward/entry_points.h"

#include <dlfcn.h>

#include <string>
#include <utility>

namespace hvsim {

// Owns one dlopen handle and closes it when it goes (or at close()). Test
// `if (library)` after opening; dlerror() then says why it failed.
class Library {
 public:
  Library() = default;
  Library(const char *path, int mode) : handle_(dlopen(path, mode)) {}
  Library(Library &&other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Library &operator=(Library &&other) noexcept {
    if (this != &other) {
      close();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  Library(const Library &) = delete;
  Library &operator=(const Library &) = delete;
  ~Library() { close(); }

  explicit operator bool() const { return handle_ != nullptr; }
  void *symbol(const char *name) const { return dlsym(handle_, name); }
  void close() {
    if (handle_ != nullptr) dlclose(std::exchange(handle_, nullptr));
  }

 private:
  void *handle_ = nullptr;
};

// The descriptive entry points, in the order hvsim prints them; then
// createPlugin.
inline constexpr const char *kDescriptiveEntryPoints[6] = {
    "getPluginName", "getPluginDescription", "getAuthor",
    "getHelpFile",   "getPluginVersion",     "getGUIScript"};

struct EntryPoints {
  decltype(&getPluginName) describe[6];
  decltype(&createPlugin) create;
};

// Looks the entry points up in `library`. Each one it lacks stays null and is
// named in `missing` ("getAuthor, createPlugin"), which is otherwise "".
inline EntryPoints find_entry_points(const Library &library, std::string &missing) {
  EntryPoints entries{};
  auto find = [&](const char *name) {
    void *symbol = library.symbol(name);
    if (symbol == nullptr) missing += missing.empty() ? name : std::string(", ") + name;
    return symbol;
  };
  for (int i = 0; i < 6; ++i)
    entries.describe[i] =
        reinterpret_cast<decltype(&getPluginName)>(find(kDescriptiveEntryPoints[i]));
  entries.create = reinterpret_cast<decltype(&createPlugin)>(find("createPlugin"));
  return entries;
}

}  // namespace hvsim

#endif
