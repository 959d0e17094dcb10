// SPDX-License-Identifier: MIT
// How hvsim drives its stand-in host.
//
// The host's state lives in a small provider library that also exports the
// host API (all of it, only the version function, or none of it). hvsim loads
// the provider with global symbols, so the plug-in's own lookup finds what
// the provider exports, and reaches the state through hvsim_control().
// Test hosts link the same state into their executable instead.
#ifndef TISSUESTEWARD_HOSTSIM_CONTROL_H
#define TISSUESTEWARD_HOSTSIM_CONTROL_H

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace hvsim {

// A script parameter: text, integer or single-precision number.
using Value = std::variant<std::string, int, float>;

// What the next open-file dialog does: status 1 means "chosen", and `path`
// is written to the plug-in's buffer; any other status writes nothing.
struct Answer {
  int status = 0;
  std::string path;
};
inline constexpr int kDialogChosen = 1;
inline constexpr int kDialogCancelled = 0;

class Control {
 public:
  // Empty parameter store, transcript and dialog queue; version 2.6.0.
  virtual void reset() = 0;
  virtual void set_version(int major, int minor, int patch) = 0;
  virtual void set_parameter(const std::string &name, const Value &value) = 0;
  virtual void queue_answer(const Answer &answer) = 0;

  virtual std::optional<Value> parameter(const std::string &name) const = 0;
  // One line per host call, in call order.
  virtual const std::vector<std::string> &transcript() const = 0;
  virtual std::size_t pending_answers() const = 0;
  // Dialogs shown while no answer was queued (answered as cancelled).
  virtual std::size_t unanswered_dialogs() const = 0;

 protected:
  ~Control() = default;
};

}  // namespace hvsim

// What a provider exports: the host API functions and hvsim_control.
#define HVSIM_EXPORT __attribute__((visibility("default")))

// The provider's state, looked up by this name.
extern "C" HVSIM_EXPORT hvsim::Control *hvsim_control();

#endif
