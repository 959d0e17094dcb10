// SPDX-License-Identifier: MIT
// The parent's watch over a session's child, and the child's reports to it.
//
// The pipe carries lines: "call TEXT" when a plug-in call starts, "back"
// when it returns, "played N" when the session is over with verdict N.
#include "supervise.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace hvsim {

namespace {

using Clock = std::chrono::steady_clock;

// What the parent has heard so far.
struct Heard {
  std::string call;         // the plug-in call in progress, or empty
  Clock::time_point since;  // when it started
  std::optional<int> verdict;
};

void take_line(const std::string &line, Heard &heard) {
  if (line.rfind("call ", 0) == 0) {
    heard.call = line.substr(5);
    heard.since = Clock::now();
  } else if (line == "back") {
    heard.call.clear();
  } else if (line.rfind("played ", 0) == 0) {
    heard.verdict = std::atoi(line.c_str() + 7);
    // What runs at exit (destructors, atexit handlers) is watched as well.
    heard.call = "the process's exit after the session";
    heard.since = Clock::now();
  }
}

// Milliseconds poll may wait: until the running call's deadline, or for ever.
int wait_budget(const Heard &heard, double timeout_seconds) {
  if (heard.call.empty()) return -1;
  const auto deadline = heard.since + std::chrono::duration_cast<Clock::duration>(
                                          std::chrono::duration<double>(timeout_seconds));
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(std::min<long long>(left.count(), 1 << 30));
}

std::string where(const Heard &heard) {
  return heard.call.empty() ? "outside any plug-in call" : "in " + heard.call;
}

int wait_for(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return status;
}

}  // namespace

void Channel::send(const std::string &line) const {
  if (fd_ < 0) return;
  const std::string text = line + "\n";
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd_, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;  // the parent is gone; nobody is listening
    done += static_cast<std::size_t>(n);
  }
}

void Channel::enter(const std::string &call) const { send("call " + call); }
void Channel::leave() const { send("back"); }
void Channel::played(int status) const { send("played " + std::to_string(status)); }

int supervise(const std::function<int(const Channel &)> &session, double timeout_seconds,
              int crashed) {
  int ends[2];
  if (pipe(ends) != 0) return session(Channel());
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child < 0) {
    close(ends[0]);
    close(ends[1]);
    return session(Channel());
  }
  if (child == 0) {
    close(ends[0]);
    fcntl(ends[1], F_SETFD, FD_CLOEXEC);       // not inherited by what the plug-in runs
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // nothing is lost if the plug-in crashes
    const Channel channel(ends[1]);
    const int status = session(channel);
    std::fflush(nullptr);
    channel.played(status);
    std::exit(status);
  }
  close(ends[1]);
  signal(SIGPIPE, SIG_IGN);

  Heard heard;
  std::string pending;
  for (;;) {
    pollfd watch{ends[0], POLLIN, 0};
    const int ready = poll(&watch, 1, wait_budget(heard, timeout_seconds));
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) {
      kill(child, SIGKILL);
      wait_for(child);
      close(ends[0]);
      std::fprintf(stderr, "hvsim: %s did not return within %g s; the session was stopped\n",
                   heard.call.c_str(), timeout_seconds);
      return crashed;
    }
    char buffer[512];
    const ssize_t n = ready < 0 ? 0 : read(ends[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the child has gone (or closed its end)
    pending.append(buffer, static_cast<std::size_t>(n));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      take_line(pending.substr(0, end), heard);
      pending.erase(0, end + 1);
    }
  }
  close(ends[0]);

  const int status = wait_for(child);
  if (heard.verdict && WIFEXITED(status) && WEXITSTATUS(status) == *heard.verdict)
    return *heard.verdict;
  if (WIFSIGNALED(status)) {
    const int number = WTERMSIG(status);
    std::fprintf(stderr, "hvsim: the session died of signal %d (%s) %s\n", number,
                 strsignal(number), where(heard).c_str());
  } else if (heard.verdict) {
    std::fprintf(stderr,
                 "hvsim: the session was played (verdict %d) but the process then ended with "
                 "exit status %d\n",
                 *heard.verdict, WEXITSTATUS(status));
  } else {
    std::fprintf(stderr,
                 "hvsim: the plug-in ended the process with exit status %d %s, before the "
                 "session was played\n",
                 WEXITSTATUS(status), where(heard).c_str());
  }
  return crashed;
}

}  // namespace hvsim
