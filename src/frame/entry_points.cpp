// SPDX-License-Identifier: MIT
// The seven functions the host looks up by name.
#include "tissuesteward/entry_points.h"

#include "frame/plugin.h"
#include "frame/texts.h"

#include <new>

namespace {
const char *const PluginDescription = ts::frame::kPluginDescription;
}  // namespace

const char *getPluginName() { return ts::frame::kPluginName; }
const char *getPluginDescription() { return PluginDescription; }
const char *getAuthor() { return ts::frame::kAuthor; }
const char *getHelpFile() { return ts::frame::kHelpFile; }
const char *getPluginVersion() { return ts::frame::kPluginVersion; }
const char *getGUIScript() { return ts::frame::kGUIScript; }

KOHVPluginInterface *createPlugin() { return new (std::nothrow) tissuesteward; }
