// SPDX-License-Identifier: MIT
// hvsim's option and session parsers on arbitrary text. An input is option
// words, one per line, then a NUL byte, then a session file.
//
// Invariants: no sanitizer report, no hang; an accepted --host-version holds
// three components of digits (0..999999); an accepted --timeout lies in
// (0, 86400]; an accepted session holds no text the host refuses.
#include "options.h"
#include "session.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

namespace {

using namespace hvsim;

[[noreturn]] void fault(const std::string &what) {
  std::fprintf(stderr, "hvsim input fuzzer: %s\n", what.c_str());
  std::abort();
}

void parse_words(const std::string &words) {
  std::vector<std::string> args = {"hvsim"};
  std::istringstream lines(words);
  for (std::string word; std::getline(lines, word);) args.push_back(word);
  std::vector<char *> argv;
  for (std::string &arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  try {
    const Options options = parse_options(static_cast<int>(args.size()), argv.data());
    for (int part : options.version)
      if (part < 0 || part > 999999) fault("a version component outside 0..999999 was accepted");
    if (!(options.timeout > 0.0 && options.timeout <= kLongestTimeout))
      fault("a timeout outside (0, 86400] was accepted");
  } catch (const UsageError &) {
  }
}

void parse_session_text(const std::string &text) {
  std::istringstream in(text);
  try {
    const Session session = parse_session(in);
    for (const Step &step : session.steps) {
      const std::size_t limit = text_limit(step.name);
      const auto *value = std::get_if<std::string>(&step.value);
      if (step.kind == StepKind::kSet && limit > 0 && value != nullptr && value->size() > limit)
        fault("a text longer than the host accepts was set");
      if (step.kind == StepKind::kAnswer && step.answer.path.size() >= PATH_MAX)
        fault("a dialog path of PATH_MAX characters or more was accepted");
    }
  } catch (const SessionError &) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string text(reinterpret_cast<const char *>(data), size);
  const std::size_t split = text.find('\0');
  parse_words(text.substr(0, split));
  if (split != std::string::npos) parse_session_text(text.substr(split + 1));
  return 0;
}
