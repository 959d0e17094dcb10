// SPDX-License-Identifier: MIT
#include "host_state.h"

namespace hvsim {

void HostState::reset() {
  major_ = 2;
  minor_ = 6;
  patch_ = 0;
  parameters_.clear();
  transcript_.clear();
  answers_.clear();
  next_answer_ = 0;
  unanswered_ = 0;
}

void HostState::set_version(int major, int minor, int patch) {
  major_ = major;
  minor_ = minor;
  patch_ = patch;
}

void HostState::set_parameter(const std::string &name, const Value &value) {
  parameters_[name] = value;
}

void HostState::queue_answer(const Answer &answer) { answers_.push_back(answer); }

std::optional<Value> HostState::parameter(const std::string &name) const {
  auto found = parameters_.find(name);
  if (found == parameters_.end()) return std::nullopt;
  return found->second;
}

void HostState::version(int &major, int &minor, int &patch) const {
  major = major_;
  minor = minor_;
  patch = patch_;
}

Answer HostState::take_answer() {
  if (next_answer_ == answers_.size()) {
    ++unanswered_;
    return Answer{kDialogCancelled, {}};
  }
  return answers_[next_answer_++];
}

HostState &host() {
  static HostState state;
  return state;
}

}  // namespace hvsim

hvsim::Control *hvsim_control() { return &hvsim::host(); }
