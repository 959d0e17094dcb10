// SPDX-License-Identifier: MIT
// hvsim: plays the host against a plug-in library built for its API.
//
//   hvsim [--host-version X.Y.Z] [--api full|version|none] [--global] [--timeout S]
//         LIBRARY SESSION
//
// Loads the host API provider, then the plug-in (through dlopen only), prints
// its six descriptive strings, creates and initialises the plug-in object,
// plays the session (see session.h), destroys the object and unloads the
// library, printing every host call on the way. The session runs in a child
// process (see supervise.h), so a plug-in that crashes, ends the process or
// hangs is reported rather than taking hvsim down.
#include "control.h"
#include "plugin_library.h"
#include "providers.h"
#include "quoting.h"
#include "session.h"
#include "supervise.h"
#include "validate.h"

#include "tissuesteward/entry_points.h"
#include "tissuesteward/plugin_interface.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

using namespace hvsim;

// Exit statuses.
constexpr int kAllHeld = 0;
constexpr int kFailed = 1;     // an expectation failed, or the session went wrong
constexpr int kBadInput = 2;   // usage, session file, library or provider
constexpr int kCrashed = 3;    // the plug-in crashed, ended the process or hung

constexpr double kDefaultTimeout = 60.0;  // seconds per plug-in call
constexpr double kLongestTimeout = 86400.0;

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

struct UsageError {
  std::string what;
};

struct Options {
  bool help = false;
  int version[3] = {2, 6, 0};
  std::string api = "full";
  bool global = false;
  double timeout = kDefaultTimeout;
  std::string library;
  std::string session;
};

void parse_version(const std::string &text, int (&version)[3]) {
  const char *p = text.c_str();
  for (int i = 0; i < 3; ++i) {
    char *end = nullptr;
    errno = 0;
    const long part = std::strtol(p, &end, 10);
    // Digits only: strtol would also take blanks and a sign before them.
    if (!std::isdigit(static_cast<unsigned char>(*p)) || errno == ERANGE || part > 999999 ||
        *end != (i < 2 ? '.' : '\0'))
      throw UsageError{"--host-version takes MAJOR.MINOR.PATCH, not '" + text + "'"};
    version[i] = static_cast<int>(part);
    p = end + 1;
  }
}

Options parse_options(int argc, char **argv) {
  Options options;
  std::string positional[2];
  int count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 == argc) throw UsageError{arg + " needs a value"};
      return argv[++i];
    };
    if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--host-version") {
      parse_version(value(), options.version);
    } else if (arg == "--api") {
      options.api = value();
      if (options.api != "full" && options.api != "version" && options.api != "none")
        throw UsageError{"--api takes full, version or none, not '" + options.api + "'"};
    } else if (arg == "--global") {
      options.global = true;
    } else if (arg == "--timeout") {
      const std::string text = value();
      char *end = nullptr;
      options.timeout = std::strtod(text.c_str(), &end);
      if (text.empty() || *end != '\0' || !(options.timeout > 0.0) ||
          !(options.timeout <= kLongestTimeout))
        throw UsageError{"--timeout takes seconds above 0, up to 86400, not '" + text + "'"};
    } else if (arg.size() > 1 && arg[0] == '-') {
      throw UsageError{"unknown option " + arg};
    } else if (count == 2) {
      throw UsageError{"unexpected argument '" + arg + "'"};
    } else {
      positional[count++] = arg;
    }
  }
  if (!options.help && count < 2) throw UsageError{"needs a LIBRARY and a SESSION"};
  options.library = positional[0];
  options.session = positional[1];
  return options;
}

std::string describe(const std::optional<Value> &value) {
  if (!value) return "unset";
  if (const auto *text = std::get_if<std::string>(&*value)) return "the text " + quoted(text->c_str());
  if (const auto *number = std::get_if<int>(&*value)) return "the int " + std::to_string(*number);
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(std::get<float>(*value)));
  return std::string("the float ") + text;
}

// Plays one session against one plug-in object.
class Player {
 public:
  Player(Control &host, const EntryPoints &entries, const Channel &channel)
      : host_(host), entries_(entries), channel_(channel) {}

  int play(const Session &session) {
    std::printf("-- createPlugin, initPlugin\n");
    {
      const Call call(channel_, "createPlugin");
      plugin_ = entries_.create();
    }
    if (plugin_ == nullptr) {
      std::printf("-- createPlugin returned null\n");
      return kFailed;
    }
    {
      const Call call(channel_, "initPlugin");
      init_result_ = plugin_->initPlugin();
    }
    flush_transcript();
    std::printf("-- initPlugin returned %s\n", init_result_ ? "true" : "false");
    if (!init_result_ && !session.expects_refusal)
      fail("initPlugin refused this host (say 'expect init false' if that is intended)");

    for (const Step &step : session.steps) run(step);
    if (plugin_ != nullptr) destroy();
    if (host_.pending_answers() > 0)
      fail(std::to_string(host_.pending_answers()) + " queued dialog answer(s) never used");
    return failed_ == 0 ? kAllHeld : kFailed;
  }

  int held() const { return held_; }
  int failed() const { return failed_; }

 private:
  void fail(const std::string &why) {
    std::printf("-- FAILED: %s\n", why.c_str());
    ++failed_;
  }

  // Prints the host calls made since the last flush.
  void flush_transcript() {
    const std::vector<std::string> &lines = host_.transcript();
    for (; printed_ < lines.size(); ++printed_) std::printf("   %s\n", lines[printed_].c_str());
  }

  void destroy() {
    std::printf("-- destroy\n");
    {
      const Call call(channel_, "the plug-in's destructor");
      delete plugin_;
    }
    plugin_ = nullptr;
    flush_transcript();
  }

  void run(const Step &step) {
    switch (step.kind) {
      case StepKind::kSet:
        std::printf("-- line %d: %s\n", step.line, step.text.c_str());
        return host_.set_parameter(step.name, step.value);
      case StepKind::kAnswer:
        std::printf("-- line %d: %s\n", step.line, step.text.c_str());
        return host_.queue_answer(step.answer);
      case StepKind::kDestroy: return destroy();
      case StepKind::kExecute: return execute(step);
      default: return expect(step);
    }
  }

  void execute(const Step &step) {
    std::printf("-- line %d: %s\n", step.line, step.text.c_str());
    if (!init_result_) return fail("execute skipped: initPlugin returned false");
    const std::size_t unanswered = host_.unanswered_dialogs();
    bool result = false;
    {
      const Call call(channel_, "execute (session line " + std::to_string(step.line) + ")");
      result = plugin_->execute();
    }
    flush_transcript();
    std::printf("-- execute returned %s\n", result ? "true" : "false");
    if (host_.unanswered_dialogs() != unanswered)
      fail("the plug-in showed a dialog but no answer was queued (answered as cancelled)");
  }

  void expect(const Step &step) {
    std::string why;
    if (check(step, why)) {
      std::printf("-- line %d: %s: held\n", step.line, step.text.c_str());
      ++held_;
    } else {
      std::printf("-- line %d: %s\n", step.line, step.text.c_str());
      fail(why);
    }
  }

  bool check(const Step &step, std::string &why) {
    const std::vector<std::string> &lines = host_.transcript();
    switch (step.kind) {
      case StepKind::kExpectInit:
        why = std::string("initPlugin returned ") + (init_result_ ? "true" : "false");
        return init_result_ == step.init_result;
      case StepKind::kExpectValue: {
        const std::optional<Value> have = host_.parameter(step.name);
        why = "\"" + step.name + "\" is " + describe(have);
        return have && *have == step.value;
      }
      case StepKind::kExpectUnset: {
        const std::optional<Value> have = host_.parameter(step.name);
        why = "\"" + step.name + "\" is " + describe(have);
        return !have;
      }
      case StepKind::kExpectLine:
        for (std::size_t i = line_cursor_; i < lines.size(); ++i) {
          if (lines[i] == step.transcript) {
            line_cursor_ = i + 1;
            return true;
          }
        }
        why = line_cursor_ == 0 ? "no such line in the transcript"
                                : "no such line after host call " + std::to_string(line_cursor_);
        return false;
      case StepKind::kExpectNoLine:
        for (std::size_t i = 0; i < lines.size(); ++i) {
          if (lines[i] == step.transcript) {
            why = "host call " + std::to_string(i + 1) + " is that line";
            return false;
          }
        }
        return true;
      default:
        why = "not an expectation";
        return false;
    }
  }

  Control &host_;
  const EntryPoints &entries_;
  const Channel &channel_;
  KOHVPluginInterface *plugin_ = nullptr;
  bool init_result_ = false;
  std::size_t printed_ = 0;      // transcript lines printed so far
  std::size_t line_cursor_ = 0;  // where the next 'expect line' starts looking
  int held_ = 0;
  int failed_ = 0;
};

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
    library = Library(options.library.c_str(), RTLD_NOW | (options.global ? RTLD_GLOBAL : RTLD_LOCAL));
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
