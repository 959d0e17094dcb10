// A plug-in that dies in initPlugin, to check that hvsim reports a crashing
// plug-in instead of crashing itself.
#include "tissuesteward/entry_points.h"

#include <cstdlib>

namespace {
class Aborting final : public KOHVPluginInterface {
 public:
  bool execute() override { return true; }
  bool initPlugin() override { std::abort(); }
};
}  // namespace

extern "C" {
const char *getPluginName() { return "aborting"; }
const char *getPluginDescription() { return ""; }
const char *getAuthor() { return ""; }
const char *getHelpFile() { return ""; }
const char *getPluginVersion() { return "0"; }
const char *getGUIScript() { return ""; }
KOHVPluginInterface *createPlugin() { return new Aborting; }
}
