// SPDX-License-Identifier: MIT
// A plug-in that gets most things wrong, for hvsim validate to catch: a help
// text that moves, a leak per object, no version gate, no refusal without a
// host, a hang under host 10.0.0 and a crash in every execute.
#include "tissuesteward/entry_points.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

using GetVersion = void (*)(int *, int *, int *);

class Faulty final : public KOHVPluginInterface {
 public:
  Faulty() : leaked_(new char[256]) { leaked_[0] = 'x'; }
  bool execute() override { std::abort(); }
  bool initPlugin() override {
    auto version = reinterpret_cast<GetVersion>(dlsym(RTLD_DEFAULT, "hvGetVersionOfKorvelHV"));
    if (version == nullptr) return true;
    int major = 0, minor = 0, patch = 0;
    version(&major, &minor, &patch);
    while (major == 10) pause();
    return true;
  }

 private:
  char *leaked_;
};

}  // namespace

extern "C" {
const char *getPluginName() { return "faulty"; }
const char *getPluginDescription() { return ""; }
const char *getAuthor() { return ""; }
const char *getHelpFile() {
  static std::string texts[2] = {"a", "b"};
  static int calls = 0;
  return texts[calls++ % 2].c_str();
}
const char *getPluginVersion() { return "0"; }
const char *getGUIScript() { return ""; }
KOHVPluginInterface *createPlugin() { return new Faulty; }
}
