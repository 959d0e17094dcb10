// SPDX-License-Identifier: MIT
// The plug-in in a host whose API has nothing but the version function. Built
// twice: the plug-in loaded with local and with global symbols. Loaded
// globally, the library's own table variables are visible to its lookup in
// the running program; they must never be taken for host functions.
#include "plugin_host.h"

#include "frame/texts.h"

#include <cstring>

extern "C" void hvGetVersionOfKorvelHV(int *major, int *minor, int *patch);  // this host's API

namespace ts::testing {
namespace {

class VersionOnlyHost : public HostTest {};

TEST_F(VersionOnlyHost, BindsTheVersionFunctionAndNothingElse) {
  ASSERT_TRUE(plugin().bind());
  for (const char *name : kHostFunctionNames) {
    if (std::strcmp(name, "hvGetVersionOfKorvelHV") == 0)
      EXPECT_EQ(plugin().entry(name), reinterpret_cast<void *>(&hvGetVersionOfKorvelHV));
    else
      EXPECT_EQ(plugin().entry(name), nullptr) << name;
  }
}

TEST_F(VersionOnlyHost, RunsWithoutCallingWhatIsMissing) {
  KOHVPluginInterface *object = plugin().create();
  EXPECT_TRUE(object->initPlugin());
  host().set_parameter(ts::frame::kCommandParameter, std::string(ts::frame::kGetFileName));
  host().queue_answer({hvsim::kDialogChosen, "/never/shown"});
  EXPECT_TRUE(object->execute());
  delete object;
  EXPECT_EQ(host().transcript(), Transcript{"hvGetVersionOfKorvelHV -> 2.6.0"});
  EXPECT_EQ(host().pending_answers(), 1u);
  EXPECT_EQ(host().parameter(ts::frame::kErrorNrParameter), std::nullopt);
}

TEST_F(VersionOnlyHost, RefusesAnOldHostWithoutAMessageBoxToShow) {
  host().set_version(2, 5, 12);
  KOHVPluginInterface *object = plugin().create();
  EXPECT_FALSE(object->initPlugin());
  delete object;
  EXPECT_EQ(host().transcript(), Transcript{"hvGetVersionOfKorvelHV -> 2.5.12"});
}

}  // namespace
}  // namespace ts::testing
