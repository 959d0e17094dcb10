// SPDX-License-Identifier: MIT
// The plug-in object as the host sees it.
//
// The host receives a KOHVPluginInterface* from createPlugin and calls it
// through this virtual table only, so the slot order is fixed:
//   0, 1  destructor (complete object, then deleting)
//   2     execute
//   3     initPlugin
// Calling order: initPlugin once, then any number of execute calls, then
// delete. The host owns the object and ends it with delete.
#ifndef TISSUESTEWARD_PLUGIN_INTERFACE_H
#define TISSUESTEWARD_PLUGIN_INTERFACE_H

class KOHVPluginInterface {
 public:
  virtual ~KOHVPluginInterface() = default;

  // [after a successful initPlugin] One request of the GUI script, read from
  // and answered through the host's script parameters. Always true.
  virtual bool execute() = 0;

  // [once, first] Binds the host's API and checks the host's version.
  // false: the plug-in cannot run in this host; the host must not call execute.
  virtual bool initPlugin() = 0;
};

#endif
