// SPDX-License-Identifier: MIT
// The plug-in in a host that exports all 184 API functions, each a distinct
// function returning its place in the table. Every entry must hold the
// host's function of its own name, found by name; and since the library
// exports data under the very names this executable exports code under,
// binding must write only into the library (or it would fault on the host's
// read-only code).
#include "plugin_host.h"

#include <cstring>
#include <iterator>

// This host's API, in table order (all_host_functions.cpp).
extern "C" int (*const kAllHostFunctions[])();

namespace ts::testing {
namespace {

using HostFunction = int();

std::vector<void *> table() {
  std::vector<void *> entries;
  for (const char *name : kHostFunctionNames) entries.push_back(plugin().entry(name));
  return entries;
}

TEST(Binding, EveryEntryHoldsTheHostFunctionOfItsName) {
  ASSERT_TRUE(plugin().bind());
  for (std::size_t i = 0; i < std::size(kHostFunctionNames); ++i) {
    const char *name = kHostFunctionNames[i];
    void *entry = plugin().entry(name);
    ASSERT_EQ(entry, reinterpret_cast<void *>(kAllHostFunctions[i])) << name;
    EXPECT_EQ(reinterpret_cast<HostFunction *>(entry)(), static_cast<int>(i)) << name;
    EXPECT_NE(static_cast<void *>(plugin().entry_variable(name)), entry) << name;
  }
}

TEST(Binding, TwiceGivesTheSameTable) {
  ASSERT_TRUE(plugin().bind());
  const std::vector<void *> first = table();
  ASSERT_TRUE(plugin().bind());
  EXPECT_EQ(table(), first);
}

TEST(Binding, LeavesTheHostsCodeAlone) {
  unsigned char before[std::size(kHostFunctionNames)][16];
  for (std::size_t i = 0; i < std::size(kHostFunctionNames); ++i)
    std::memcpy(before[i], reinterpret_cast<const void *>(kAllHostFunctions[i]), 16);
  ASSERT_TRUE(plugin().bind());
  for (std::size_t i = 0; i < std::size(kHostFunctionNames); ++i)
    EXPECT_EQ(std::memcmp(before[i], reinterpret_cast<const void *>(kAllHostFunctions[i]), 16), 0)
        << kHostFunctionNames[i];
}

}  // namespace
}  // namespace ts::testing
