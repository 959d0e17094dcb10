// SPDX-License-Identifier: MIT
#include "player.h"

#include "quoting.h"

#include <cstdio>
#include <optional>
#include <variant>
#include <vector>

namespace hvsim {
namespace {

std::string describe(const std::optional<Value> &value) {
  if (!value) return "unset";
  if (const auto *text = std::get_if<std::string>(&*value))
    return "the text " + quoted(text->c_str());
  if (const auto *number = std::get_if<int>(&*value)) return "the int " + std::to_string(*number);
  char text[32];
  std::snprintf(text, sizeof text, "%.9g", static_cast<double>(std::get<float>(*value)));
  return std::string("the float ") + text;
}

}  // namespace

int Player::play(const Session &session) {
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

void Player::fail(const std::string &why) {
  std::printf("-- FAILED: %s\n", why.c_str());
  ++failed_;
}

void Player::flush_transcript() {
  const std::vector<std::string> &lines = host_.transcript();
  for (; printed_ < lines.size(); ++printed_) std::printf("   %s\n", lines[printed_].c_str());
}

void Player::destroy() {
  std::printf("-- destroy\n");
  {
    const Call call(channel_, "the plug-in's destructor");
    delete plugin_;
  }
  plugin_ = nullptr;
  flush_transcript();
}

void Player::run(const Step &step) {
  switch (step.kind) {
    case StepKind::kSet:
      std::printf("-- line %d: %s\n", step.line, step.text.c_str());
      return host_.set_parameter(step.name, step.value);
    case StepKind::kAnswer:
      std::printf("-- line %d: %s\n", step.line, step.text.c_str());
      return host_.queue_answer(step.answer);
    case StepKind::kDestroy:
      return destroy();
    case StepKind::kExecute:
      return execute(step);
    default:
      return expect(step);
  }
}

void Player::execute(const Step &step) {
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

void Player::expect(const Step &step) {
  std::string why;
  if (check(step, why)) {
    std::printf("-- line %d: %s: held\n", step.line, step.text.c_str());
    ++held_;
  } else {
    std::printf("-- line %d: %s\n", step.line, step.text.c_str());
    fail(why);
  }
}

bool Player::check(const Step &step, std::string &why) {
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

}  // namespace hvsim
