// SPDX-License-Identifier: MIT
// What `hvsim validate` asks of a plug-in of this host's API.
#include "validate_checks.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__APPLE__)
#include <malloc/malloc.h>
#elif defined(__GLIBC__)
#include <malloc.h>
#endif

namespace hvsim::validate {
namespace {

Outcome pass(std::string why) { return {Verdict::kPass, std::move(why)}; }
Outcome fail(std::string why) { return {Verdict::kFail, std::move(why)}; }
Outcome skip(std::string why) { return {Verdict::kSkip, std::move(why)}; }

// The host ends the object through its virtual destructor.
struct DeletePlugin {
  void operator()(KOHVPluginInterface *object) const { delete object; }
};
using Object = std::unique_ptr<KOHVPluginInterface, DeletePlugin>;

// Longest text the host passes for a script parameter of the plug-in's
// protocol, and the longest path its dialog returns.
constexpr std::size_t kLongestParameter = 99;
constexpr std::size_t kLongestPath = PATH_MAX - 1;

// The commands of the GUI-script protocol and the parameter each answers in.
struct Command {
  const char *name;
  const char *answer;
};
constexpr Command kCommands[] = {{"GetFileName", "Filename"},
                                 {"GetTargetFileName", "TargetFilename"},
                                 {"GetTextFileName", "Filename"}};
constexpr const char *kAnswerParameters[] = {"Filename", "TargetFilename", "ErrorNr", "ErrorMsg"};
constexpr char kChosenPath[] = "/validate/chosen file.ext";
constexpr char kFileType[] = "Validation file (*.val)";

// --- entry points ---------------------------------------------------------------

// Bytes up to the terminating NUL, looked for within a bound.
constexpr std::size_t kLongestDescription = 1 << 16;

Outcome entry_points(Plugin &plugin) {
  if (!plugin.missing.empty()) return fail("missing or mangled: " + plugin.missing);
  for (int i = 0; i < 6; ++i) {
    const char *name = kDescriptiveEntryPoints[i];
    const char *first = plugin.describe[i]();
    if (first == nullptr) return fail(std::string(name) + " returned null");
    if (strnlen(first, kLongestDescription) == kLongestDescription)
      return fail(std::string(name) + " has no NUL within 64 KiB");
    const std::string copy = first;
    Object object(plugin.create());
    object.reset();
    const char *second = plugin.describe[i]();
    if (second != first || copy != second)
      return fail(std::string(name) + " changed between calls");
  }
  return pass("all seven resolve by plain name; six non-null, terminated, stable strings");
}

// --- lifecycle ---------------------------------------------------------------------

Outcome needs_entry_points(const Plugin &plugin) {
  return skip("the library lacks " + plugin.missing);
}

// Bytes the allocator has handed out and not had back, or -1 when unknown.
long long bytes_in_use() {
#if defined(__APPLE__)
  malloc_statistics_t stats{};
  malloc_zone_statistics(nullptr, &stats);
  return static_cast<long long>(stats.size_in_use);
#elif defined(__GLIBC__) && (__GLIBC__ > 2 || __GLIBC_MINOR__ >= 33)
  return static_cast<long long>(mallinfo2().uordblks);
#else
  return -1;
#endif
}

// Runs `count` create/initPlugin/delete cycles in batches, emptying the
// host's transcript between batches so that only the plug-in can grow.
void create_delete(Plugin &plugin, int count) {
  constexpr int kBatch = 100;
  for (int done = 0; done < count; done += kBatch) {
    for (int i = 0; i < kBatch; ++i) {
      Object object(plugin.create());
      if (object) object->initPlugin();
    }
    plugin.host.reset();
  }
}

Outcome create_delete_cycles(Plugin &plugin) {
  if (!plugin.missing.empty()) return needs_entry_points(plugin);
  constexpr int kCycles = 10000;
  constexpr long long kAllowedGrowth = 64 * 1024;
  create_delete(plugin, 200);  // first-use allocations of the plug-in and the runtime
  const long long before = bytes_in_use();
  create_delete(plugin, kCycles);
  const long long after = bytes_in_use();
  if (before <= 0) return skip("10^4 cycles ran, but this allocator reports no usage");
  const long long growth = after - before;
  const std::string numbers = std::to_string(growth) + " bytes over 10^4 cycles";
  if (growth > kAllowedGrowth) return fail("memory grew by " + numbers);
  return pass("memory in use changed by " + numbers);
}

// initPlugin's answer from a fresh object under the host version given.
bool init_under(Plugin &plugin, int major, int minor, int patch) {
  plugin.host.reset();
  plugin.host.set_version(major, minor, patch);
  Object object(plugin.create());
  return object && object->initPlugin();
}

struct Version {
  int major, minor, patch;
};

std::string text(Version v) {
  return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.patch);
}

Outcome old_hosts_refused(Plugin &plugin) {
  if (!plugin.missing.empty()) return needs_entry_points(plugin);
  for (Version v : {Version{2, 5, 0}, Version{2, 5, 9}, Version{2, 5, 12}, Version{1, 9, 9}})
    if (init_under(plugin, v.major, v.minor, v.patch)) return fail(text(v) + " was accepted");
  return pass("2.5.0, 2.5.9, 2.5.12 and 1.9.9 refused");
}

Outcome new_hosts_accepted(Plugin &plugin) {
  if (!plugin.missing.empty()) return needs_entry_points(plugin);
  for (Version v :
       {Version{2, 6, 0}, Version{2, 6, 5}, Version{2, 7, 0}, Version{3, 0, 0}, Version{10, 0, 0}})
    if (!init_under(plugin, v.major, v.minor, v.patch)) return fail(text(v) + " was refused");
  return pass("2.6.0, 2.6.5, 2.7.0, 3.0.0 and 10.0.0 accepted");
}

Outcome binding_full(Plugin &plugin) {
  if (!plugin.missing.empty()) return needs_entry_points(plugin);
  if (!init_under(plugin, 2, 6, 0))
    return fail("initPlugin refused a 2.6.0 host with the full API");
  return pass("initPlugin accepted the host; the object was deleted");
}

// A host exporting only its version function: the plug-in may refuse it or
// run without calling what is missing.
Outcome binding_version_only(Plugin &plugin) {
  if (!plugin.missing.empty()) return needs_entry_points(plugin);
  plugin.host.reset();
  Object object(plugin.create());
  if (!object) return fail("createPlugin returned null");
  if (!object->initPlugin()) return pass("initPlugin refused the host");
  for (const Command &command : kCommands) {
    plugin.host.set_parameter("Command", std::string(command.name));
    object->execute();
  }
  return pass("initPlugin accepted the host; every command ran without the missing API");
}

// A process without even the version function is no host of this API.
Outcome binding_none(Plugin &plugin) {
  if (!plugin.missing.empty()) return needs_entry_points(plugin);
  for (int i = 0; i < 2; ++i)
    if (init_under(plugin, 2, 6, 0)) return fail("initPlugin accepted a host without its API");
  return pass("initPlugin refused, twice; the objects were deleted");
}

// --- execute -------------------------------------------------------------------------

std::string describe(const std::optional<Value> &value) {
  if (!value) return "unset";
  if (const auto *t = std::get_if<std::string>(&*value))
    return "the text \"" + t->substr(0, 40) + (t->size() > 40 ? "...\"" : "\"");
  if (const auto *n = std::get_if<int>(&*value)) return "the int " + std::to_string(*n);
  return "a float";
}

// One execute() on an initialised object after `prepare` set up the host.
// Null reason: it ran; otherwise why nothing could be checked.
template <class Prepare>
std::optional<Outcome> execute_once(Plugin &plugin, Prepare prepare) {
  if (!plugin.missing.empty()) return needs_entry_points(plugin);
  plugin.host.reset();
  Object object(plugin.create());
  if (!object) return fail("createPlugin returned null");
  if (!object->initPlugin()) return skip("initPlugin refused a 2.6.0 host with the full API");
  prepare(plugin.host);
  if (!object->execute()) return fail("execute returned false");
  return std::nullopt;
}

bool parameter_is(const Control &host, const char *name, const Value &want) {
  const std::optional<Value> have = host.parameter(name);
  return have && *have == want;
}

// The dialog shown for the last request, from the transcript, or "".
std::string last_dialog(const Control &host) {
  const std::vector<std::string> &lines = host.transcript();
  for (auto line = lines.rbegin(); line != lines.rend(); ++line)
    if (line->rfind("hvGetOpenFileName ", 0) == 0) return *line;
  return {};
}

// A command answered with a chosen file: the path in the command's answer
// parameter and "ErrorNr" 0.
Outcome chosen(Plugin &plugin, const Command &command, const std::string &file_type,
               const std::string &path) {
  if (auto early = execute_once(plugin, [&](Control &host) {
        if (!file_type.empty()) host.set_parameter("FileType", file_type);
        host.set_parameter("Command", std::string(command.name));
        host.queue_answer(Answer{kDialogChosen, path});
      }))
    return *early;
  const Control &host = plugin.host;
  if (host.pending_answers() != 0)
    return skip("no dialog was shown for " + std::string(command.name));
  if (!parameter_is(host, command.answer, path))
    return fail(std::string(command.answer) + " is " + describe(host.parameter(command.answer)));
  if (!parameter_is(host, "ErrorNr", 0))
    return fail("ErrorNr is " + describe(host.parameter("ErrorNr")));
  return pass(std::string(command.answer) + " holds the " + std::to_string(path.size()) +
              "-character path; ErrorNr 0");
}

// The same command cancelled: "ErrorNr" -1, a message, no answer.
Outcome cancelled(Plugin &plugin, const Command &command) {
  if (auto early = execute_once(plugin, [&](Control &host) {
        host.set_parameter("FileType", std::string(kFileType));
        host.set_parameter("Command", std::string(command.name));
        host.queue_answer(Answer{kDialogCancelled, {}});
      }))
    return *early;
  const Control &host = plugin.host;
  if (host.pending_answers() != 0)
    return skip("no dialog was shown for " + std::string(command.name));
  if (!parameter_is(host, "ErrorNr", -1))
    return fail("ErrorNr is " + describe(host.parameter("ErrorNr")));
  const std::optional<Value> message = host.parameter("ErrorMsg");
  const auto *message_text = message ? std::get_if<std::string>(&*message) : nullptr;
  if (message_text == nullptr || message_text->empty())
    return fail("ErrorMsg is " + describe(message));
  if (host.parameter(command.answer)) return fail(std::string(command.answer) + " was set");
  return pass("ErrorNr -1, ErrorMsg \"" + *message_text + "\"");
}

template <int kIndex>
Outcome command_chosen(Plugin &plugin) {
  return chosen(plugin, kCommands[kIndex], kFileType, kChosenPath);
}

template <int kIndex>
Outcome command_cancelled(Plugin &plugin) {
  return cancelled(plugin, kCommands[kIndex]);
}

// Commands that are not the protocol's change nothing and show nothing.
Outcome unknown_command(Plugin &plugin) {
  for (const char *command : {"getfilename", "GetFileName ", "NoSuchCommand", ""}) {
    if (auto early = execute_once(plugin, [&](Control &host) {
          host.set_parameter("FileType", std::string(kFileType));
          host.set_parameter("Command", std::string(command));
        }))
      return *early;
    if (plugin.host.unanswered_dialogs() != 0)
      return fail("a dialog was shown for \"" + std::string(command) + "\"");
    for (const char *name : kAnswerParameters)
      if (plugin.host.parameter(name)) return fail("\"" + std::string(command) + "\" set " + name);
  }
  return pass("\"getfilename\", \"GetFileName \", \"NoSuchCommand\" and \"\" changed nothing");
}

Outcome missing_file_type(Plugin &plugin) { return chosen(plugin, kCommands[0], "", kChosenPath); }

// "Command" and "FileType" at the longest the host passes: the filter reaches
// the dialog whole.
Outcome parameter_length_limits(Plugin &plugin) {
  const std::string longest_command(kLongestParameter, 'c');
  if (auto early = execute_once(
          plugin, [&](Control &host) { host.set_parameter("Command", longest_command); }))
    return *early;
  if (plugin.host.unanswered_dialogs() != 0) return fail("a 99-character command showed a dialog");
  const std::string longest_filter(kLongestParameter, 'f');
  const Outcome outcome = chosen(plugin, kCommands[0], longest_filter, kChosenPath);
  if (outcome.verdict != Verdict::kPass) return outcome;
  if (last_dialog(plugin.host).find(" \"" + longest_filter + "\" ") == std::string::npos)
    return fail("the dialog's filter is not the 99-character FileType");
  return pass(
      "a 99-character Command is ignored; a 99-character FileType reaches the dialog whole");
}

Outcome long_path(Plugin &plugin) {
  std::string path = "/" + std::string(kLongestPath - 1, 'p');
  return chosen(plugin, kCommands[0], kFileType, path);
}

const Check kChecks[] = {
    {"entry-points",
     "the seven entry points resolve unmangled; descriptive strings are non-null, "
     "NUL-terminated and stable",
     "full", entry_points},
    {"create-delete", "10^4 create/initPlugin/delete cycles without memory growth", "full",
     create_delete_cycles},
    {"version-gate.old", "hosts 2.5.x and older are refused", "full", old_hosts_refused},
    {"version-gate.new", "hosts 2.6.0 and newer are accepted", "full", new_hosts_accepted},
    {"binding.full", "the full host API binds", "full", binding_full},
    {"binding.version-only",
     "a host with only its version function: refused, or runs every "
     "command without the rest",
     "version", binding_version_only},
    {"binding.none", "a process without the host API (no version function) is refused", "none",
     binding_none},
    {"execute.GetFileName.chosen", "GetFileName with a chosen file", "full", command_chosen<0>},
    {"execute.GetFileName.cancelled", "GetFileName cancelled", "full", command_cancelled<0>},
    {"execute.GetTargetFileName.chosen", "GetTargetFileName with a chosen file", "full",
     command_chosen<1>},
    {"execute.GetTargetFileName.cancelled", "GetTargetFileName cancelled", "full",
     command_cancelled<1>},
    {"execute.GetTextFileName.chosen", "GetTextFileName with a chosen file", "full",
     command_chosen<2>},
    {"execute.GetTextFileName.cancelled", "GetTextFileName cancelled", "full",
     command_cancelled<2>},
    {"execute.unknown-command", "unknown commands change nothing", "full", unknown_command},
    {"execute.missing-filetype", "GetFileName without a FileType parameter", "full",
     missing_file_type},
    {"execute.length-limits", "Command and FileType at the host's 99-character limit", "full",
     parameter_length_limits},
    {"execute.long-path", "a chosen path of PATH_MAX - 1 characters (4095 on Linux)", "full",
     long_path},
};

}  // namespace

const Check *checks_begin() { return std::begin(kChecks); }
const Check *checks_end() { return std::end(kChecks); }

}  // namespace hvsim::validate
