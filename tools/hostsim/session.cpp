// SPDX-License-Identifier: MIT
#include "session.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace hvsim {
namespace {

// The plug-in reads "Command" and "FileType" into buffers of this many
// characters, NUL included; a host copies dialog paths into PATH_MAX.
constexpr std::size_t kScriptTextCapacity = 100;
constexpr std::size_t kDialogPathCapacity = PATH_MAX;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Walks one line of a session file.
class LineReader {
 public:
  LineReader(const std::string &text, int line) : text_(text), line_(line) {}

  [[noreturn]] void fail(const std::string &what) const {
    throw SessionError("line " + std::to_string(line_) + ": " + what);
  }

  bool at_end() {
    skip_blanks();
    return pos_ == text_.size();
  }

  // The next blank-separated word; `what` names it when it is missing.
  std::string word(const char *what) {
    if (at_end()) fail(std::string("missing ") + what);
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !is_blank(text_[pos_])) ++pos_;
    return text_.substr(start, pos_ - start);
  }

  // The rest of the line: a quoted string, or the text without surrounding blanks.
  std::string rest(const char *what) {
    if (at_end()) fail(std::string("missing ") + what);
    if (text_[pos_] != '"') {
      std::size_t end = text_.size();
      while (is_blank(text_[end - 1])) --end;
      std::string out = text_.substr(pos_, end - pos_);
      pos_ = text_.size();
      return out;
    }
    std::string out;
    for (++pos_; pos_ < text_.size(); ++pos_) {
      char c = text_[pos_];
      if (c == '"') {
        ++pos_;
        if (!at_end()) fail("unexpected text after the closing quote");
        return out;
      }
      if (c == '\\') {
        if (++pos_ == text_.size()) break;
        c = text_[pos_];
        switch (c) {
          case 'n':
            c = '\n';
            break;
          case 't':
            c = '\t';
            break;
          case '"':
          case '\\':
            break;
          default:
            fail(std::string("unknown escape \\") + c);
        }
      }
      out += c;
    }
    fail("missing closing quote");
  }

  void end(const std::string &step) {
    if (!at_end()) fail("unexpected text after '" + step + "'");
  }

 private:
  void skip_blanks() {
    while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
  }

  const std::string &text_;
  int line_;
  std::size_t pos_ = 0;
};

int parse_int(LineReader &reader, const std::string &text) {
  errno = 0;
  char *end = nullptr;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE || value < INT_MIN || value > INT_MAX)
    reader.fail("'" + text + "' is not an int");
  return static_cast<int>(value);
}

float parse_float(LineReader &reader, const std::string &text) {
  errno = 0;
  char *end = nullptr;
  const float value = std::strtof(text.c_str(), &end);
  if (text.empty() || *end != '\0' || errno == ERANGE) reader.fail("'" + text + "' is not a float");
  return value;
}

// After "string", "int" or "float": NAME VALUE.
void read_typed_value(LineReader &reader, const std::string &kind, Step &step) {
  step.name = reader.word("parameter name");
  if (kind == "string") {
    std::string text = reader.rest("text");
    const std::size_t limit = text_limit(step.name);
    if (limit != 0 && text.size() > limit)
      reader.fail("the host refuses a \"" + step.name + "\" of " + std::to_string(text.size()) +
                  " characters (at most " + std::to_string(limit) + ")");
    step.value = std::move(text);
  } else if (kind == "int") {
    step.value = parse_int(reader, reader.rest("int value"));
  } else if (kind == "float") {
    step.value = parse_float(reader, reader.rest("float value"));
  } else {
    reader.fail("unknown value kind '" + kind + "' (string, int or float)");
  }
}

void read_answer(LineReader &reader, Step &step) {
  const std::string kind = reader.word("answer (path, cancel or status)");
  if (kind == "path") {
    step.answer = {kDialogChosen, reader.rest("path")};
    if (step.answer.path.size() >= kDialogPathCapacity)
      reader.fail("the host refuses a dialog path of " + std::to_string(step.answer.path.size()) +
                  " characters (at most " + std::to_string(kDialogPathCapacity - 1) + ")");
  } else if (kind == "cancel") {
    step.answer = {kDialogCancelled, {}};
    reader.end("answer cancel");
  } else if (kind == "status") {
    step.answer = {parse_int(reader, reader.rest("status")), {}};
    if (step.answer.status == kDialogChosen)
      reader.fail("status 1 needs a path: use 'answer path'");
  } else {
    reader.fail("unknown answer '" + kind + "' (path, cancel or status)");
  }
}

void read_expectation(LineReader &reader, Step &step, Session &session) {
  const std::string kind = reader.word("expectation");
  if (kind == "init") {
    step.kind = StepKind::kExpectInit;
    const std::string result = reader.word("true or false");
    if (result != "true" && result != "false") reader.fail("expect init takes true or false");
    step.init_result = result == "true";
    session.expects_refusal |= !step.init_result;
    reader.end("expect init " + result);
  } else if (kind == "unset") {
    step.kind = StepKind::kExpectUnset;
    step.name = reader.word("parameter name");
    reader.end("expect unset " + step.name);
  } else if (kind == "line" || kind == "no-line") {
    step.kind = kind == "line" ? StepKind::kExpectLine : StepKind::kExpectNoLine;
    step.transcript = reader.rest("transcript line");
  } else if (kind == "string" || kind == "int" || kind == "float") {
    step.kind = StepKind::kExpectValue;
    read_typed_value(reader, kind, step);
  } else {
    reader.fail("unknown expectation '" + kind + "'");
  }
}

}  // namespace

std::size_t text_limit(const std::string &parameter) {
  return parameter == "Command" || parameter == "FileType" ? kScriptTextCapacity - 1 : 0;
}

Session parse_session(std::istream &in) {
  Session session;
  bool destroyed = false;
  std::string text;
  for (int number = 1; std::getline(in, text); ++number) {
    LineReader reader(text, number);
    if (reader.at_end() || text[text.find_first_not_of(" \t")] == '#') continue;

    Step step{};
    step.line = number;
    step.text = text.substr(text.find_first_not_of(" \t"));
    const std::string verb = reader.word("step");
    if (verb == "set") {
      step.kind = StepKind::kSet;
      read_typed_value(reader, reader.word("value kind (string, int or float)"), step);
    } else if (verb == "answer") {
      step.kind = StepKind::kAnswer;
      read_answer(reader, step);
    } else if (verb == "execute" || verb == "destroy") {
      step.kind = verb == "execute" ? StepKind::kExecute : StepKind::kDestroy;
      reader.end(verb);
      if (destroyed) reader.fail("'" + verb + "' after 'destroy': the object is gone");
      destroyed = step.kind == StepKind::kDestroy;
    } else if (verb == "expect") {
      read_expectation(reader, step, session);
    } else {
      reader.fail("unknown step '" + verb + "'");
    }
    while (!step.text.empty() && is_blank(step.text.back())) step.text.pop_back();
    session.steps.push_back(std::move(step));
  }
  return session;
}

}  // namespace hvsim
