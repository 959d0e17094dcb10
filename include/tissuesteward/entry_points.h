// SPDX-License-Identifier: MIT
// What the host looks up by name in the plug-in library. All seven have C
// linkage, so their symbols are the plain names below.
#ifndef TISSUESTEWARD_ENTRY_POINTS_H
#define TISSUESTEWARD_ENTRY_POINTS_H

#include "tissuesteward/export.h"
#include "tissuesteward/plugin_interface.h"

extern "C" {

// Descriptive strings: static, read-only, owned by the library for as long as
// it is loaded. The caller must neither free nor modify them.
TS_API const char *getPluginName();         // "tissuesteward (v0.1)"
TS_API const char *getPluginDescription();  // one line of HTML-style text
TS_API const char *getAuthor();             // "<i>name</i>, organisation"
TS_API const char *getHelpFile();           // "": there is no help file
TS_API const char *getPluginVersion();      // "0.1"
TS_API const char *getGUIScript();          // file name of the GUI script

// A fresh plug-in object on the free store; the caller owns it and ends it
// with delete. Each call makes a new object. Null only when memory runs out.
TS_API KOHVPluginInterface *createPlugin();
}

#endif
