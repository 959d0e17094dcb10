// SPDX-License-Identifier: MIT
// The stand-in host's state, shared by the API functions of a provider.
#ifndef TISSUESTEWARD_HOSTSIM_HOST_STATE_H
#define TISSUESTEWARD_HOSTSIM_HOST_STATE_H

#include "control.h"

#include <map>

namespace hvsim {

class HostState final : public Control {
 public:
  HostState() { HostState::reset(); }

  void reset() override;
  void set_version(int major, int minor, int patch) override;
  void set_parameter(const std::string &name, const Value &value) override;
  void queue_answer(const Answer &answer) override;
  std::optional<Value> parameter(const std::string &name) const override;
  const std::vector<std::string> &transcript() const override { return transcript_; }
  std::size_t pending_answers() const override { return answers_.size() - next_answer_; }
  std::size_t unanswered_dialogs() const override { return unanswered_; }

  // What the API functions use.
  void record(std::string line) { transcript_.push_back(std::move(line)); }
  void version(int &major, int &minor, int &patch) const;
  // The queued answer for the dialog being shown; cancelled when none is left.
  Answer take_answer();

 private:
  int major_ = 0, minor_ = 0, patch_ = 0;
  std::map<std::string, Value> parameters_;
  std::vector<std::string> transcript_;
  std::vector<Answer> answers_;
  std::size_t next_answer_ = 0;
  std::size_t unanswered_ = 0;
};

HostState &host();

}  // namespace hvsim

#endif
