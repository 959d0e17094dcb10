// SPDX-License-Identifier: MIT
// The plug-in class. It holds no data: everything it needs lives in the
// host function table, which initPlugin fills.
#ifndef TISSUESTEWARD_FRAME_PLUGIN_H
#define TISSUESTEWARD_FRAME_PLUGIN_H

#include "tissuesteward/plugin_interface.h"

class tissuesteward final : public KOHVPluginInterface {
 public:
  // Logs "tissuesteward finished!" when the host's log is bound, whether or
  // not the object was ever initialised.
  ~tissuesteward() override;

  // Shows the open-file dialog the script asked for in "Command" and answers
  // in "Filename" or "TargetFilename" with "ErrorNr" 0, or with "ErrorNr" -1
  // and "ErrorMsg" "No file selected". Unknown commands change nothing.
  bool execute() override;

  // Binds the host table; refuses hosts older than 2.6.0 with a message box;
  // otherwise shows the log and logs the start. False: do not run.
  bool initPlugin() override;
};

#endif
