// SPDX-License-Identifier: MIT
// hvsim: plays the host against a plug-in library built for its API.
//
//   hvsim [--host-version X.Y.Z] [--api full|version|none] [--global] [--timeout S]
//         LIBRARY SESSION
//
// Loads the host API provider, then the plug-in (through dlopen only), prints
// its six descriptive strings, creates and initialises the plug-in object,
// plays the session (session.h, player.h), destroys the object and unloads the
// library, printing every host call on the way. The session runs in a child
// process (see supervise.h), so a plug-in that crashes, ends the process or
// hangs is reported rather than taking hvsim down.
#include "control.h"
#include "options.h"
#include "player.h"
#include "plugin_library.h"
#include "providers.h"
#include "quoting.h"
#include "session.h"
#include "supervise.h"
#include "validate.h"

#include <dlfcn.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

using namespace hvsim;

constexpr char kUsage[] =
    "usage: hvsim [--host-version X.Y.Z] [--api full|version|none] [--global] [--timeout S]\n"
    "             LIBRARY SESSION\n"
    "       hvsim validate [--list] [--only NAME] LIBRARY   (see hvsim validate --help)\n"
    "  --host-version  the version the host reports (default 2.6.0)\n"
    "  --api           the host API the process exports: the log, dialogs and script\n"
    "                  parameters (full, default), only the version function, or none\n"
    "  --global        load the plug-in with RTLD_GLOBAL (default RTLD_LOCAL)\n"
    "  --timeout       seconds one plug-in call may take (default 60)\n"
    "exit status: 0 every expectation held, 1 one failed, 2 bad input, 3 the plug-in\n"
    "crashed, ended the process or did not return in time\n";

int play(const Options &options, const Session &session, const Channel &channel) {
  std::string error;
  const Provider provider = load_provider(options.api, error);  // closed last
  if (provider.control == nullptr) {
    std::fprintf(stderr, "hvsim: %s\n", error.c_str());
    return kBadInput;
  }
  Control &host = *provider.control;
  host.reset();
  host.set_version(options.version[0], options.version[1], options.version[2]);
  std::printf("hvsim: host %d.%d.%d with %s; plug-in %s loaded with %s symbols\n",
              options.version[0], options.version[1], options.version[2],
              options.api == "full"      ? "the full API"
              : options.api == "version" ? "only the version function"
                                         : "no API",
              options.library.c_str(), options.global ? "global" : "local");

  Library library;
  {
    const Call call(channel, "loading the library (its initialisers)");
    library =
        Library(options.library.c_str(), RTLD_NOW | (options.global ? RTLD_GLOBAL : RTLD_LOCAL));
  }
  if (!library) {
    std::fprintf(stderr, "hvsim: cannot load %s: %s\n%s", options.library.c_str(), dlerror(),
                 bare_name_hint(options.library).c_str());
    return kBadInput;
  }
  std::string missing;
  const EntryPoints entries = find_entry_points(library, missing);
  if (!missing.empty()) {
    std::fprintf(stderr, "hvsim: %s lacks the entry points %s\n", options.library.c_str(),
                 missing.c_str());
    return kBadInput;
  }
  for (int i = 0; i < 6; ++i) {
    const Call call(channel, kDescriptiveEntryPoints[i]);
    std::printf("%-20s %s\n", kDescriptiveEntryPoints[i], quoted(entries.describe[i]()).c_str());
  }

  Player player(host, entries, channel);
  const int status = player.play(session);
  std::printf("-- unload\n");
  {
    const Call call(channel, "unloading the library (its finalisers)");
    library.close();
  }
  std::printf("hvsim: %d expectation(s) held, %d failed\n", player.held(), player.failed());
  return status;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc > 1 && std::strcmp(argv[1], "validate") == 0) return validate_main(argc - 1, argv + 1);
  Options options;
  try {
    options = parse_options(argc, argv);
  } catch (const UsageError &error) {
    std::fprintf(stderr, "hvsim: %s\n%s", error.what.c_str(), kUsage);
    return kBadInput;
  }
  if (options.help) {
    std::fputs(kUsage, stdout);
    return kAllHeld;
  }

  std::ifstream in(options.session);
  if (!in) {
    std::fprintf(stderr, "hvsim: cannot read %s: %s\n", options.session.c_str(),
                 std::strerror(errno));
    return kBadInput;
  }
  Session session;
  try {
    session = parse_session(in);
    if (in.bad()) throw SessionError(std::strerror(errno));
  } catch (const SessionError &error) {
    std::fprintf(stderr, "hvsim: %s: %s\n", options.session.c_str(), error.what());
    return kBadInput;
  }
  return supervise([&](const Channel &channel) { return play(options, session, channel); },
                   options.timeout, kCrashed);
}
