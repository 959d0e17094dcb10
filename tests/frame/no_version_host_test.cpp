// SPDX-License-Identifier: MIT
// The plug-in in a process that exports the log, dialogs and parameters but
// no version function: not a host the plug-in can run in. Built twice: the
// plug-in loaded with local and with global symbols (where its own
// hvGetVersionOfKorvelHV variable is visible to the lookup and must not count).
#include "plugin_host.h"

namespace ts::testing {
namespace {

class NoVersionHost : public HostTest {};

void marker(const char *) {}

TEST_F(NoVersionHost, DestroyingBeforeAnyBindingLogsNothing) {
  delete plugin().create();
  EXPECT_TRUE(host().transcript().empty());
}

TEST_F(NoVersionHost, BindingFailsAndLeavesTheOtherEntriesAsTheyWere) {
  void **version = plugin().entry_variable("hvGetVersionOfKorvelHV");
  void **log = plugin().entry_variable("hvLogText");
  *version = reinterpret_cast<void *>(&marker);
  *log = reinterpret_cast<void *>(&marker);

  EXPECT_FALSE(plugin().bind());
  EXPECT_EQ(*version, nullptr);
  EXPECT_EQ(*log, reinterpret_cast<void *>(&marker));
  EXPECT_EQ(plugin().entry("hvMessageBox"), nullptr);
  *log = nullptr;
}

TEST_F(NoVersionHost, InitFailsSilently) {
  KOHVPluginInterface *object = plugin().create();
  EXPECT_FALSE(object->initPlugin());
  delete object;
  EXPECT_TRUE(host().transcript().empty());
}

}  // namespace
}  // namespace ts::testing
