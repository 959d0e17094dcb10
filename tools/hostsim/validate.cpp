// SPDX-License-Identifier: MIT
// Runs the checks of validate_checks.cpp, each in a child process of its own
// that loads the provider and the plug-in itself: a check that crashes or
// hangs fails alone, and no check sees what another one left behind.
#include "validate.h"

#include "providers.h"
#include "validate_checks.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace hvsim {
namespace {

using namespace validate;

constexpr char kUsage[] =
    "usage: hvsim validate [--list] [--only NAME] [--timeout SECONDS] LIBRARY\n"
    "  --list       name and describe the checks, run none\n"
    "  --only NAME  run the check NAME, or every check whose name starts with NAME.\n"
    "  --timeout S  a check still running after S seconds (default 60) is killed and fails\n"
    "exit status: 0 no check failed, 1 one failed or crashed, 2 usage\n";

// In the child: loads the provider and the plug-in, runs the check.
Outcome run_here(const Check &check, const std::string &library) {
  std::string error;
  const Provider provider = load_provider(check.api, error);  // closed last
  Control *host = provider.control;
  if (host == nullptr) return {Verdict::kFail, error.substr(0, error.find('\n'))};
  host->reset();
  const Library handle(library.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle) {
    const char *why = dlerror();
    return {Verdict::kFail,
            std::string("cannot load ") + library + ": " + (why ? why : "?") +
                (library.find('/') == std::string::npos ? " (write ./" + library + ")" : "")};
  }
  std::string missing;
  const EntryPoints entries = find_entry_points(handle, missing);
  Plugin plugin{entries, *host, missing};
  return check.run(plugin);
}

struct Report {
  const char *verdict;  // pass, fail, skip, crash
  std::string reason;
};

// Reads everything the child writes to `fd` until it closes it or the
// deadline passes; false on timeout.
bool read_until_closed(int fd, std::string &text, std::chrono::steady_clock::time_point deadline) {
  char buffer[4096];
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return false;
    pollfd waiting{fd, POLLIN, 0};
    const int ready = poll(&waiting, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return true;
    text.append(buffer, static_cast<std::size_t>(got));
  }
}

Report run_contained(const Check &check, const std::string &library, int timeout_seconds) {
  int channel[2];
  if (pipe(channel) != 0) return {"fail", std::string("pipe: ") + std::strerror(errno)};
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) return {"fail", std::string("fork: ") + std::strerror(errno)};
  if (child == 0) {
    close(channel[0]);
    // What the plug-in prints is not part of the report.
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) dup2(null, STDOUT_FILENO);
    const Outcome outcome = run_here(check, library);
    const std::string message = (outcome.verdict == Verdict::kPass   ? "pass "
                                 : outcome.verdict == Verdict::kSkip ? "skip "
                                                                     : "fail ") +
                                outcome.reason;
    const char *p = message.data();
    std::size_t left = message.size();
    while (left > 0) {
      const ssize_t put = write(channel[1], p, left);
      if (put <= 0 && errno != EINTR) break;
      if (put > 0) p += put, left -= static_cast<std::size_t>(put);
    }
    _exit(0);  // no static destructors of a plug-in that may be half torn down
  }
  close(channel[1]);
  std::string message;
  const bool finished =
      read_until_closed(channel[0], message,
                        std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds));
  close(channel[0]);
  if (!finished) kill(child, SIGKILL);
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!finished)
    return {"fail", "hung: no result within " + std::to_string(timeout_seconds) + " s"};
  if (WIFSIGNALED(status))
    return {"crash", "signal " + std::to_string(WTERMSIG(status)) + " (" +
                         strsignal(WTERMSIG(status)) + ")"};
  if (message.size() < 5 || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return {"fail", "the check's process ended with status " +
                        std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) +
                        " before reporting"};
  static const char *const kVerdicts[] = {"pass", "skip", "fail"};
  for (const char *verdict : kVerdicts)
    if (message.compare(0, 4, verdict) == 0) return {verdict, message.substr(5)};
  return {"fail", "unreadable result"};
}

bool selected(const Check &check, const std::string &only) {
  if (only.empty()) return true;
  const std::string name = check.name;
  return name == only || (name.rfind(only, 0) == 0 && name[only.size()] == '.');
}

}  // namespace

int validate_main(int argc, char **argv) {
  bool list = false;
  std::string only;
  std::string library;
  int timeout_seconds = 60;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--list") {
      list = true;
    } else if (arg == "--only" && i + 1 < argc) {
      only = argv[++i];
    } else if (arg == "--timeout" && i + 1 < argc) {
      timeout_seconds = std::atoi(argv[++i]);
      if (timeout_seconds <= 0) {
        std::fprintf(stderr, "hvsim validate: --timeout takes a positive number of seconds\n");
        return 2;
      }
    } else if (arg == "--help" || arg == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (arg[0] == '-' || !library.empty()) {
      std::fprintf(stderr, "hvsim validate: unexpected '%s'\n%s", arg.c_str(), kUsage);
      return 2;
    } else {
      library = arg;
    }
  }
  int matched = 0;
  for (const Check *check = checks_begin(); check != checks_end(); ++check)
    matched += selected(*check, only);
  if (matched == 0) {
    std::fprintf(stderr, "hvsim validate: no check is named '%s' (see --list)\n", only.c_str());
    return 2;
  }
  if (list) {
    for (const Check *check = checks_begin(); check != checks_end(); ++check)
      if (selected(*check, only)) std::printf("%-36s %s\n", check->name, check->description);
    return 0;
  }
  if (library.empty()) {
    std::fprintf(stderr, "hvsim validate: needs a LIBRARY\n%s", kUsage);
    return 2;
  }

  int passed = 0, failed = 0, skipped = 0;
  for (const Check *check = checks_begin(); check != checks_end(); ++check) {
    if (!selected(*check, only)) continue;
    const Report report = run_contained(*check, library, timeout_seconds);
    std::printf("%-5s %-36s %s\n", report.verdict, check->name, report.reason.c_str());
    std::fflush(stdout);
    const std::string verdict = report.verdict;
    (verdict == "pass" ? passed : verdict == "skip" ? skipped : failed) += 1;
  }
  std::printf("%d passed, %d failed", passed, failed);
  if (skipped > 0) std::printf(", %d skipped", skipped);
  std::printf("\n");
  return failed == 0 ? 0 : 1;
}

}  // namespace hvsim
