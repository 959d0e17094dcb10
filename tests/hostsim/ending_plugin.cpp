// SPDX-License-Identifier: MIT
// Plug-ins that crash, end the process or hang instead of returning, to check
// that hvsim reports them and never takes such a session for one that was
// played. ENDING picks the behaviour: 0 and 2 exit with that status (in
// execute and in initPlugin), 1 takes the toolkit's fatal exit in execute,
// 3 never returns from execute, 4 aborts in initPlugin.
#include "tissuesteward/entry_points.h"
#include "tissuesteward/gamma_beta_erf.h"

#include <unistd.h>

#include <cstdlib>

namespace {

constexpr int kEnding = ENDING;

class Ending final : public KOHVPluginInterface {
 public:
  bool initPlugin() override {
    if (kEnding == 2) std::exit(2);
    if (kEnding == 4) std::abort();
    return true;
  }
  bool execute() override {
    if (kEnding == 0) std::exit(0);
    if (kEnding == 1) return gammq(-1.0f, 1.0f) > 0.0f;  // "Invalid arguments", exit 1
    for (;;) pause();
  }
};

}  // namespace

extern "C" {
const char *getPluginName() { return "ending"; }
const char *getPluginDescription() { return ""; }
const char *getAuthor() { return ""; }
const char *getHelpFile() { return ""; }
const char *getPluginVersion() { return "0"; }
const char *getGUIScript() { return ""; }
KOHVPluginInterface *createPlugin() { return new Ending; }
}
