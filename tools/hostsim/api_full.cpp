// SPDX-License-Identifier: MIT
// The rest of the host API that plug-ins of this kind call: the log, message
// boxes, the open-file dialog and the script parameters. Every call adds one
// line to the transcript.
#include "host_state.h"
#include "quoting.h"

#include "tissuesteward/host_api.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <type_traits>

namespace {

using hvsim::host;
using hvsim::quoted;

std::string number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
  return text;
}

// A parameter of the wrong kind (or none) reads as 0 and says so.
template <class T>
T numeric_parameter(const char *function, const char *name) {
  const std::optional<hvsim::Value> value = host().parameter(name != nullptr ? name : "");
  const T *held = value ? std::get_if<T>(&*value) : nullptr;
  const T result = held != nullptr ? *held : T{};
  std::string line = std::string(function) + " " + quoted(name) + " -> ";
  if constexpr (std::is_same_v<T, int>)
    line += std::to_string(result);
  else
    line += number(result);
  if (held == nullptr) line += value ? " (not a number of this kind)" : " (unset)";
  host().record(line);
  return result;
}

template <class T>
void set_parameter(const char *function, const char *name, T value, const std::string &shown) {
  host().record(std::string(function) + " " + quoted(name) + " " + shown);
  if (name != nullptr) host().set_parameter(name, value);
}

}  // namespace

extern "C" {

HVSIM_EXPORT void hvShowLogTab() { host().record("hvShowLogTab"); }

HVSIM_EXPORT void hvLogText(const char *text) { host().record("hvLogText " + quoted(text)); }

HVSIM_EXPORT void hvMessageBox(const char *text) { host().record("hvMessageBox " + quoted(text)); }

HVSIM_EXPORT int hvGetOpenFileName(const char *prompt, const char *unused, const char *filter,
                                   char *chosen) {
  const bool queued = host().pending_answers() > 0;
  const hvsim::Answer answer = host().take_answer();
  std::string line = "hvGetOpenFileName " + quoted(prompt) + " " + quoted(unused) + " " +
                     quoted(filter) + " -> " + std::to_string(answer.status);
  if (answer.status == hvsim::kDialogChosen) {
    if (chosen != nullptr) std::memcpy(chosen, answer.path.c_str(), answer.path.size() + 1);
    line += " " + quoted(answer.path.c_str());
  }
  if (!queued) line += " (no answer queued)";
  host().record(line);
  return answer.status;
}

// Only text parameters are copied; anything else reads as "".
HVSIM_EXPORT void hvGetStringParameter(const char *name, char *value) {
  const std::optional<hvsim::Value> held = host().parameter(name != nullptr ? name : "");
  const std::string *text = held ? std::get_if<std::string>(&*held) : nullptr;
  const std::string copied = text != nullptr ? *text : std::string();
  if (value != nullptr) std::memcpy(value, copied.c_str(), copied.size() + 1);
  std::string line = "hvGetStringParameter " + quoted(name) + " -> " + quoted(copied.c_str());
  if (text == nullptr) line += held ? " (not a text)" : " (unset)";
  host().record(line);
}

HVSIM_EXPORT int hvGetIntParameter(const char *name) {
  return numeric_parameter<int>("hvGetIntParameter", name);
}

HVSIM_EXPORT float hvGetFloatParameter(const char *name) {
  return numeric_parameter<float>("hvGetFloatParameter", name);
}

HVSIM_EXPORT void hvSetStringParameter(const char *name, const char *value) {
  set_parameter("hvSetStringParameter", name, std::string(value != nullptr ? value : ""),
                quoted(value));
}

HVSIM_EXPORT void hvSetIntParameter(const char *name, int value) {
  set_parameter("hvSetIntParameter", name, value, std::to_string(value));
}

HVSIM_EXPORT void hvSetFloatParameter(const char *name, float value) {
  set_parameter("hvSetFloatParameter", name, value, number(value));
}
}

static_assert(std::is_same_v<decltype(hvShowLogTab), hvapi::ShowLogTab>);
static_assert(std::is_same_v<decltype(hvLogText), hvapi::LogText>);
static_assert(std::is_same_v<decltype(hvMessageBox), hvapi::MessageBox>);
static_assert(std::is_same_v<decltype(hvGetOpenFileName), hvapi::FileDialog>);
static_assert(std::is_same_v<decltype(hvGetStringParameter), hvapi::GetStringParameter>);
static_assert(std::is_same_v<decltype(hvGetIntParameter), hvapi::GetIntParameter>);
static_assert(std::is_same_v<decltype(hvGetFloatParameter), hvapi::GetFloatParameter>);
static_assert(std::is_same_v<decltype(hvSetStringParameter), hvapi::SetStringParameter>);
static_assert(std::is_same_v<decltype(hvSetIntParameter), hvapi::SetIntParameter>);
static_assert(std::is_same_v<decltype(hvSetFloatParameter), hvapi::SetFloatParameter>);
