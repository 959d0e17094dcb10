// SPDX-License-Identifier: MIT
// The plug-in object: start-up checks, the end-of-work log line, and the
// GUI script's file requests.
#include "frame/plugin.h"

#include "frame/texts.h"
#include "tissuesteward/host_table.h"
#include "tissuesteward/version.h"

#include <array>
#include <climits>
#include <cstring>

namespace {

using namespace ts::frame;

// Room for any full path the platform can name, NUL included, twice over:
// a host that overshoots PATH_MAX a little still writes inside the buffer.
// With the two script texts this keeps execute's frame near 16 KiB.
constexpr std::size_t kChosenPathCapacity = 2 * PATH_MAX;

// Calls a host function through its table entry; a function the host does
// not export has a null entry and the call is skipped.
template <class Function, class... Args>
void call_if_bound(Function *entry, Args... args) {
  if (entry != nullptr) entry(args...);
}

// Reads a script text parameter into `text`, which always ends up terminated.
template <std::size_t N>
void read_script_text(const char *name, std::array<char, N> &text) {
  call_if_bound(hvGetStringParameter, name, text.data());
  text.back() = '\0';
}

const FileRequest *find_request(const char *command) {
  for (const FileRequest &request : kFileRequests)
    if (std::strcmp(command, request.command) == 0) return &request;
  return nullptr;
}

}  // namespace

tissuesteward::~tissuesteward() { call_if_bound(hvLogText, kFinished); }

bool tissuesteward::initPlugin() {
  if (!InitHVAccess()) return false;

  int major = 0;
  int minor = 0;
  int patch = 0;
  hvGetVersionOfKorvelHV(&major, &minor, &patch);  // bound whenever InitHVAccess holds
  const HostVersion need = kMinimumHostVersion;
  if (!checkVersionGreaterEqualVersion(major, minor, patch, need.major, need.minor, need.patch)) {
    call_if_bound(hvMessageBox, kHostTooOld);
    return false;
  }
  call_if_bound(hvShowLogTab);
  call_if_bound(hvLogText, kRunning);
  return true;
}

bool tissuesteward::execute() {
  std::array<char, kScriptTextRoom> command{};
  std::array<char, kScriptTextRoom> file_type{};
  read_script_text(kCommandParameter, command);
  read_script_text(kFileTypeParameter, file_type);

  const FileRequest *request = find_request(command.data());
  if (request == nullptr) return true;

  // The host copies what it is given, so the chosen name need not outlive
  // this call.
  std::array<char, kChosenPathCapacity> chosen{};
  const char *filter = request->filter != nullptr ? request->filter : file_type.data();
  const int result = hvGetOpenFileName != nullptr
                         ? hvGetOpenFileName(request->prompt, "", filter, chosen.data())
                         : 0;
  chosen.back() = '\0';

  if (result == 1) {
    call_if_bound(hvSetStringParameter, request->answer_parameter, chosen.data());
    call_if_bound(hvSetIntParameter, kErrorNrParameter, kFileChosen);
  } else {
    call_if_bound(hvSetIntParameter, kErrorNrParameter, kNoFileChosen);
    call_if_bound(hvSetStringParameter, kErrorMsgParameter, kNoFileSelected);
  }
  return true;
}
