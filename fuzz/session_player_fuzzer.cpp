// SPDX-License-Identifier: MIT
// Sessions played against the plug-in in this process, which exports the
// full host API (as hvsim's provider does). The first byte picks the host's
// version; the rest is a session file. Sessions the parser refuses are
// skipped; the others run through hvsim's own player.
//
// Invariants: no sanitizer report, no hang, and the plug-in object is always
// created and destroyed.
#include "control.h"
#include "player.h"
#include "plugin_library.h"
#include "session.h"
#include "supervise.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

using namespace hvsim;

struct Loaded {
  Library library;
  EntryPoints entries{};
};

const Loaded &plugin() {
  static const Loaded loaded = [] {
    Loaded l;
    l.library = Library(TS_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!l.library) {
      std::fprintf(stderr, "session player fuzzer: %s\n", dlerror());
      std::abort();
    }
    std::string missing;
    l.entries = find_entry_points(l.library, missing);
    if (!missing.empty()) std::abort();
    return l;
  }();
  return loaded;
}

constexpr int kVersions[][3] = {{2, 6, 0}, {2, 5, 12}, {10, 0, 0}, {2, 6, 1}, {0, 0, 0}};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  std::freopen("/dev/null", "w", stdout);  // the transcripts
  plugin();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size == 0) return 0;
  std::istringstream in(std::string(reinterpret_cast<const char *>(data) + 1, size - 1));
  Session session;
  try {
    session = parse_session(in);
  } catch (const SessionError &) {
    return 0;
  }
  Control &host = *hvsim_control();
  host.reset();
  const int *version = kVersions[data[0] % (sizeof kVersions / sizeof kVersions[0])];
  host.set_version(version[0], version[1], version[2]);
  const Channel quiet;
  Player player(host, plugin().entries, quiet);
  player.play(session);
  return 0;
}
