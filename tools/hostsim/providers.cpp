// SPDX-License-Identifier: MIT
// Where the host API providers are: beside hvsim in the build tree, under
// ../<libdir>/hvsim in an install tree. hvsim's own place comes from the
// system, not from argv[0] or the loader's search path. (A sanitizer's dlopen
// wrapper hides hvsim's run path from the loader, so full paths are given.)
#include "providers.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

#if defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace hvsim {
namespace {

// The folder holding the running executable, with a trailing '/', or "".
std::string own_folder() {
  std::string path;
#if defined(__APPLE__)
  char raw[PATH_MAX];
  uint32_t size = sizeof raw;
  char resolved[PATH_MAX];
  if (_NSGetExecutablePath(raw, &size) == 0 && realpath(raw, resolved) != nullptr) path = resolved;
#else
  char self[PATH_MAX];
  const ssize_t size = readlink("/proc/self/exe", self, sizeof self - 1);
  if (size > 0) path.assign(self, static_cast<std::size_t>(size));
#endif
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

const char *provider_file(const std::string &api) {
  return api == "full"      ? HVSIM_PROVIDER_FULL
         : api == "version" ? HVSIM_PROVIDER_VERSION
                            : HVSIM_PROVIDER_NONE;
}

}  // namespace

Provider load_provider(const std::string &api, std::string &error) {
  const std::string file = provider_file(api);
  const std::string folder = own_folder();
  std::vector<std::string> places;
  if (folder.empty()) {
    places.push_back(file);  // left to the loader's search path
  } else {
    places.push_back(folder + file);
    places.push_back(folder + HVSIM_PROVIDER_INSTALL_DIR "/" + file);
  }
  error = "cannot load the host API provider " + file + "; tried:";
  for (const std::string &place : places) {
    Library provider(place.c_str(), RTLD_NOW | RTLD_GLOBAL);
    void *control = provider ? provider.symbol("hvsim_control") : nullptr;
    if (control != nullptr)
      return {std::move(provider), reinterpret_cast<decltype(&hvsim_control)>(control)()};
    const char *why = dlerror();
    error += "\n  " + place + ": " + (why != nullptr ? why : "no hvsim_control");
  }
  return {};
}

std::string bare_name_hint(const std::string &library) {
  if (library.find('/') != std::string::npos) return {};
  return "hvsim: a name without '/' is searched for on the loader's path only; for a file in "
         "this folder, write ./" +
         library + "\n";
}

}  // namespace hvsim
